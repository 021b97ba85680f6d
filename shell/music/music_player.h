// The background music player's rules: MCI command sequencing for the audio CD and the MP3
// alias MP3Play, and the looped WAV, written against small ports so that a scripted device
// can stand in for the real multimedia services.
#pragma once

#include <cstdint>
#include <string>

// Sizes of the player's receiving buffers, in characters (the terminating NUL included).
constexpr unsigned AnswerBufferChars = 512;
constexpr unsigned ErrorTextBufferChars = 256;
constexpr unsigned CdModeBufferChars = 255;
constexpr unsigned Mp3ModeBufferChars = 30;
// A mode answer is judged by this many leading characters ("stopped", "playing").
constexpr unsigned ModeLength = 7;
// PlaySound flags for the looped WAV: SND_ASYNC | SND_LOOP.
constexpr unsigned SoundAsyncLoop = 0x0001 | 0x0008;
// Chunks of a WAV file looked at for its sound before it counts as holding none (real files have a
// handful: the format, perhaps a list or a fact chunk, then the samples).
constexpr unsigned WavChunksSought = 64;

// The MCI command-string service.
class MciPort {
public:
    virtual ~MciPort() = default;
    // Sends one command; a device may write up to `answerSize` characters (NUL included) into
    // `answer`, or nothing at all. `answer` is null when `answerSize` is 0. Returns the MCI code.
    virtual int send(const std::string& command, char* answer, unsigned answerSize) = 0;
    // Writes the description of an MCI error code into `text`; false when none is available.
    virtual bool errorText(int code, char* text, unsigned textSize) = 0;
};

// The system's wave output and sound player.
class SoundPort {
public:
    virtual ~SoundPort() = default;
    virtual int waveOutDeviceCount() = 0;
    // PlaySound with no module: `name` null stops whatever the process plays.
    virtual bool playSound(const char* name, unsigned flags) = 0;
    // Reads up to `size` bytes of the file `name` from byte `offset` on; the count that arrived
    // (0 past its end or when it cannot be read).
    virtual unsigned readFile(const char* name, uint64_t offset, char* buffer, unsigned size) = 0;
};

// True when a music file path can be handed to the players: a double quote would end the
// quoting of an MCI open command and let the rest of the path act as commands.
bool pathIsPlayable(const std::string& path);

// True when a WAV file holds sound to play: a RIFF WAVE form whose first "data" chunk has at least
// one byte in the file. Looping a file without a sample never lets go of the sound player.
bool wavHoldsSound(SoundPort& sound, const std::string& file);

// The music player's state and operations; the run host holds one for the run.
struct MusicPlayer {
    MusicPlayer(MciPort& mci, SoundPort& sound);

    // 0 on success, the MCI code on failure; `answer` receives the device's answer or the error's
    // description.
    int32_t sendCommand(const std::string& command, std::string& answer);
    // The answer of a command, or "Error:" and the code when it fails.
    std::string query(const std::string& command);
    // Sends "play <device>" with the optional from and to positions.
    int32_t play(const std::string& device, const std::string& from, const std::string& to);

    void openCd();
    // Keeps the CD playing (the chosen track again when `repeatTrack` is not 0).
    void cdTick(int16_t repeatTrack);
    void stopCd();

    void playMp3(const std::string& file);
    bool mp3IsPlaying();
    void mp3Tick(const std::string& file);
    void stopMp3(const std::string& file);

    // Loops the WAV when there is a wave output and the file holds sound.
    void playWav(const std::string& file);
    void stopWav();

    bool cdContinues = false;  // cleared when CD control has ended for this run

    // The receiving buffers keep their contents when a device writes nothing into them.
    char answerBuffer[AnswerBufferChars] = {};
    char errorTextBuffer[ErrorTextBufferChars] = {};
    char cdModeBuffer[CdModeBufferChars] = {};
    char mp3ModeBuffer[Mp3ModeBufferChars] = {};

private:
    MciPort& mci_;
    SoundPort& sound_;
};
