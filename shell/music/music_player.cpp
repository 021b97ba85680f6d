#include "shell/music/music_player.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

// The answer the player makes up itself for an error without a description; never shown.
const char NoErrorTextAnswer[] = "Error (文字列が取れません)";
const char ErrorPrefix[] = "Error:";
const char ErrorMarker[] = "ERR";  // sought in the upper-cased answer of a status query

const char CdDevice[] = "cdaudio";
const char Mp3Alias[] = "MP3Play";

// The RIFF layout of a WAV file: a 12-byte form header ("RIFF", size, "WAVE"), then chunks of an
// 8-byte header (name, size of the data that follows) each, their data padded to an even length.
constexpr unsigned FormHeaderBytes = 12;
constexpr unsigned ChunkHeaderBytes = 8;

// A fixed buffer's text: everything up to its first NUL, or the whole buffer.
std::string bufferText(const char* buffer, unsigned size) {
    return std::string(buffer, strnlen(buffer, size));
}

// Whether a mode buffer's first characters spell `mode`.
bool modeIs(const char* buffer, const char* mode) {
    return std::memcmp(buffer, mode, ModeLength) == 0;
}

// Whether an answer carries an error, by the marker in its upper-cased text.
bool reportsError(std::string answer) {
    std::transform(answer.begin(), answer.end(), answer.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return answer.find(ErrorMarker) != std::string::npos;
}

// The leading number of an answer ("04" is 4, "" and "Error:263" are 0), saturated to 32 bits.
long leadingNumber(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = std::min(value * 10 + (text[i] - '0'), 2147483647L);
    }
    return negative ? -value : value;
}

// The little-endian 32-bit number at `bytes`.
uint32_t littleEndian32(const char* bytes) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[i]);
    return value;
}

}  // namespace

// Refuses a path that would break out of the double quotes around it.
bool pathIsPlayable(const std::string& path) {
    return path.find('"') == std::string::npos;
}

// Walks the chunks as the system's player seeks its samples: the first "data" chunk counts, and
// only the bytes of it that the file really holds.
bool wavHoldsSound(SoundPort& sound, const std::string& file) {
    char header[FormHeaderBytes];
    if (sound.readFile(file.c_str(), 0, header, FormHeaderBytes) != FormHeaderBytes ||
        std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0)
        return false;
    uint64_t offset = FormHeaderBytes;
    for (unsigned chunk = 0; chunk < WavChunksSought; ++chunk) {
        if (sound.readFile(file.c_str(), offset, header, ChunkHeaderBytes) != ChunkHeaderBytes) return false;
        const uint32_t size = littleEndian32(header + 4);
        offset += ChunkHeaderBytes;
        if (std::memcmp(header, "data", 4) == 0) {
            char sample = 0;
            return size > 0 && sound.readFile(file.c_str(), offset, &sample, 1) == 1;
        }
        offset += size + (size & 1);
    }
    return false;
}

// A player with empty buffers and CD control off, talking through the given services.
MusicPlayer::MusicPlayer(MciPort& mci, SoundPort& sound) : mci_(mci), sound_(sound) {}

// Sends one command through the answer buffer and turns its result into text.
int32_t MusicPlayer::sendCommand(const std::string& command, std::string& answer) {
    int32_t result = mci_.send(command, answerBuffer, AnswerBufferChars);
    if (result != 0) {
        if (mci_.errorText(result, errorTextBuffer, ErrorTextBufferChars)) {
            answer = bufferText(errorTextBuffer, ErrorTextBufferChars);
        } else {
            answer = NoErrorTextAnswer;
        }
        return result;
    }
    answer = bufferText(answerBuffer, AnswerBufferChars);
    return 0;
}

// Asks the device and returns its answer, or Error: and the code.
std::string MusicPlayer::query(const std::string& command) {
    std::string answer;
    int32_t result = sendCommand(command, answer);
    if (result != 0) return ErrorPrefix + std::to_string(result);
    return answer;
}

// Builds and sends a play command; its answer is not looked at.
int32_t MusicPlayer::play(const std::string& device, const std::string& from, const std::string& to) {
    std::string command = "play " + device;
    if (!from.empty()) command += " from " + from;
    if (!to.empty()) command += " to " + to;
    std::string answer;
    return sendCommand(command, answer);
}

// Opens the CD device and sets track-based time; results are not examined.
void MusicPlayer::openCd() {
    mci_.send("open cdaudio", nullptr, 0);
    mci_.send("set cdaudio time format tmsf", nullptr, 0);
}

// One 200 ms look at the CD: ends control without a disc, restarts a stopped disc or the chosen track.
void MusicPlayer::cdTick(int16_t repeatTrack) {
    cdContinues = true;
    std::string current = query("status cdaudio current track");
    if (reportsError(current)) {
        cdContinues = false;
        return;
    }
    std::string tracks = query("status cdaudio number of tracks");
    if (reportsError(tracks)) {
        cdContinues = false;
        return;
    }
    mci_.send("status cdaudio mode", cdModeBuffer, CdModeBufferChars);
    bool stopped = modeIs(cdModeBuffer, "stopped");

    if (repeatTrack != 0) {
        if (stopped || leadingNumber(current) != repeatTrack) {
            std::string start = query("status cdaudio position track " + std::to_string(repeatTrack));
            // A track beyond the last has no position; playing "from Error:..." would only fail
            // as well, so the play is left to the next tick's retry.
            if (!reportsError(start)) play(CdDevice, start, "");
        }
    } else if (stopped) {
        play(CdDevice, "", "");
    }
}

// Stops and closes the CD device.
void MusicPlayer::stopCd() {
    mci_.send("stop cdaudio", nullptr, 0);
    mci_.send("close cdaudio", nullptr, 0);
}

// Opens the file as alias MP3Play and plays it when the open succeeded.
void MusicPlayer::playMp3(const std::string& file) {
    if (!pathIsPlayable(file)) return;
    std::string open = "open \"" + file + "\" type MPEGVideo Alias " + Mp3Alias;
    if (mci_.send(open, nullptr, 0) == 0) mci_.send(std::string("play ") + Mp3Alias, nullptr, 0);
}

// Whether MP3Play reports "playing" (a failed query keeps the mode last seen).
bool MusicPlayer::mp3IsPlaying() {
    mci_.send(std::string("status ") + Mp3Alias + " mode", mp3ModeBuffer, Mp3ModeBufferChars);
    return modeIs(mp3ModeBuffer, "playing");
}

// Restarts the MP3 from its beginning once it no longer plays.
void MusicPlayer::mp3Tick(const std::string& file) {
    if (!pathIsPlayable(file) || mp3IsPlaying()) return;
    mci_.send(std::string("stop ") + Mp3Alias, nullptr, 0);
    mci_.send(std::string("play ") + Mp3Alias + " from 0", nullptr, 0);
}

// Stops and closes MP3Play.
void MusicPlayer::stopMp3(const std::string& file) {
    if (!pathIsPlayable(file)) return;
    mci_.send(std::string("stop ") + Mp3Alias, nullptr, 0);
    mci_.send(std::string("close ") + Mp3Alias, nullptr, 0);
}

// Loops the WAV asynchronously; a file without a sample is never handed to the player.
void MusicPlayer::playWav(const std::string& file) {
    if (!pathIsPlayable(file)) return;
    if (sound_.waveOutDeviceCount() <= 0) return;
    if (!wavHoldsSound(sound_, file)) return;
    sound_.playSound(file.c_str(), SoundAsyncLoop);
}

// Stops any sound the process plays.
void MusicPlayer::stopWav() {
    sound_.playSound(nullptr, 0);
}
