// The process-wide music player: the real MCI and sound services behind the player's ports,
// driven by the loaded settings.
#include <windows.h>
#include <mmsystem.h>

#include "shell/music/bgm_player.h"
#include "shell/music/glimra_bgm.h"
#include "shell/startup/settings_file.h"

namespace {

class WinMciPort : public MciPort {
public:
    int send(const std::string& command, char* answer, unsigned answerSize) override {
        return static_cast<int>(mciSendStringA(command.c_str(), answer, answerSize, nullptr));
    }
    bool errorText(int code, char* text, unsigned textSize) override {
        return mciGetErrorStringA(static_cast<MCIERROR>(code), text, textSize) != FALSE;
    }
};

class WinSoundPort : public SoundPort {
public:
    int waveOutDeviceCount() override { return static_cast<int>(waveOutGetNumDevs()); }
    bool playSound(const char* name, unsigned flags) override {
        return PlaySoundA(name, nullptr, flags) != FALSE;
    }
};

static_assert(BgmSoundAsyncLoop == (SND_ASYNC | SND_LOOP), "looped WAV flags");

WinMciPort mciPort;
WinSoundPort soundPort;
BgmPlayer player(mciPort, soundPort);

}  // namespace

bool BGM_CdContinue = false;

// Opens the CD device; playback starts at the first tick.
void BGM_CdOpen() { player.BGM_CdOpen(); }

// Keeps the CD playing and tells the host whether to keep ticking.
void BGM_CdTick() {
    player.BGM_CdTick(g_settings.BGM_RepeatTrack);
    BGM_CdContinue = player.BGM_CdContinue;
}

// Stops and closes the CD device.
void BGM_CdStop() { player.BGM_CdStop(); }

// Opens the music file as MP3Play and plays it.
void BGM_Mp3Play() { player.BGM_Mp3Play(g_settings.BGM_File); }

// Restarts the MP3 from its beginning once it has stopped playing.
void BGM_Mp3Tick() { player.BGM_Mp3Tick(g_settings.BGM_File); }

// Stops and closes MP3Play.
void BGM_Mp3Stop() { player.BGM_Mp3Stop(g_settings.BGM_File); }

// Plays the WAV file looped, when there is a sound output.
void BGM_WavPlay() { player.BGM_WavPlay(g_settings.BGM_File); }

// Stops whatever sound the process plays.
void BGM_WavStop() { player.BGM_WavStop(); }
