// The background music player's rules: MCI command sequencing for the audio CD and the MP3
// alias MP3Play, and the looped WAV, written against small ports so that a scripted device
// can stand in for the real multimedia services.
#pragma once

#include <cstdint>
#include <string>

// Sizes of the player's receiving buffers, in characters (the terminating NUL included).
constexpr unsigned BgmAnswerSize = 512;
constexpr unsigned BgmErrorTextSize = 256;
constexpr unsigned BgmCdModeSize = 255;
constexpr unsigned BgmMp3ModeSize = 30;
// A mode answer is judged by this many leading characters ("stopped", "playing").
constexpr unsigned BgmModeLength = 7;
// PlaySound flags for the looped WAV: SND_ASYNC | SND_LOOP.
constexpr unsigned BgmSoundAsyncLoop = 0x0001 | 0x0008;

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
};

// True when a music file path can be handed to the players: a double quote would end the
// quoting of an MCI open command and let the rest of the path act as commands.
bool BGM_PathIsPlayable(const std::string& path);

// The music module's state and operations; the program holds one for the whole process.
struct BgmPlayer {
    BgmPlayer(MciPort& mci, SoundPort& sound);

    // 0 on success, the MCI code on failure, -1 for an empty command; `answer` receives the
    // device's answer or the error's description.
    int32_t BGM_SendCommand(const std::string& command, std::string& answer);
    // The answer of a command, or "Error:" and the code when it fails.
    std::string BGM_Query(const std::string& command);
    // Sends "play <device>" with the optional from and to positions.
    int32_t BGM_Play(const std::string& device, const std::string& from, const std::string& to);

    void BGM_CdOpen();
    // Keeps the CD playing (the chosen track again when `repeatTrack` is not 0).
    void BGM_CdTick(int16_t repeatTrack);
    void BGM_CdStop();

    void BGM_Mp3Play(const std::string& file);
    bool BGM_Mp3IsPlaying();
    void BGM_Mp3Tick(const std::string& file);
    void BGM_Mp3Stop(const std::string& file);

    void BGM_WavPlay(const std::string& file);
    void BGM_WavStop();

    bool BGM_CdContinue = false;  // cleared when CD control has ended for this run
    std::string lastAnswer;

    // The receiving buffers keep their contents when a device writes nothing into them.
    char answerBuffer[BgmAnswerSize] = {};
    char errorTextBuffer[BgmErrorTextSize] = {};
    char cdModeBuffer[BgmCdModeSize] = {};
    char mp3ModeBuffer[BgmMp3ModeSize] = {};

private:
    MciPort& mci_;
    SoundPort& sound_;
};
