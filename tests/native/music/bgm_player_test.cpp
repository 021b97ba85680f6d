// The music player against scripted devices: a CD drive and an MPEGVideo device that keep their
// own state, so each case checks both the commands sent and what the listener would hear.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "shell/music/bgm_player.h"

namespace {

constexpr int NoDriveError = 266;   // what cdaudio answers on a machine without a drive
constexpr int OutOfRangeError = 263;
constexpr int NoAliasError = 263;
constexpr int CannotOpenError = 275;

using Commands = std::vector<std::string>;

// A CD drive and an MP3 file behind MCI command strings.
class ScriptedDevices : public MciPort {
public:
    bool drive = true;
    int tracks = 5;
    int currentTrack = 1;
    std::string cdMode = "stopped";
    std::set<std::string> files;  // paths the MPEGVideo device can open
    bool mp3Open = false;
    std::string mp3Mode;
    bool errorTexts = true;
    Commands sent;

    // Logs the command and writes the device's answer, if it has one, like mciSendStringA.
    int send(const std::string& command, char* answer, unsigned answerSize) override {
        sent.push_back(command);
        std::string reply;
        int code = respond(command, reply);
        if (code == 0 && answer && !reply.empty()) {
            std::snprintf(answer, answerSize, "%s", reply.c_str());
        }
        return code;
    }
    // A description for every code, unless descriptions are switched off.
    bool errorText(int code, char* text, unsigned textSize) override {
        if (!errorTexts) return false;
        std::snprintf(text, textSize, "MCI error %d", code);
        return true;
    }

private:
    // The drive's and the MP3 alias's reaction to one command.
    int respond(const std::string& c, std::string& reply) {
        if (c.rfind("open \"", 0) == 0) {
            std::string path = c.substr(6, c.find('"', 6) - 6);
            if (!files.count(path) || c != "open \"" + path + "\" type MPEGVideo Alias MP3Play") return CannotOpenError;
            mp3Open = true;
            mp3Mode = "stopped";
            return 0;
        }
        if (c.find("MP3Play") != std::string::npos) {
            if (!mp3Open) return NoAliasError;
            if (c == "status MP3Play mode") reply = mp3Mode;
            else if (c == "play MP3Play" || c == "play MP3Play from 0") mp3Mode = "playing";
            else if (c == "stop MP3Play") mp3Mode = "stopped";
            else if (c == "close MP3Play") mp3Open = false;
            return 0;
        }
        if (!drive) return NoDriveError;
        int n = 0;
        char position[16];
        if (c == "status cdaudio current track") reply = std::to_string(currentTrack);
        else if (c == "status cdaudio number of tracks") reply = std::to_string(tracks);
        else if (c == "status cdaudio mode") reply = cdMode;
        else if (std::sscanf(c.c_str(), "status cdaudio position track %d", &n) == 1) {
            if (n < 1 || n > tracks) return OutOfRangeError;
            std::snprintf(position, sizeof position, "%02d:00:00:00", n);
            reply = position;
        } else if (std::sscanf(c.c_str(), "play cdaudio from %d:", &n) == 1) {
            currentTrack = n;
            cdMode = "playing";
        } else if (c == "play cdaudio") cdMode = "playing";
        else if (c.rfind("play", 0) == 0) return OutOfRangeError;
        return 0;
    }
};

class SilentOutput : public SoundPort {
public:
    int devices = 1;
    std::vector<std::pair<std::string, unsigned>> calls;
    // Records PlaySound calls instead of playing.
    int waveOutDeviceCount() override { return devices; }
    bool playSound(const char* name, unsigned flags) override {
        calls.emplace_back(name ? name : "<none>", flags);
        return true;
    }
};

struct Music : ::testing::Test {
    ScriptedDevices mci;
    SilentOutput sound;
    BgmPlayer player{mci, sound};

    // Runs the host's Timer2 for `ticks` ticks and its close request; true when the timer still ran.
    bool runCd(int16_t repeatTrack, int ticks) {
        player.BGM_CdOpen();
        bool timer2 = true;
        for (int i = 0; i < ticks && timer2; ++i) {
            player.BGM_CdTick(repeatTrack);
            timer2 = player.BGM_CdContinue;
        }
        if (timer2) player.BGM_CdStop();
        return timer2;
    }
};

TEST_F(Music, CommandsAndAnswers) {
    std::string answer = "old";
    EXPECT_EQ(-1, player.BGM_SendCommand("", answer));
    EXPECT_EQ("コマンド文字列が指定されていません", answer);
    EXPECT_TRUE(mci.sent.empty());

    mci.drive = false;
    std::string failed = player.BGM_Query("status cdaudio current track");
    EXPECT_EQ("Error:266", failed);
    EXPECT_EQ("MCI error 266", player.lastAnswer);
    mci.errorTexts = false;
    EXPECT_EQ(NoDriveError, player.BGM_SendCommand("status cdaudio mode", answer));
    EXPECT_EQ("Error (文字列が取れません)", answer);

    mci.drive = true;
    mci.currentTrack = 4;
    EXPECT_EQ("4", player.BGM_Query("status cdaudio current track"));
    // A command that writes no answer leaves the previous one in the buffer.
    EXPECT_EQ("4", player.BGM_Query("set cdaudio time format tmsf"));

    EXPECT_EQ(0, player.BGM_Play("cdaudio", "01:00:00:00", ""));
    EXPECT_EQ(0, player.BGM_Play("cdaudio", "", ""));
    player.BGM_Play("cdaudio", "", "02:00:00:00");
    player.BGM_Play("cdaudio", "01:00:00:00", "02:00:00:00");
    Commands plays(mci.sent.end() - 4, mci.sent.end());
    EXPECT_EQ((Commands{"play cdaudio from 01:00:00:00", "play cdaudio", "play cdaudio to 02:00:00:00",
                        "play cdaudio from 01:00:00:00 to 02:00:00:00"}),
              plays);
}

TEST_F(Music, NoCdDriveEndsControlAtFirstTickAndIsNotClosed) {
    mci.drive = false;
    EXPECT_FALSE(runCd(3, 10));
    EXPECT_EQ((Commands{"open cdaudio", "set cdaudio time format tmsf", "status cdaudio current track"}), mci.sent);
}

TEST_F(Music, CdStartsOnFirstTickAndReturnsToTheChosenTrack) {
    player.BGM_CdOpen();
    player.BGM_CdTick(3);
    EXPECT_TRUE(player.BGM_CdContinue);
    EXPECT_EQ("playing", mci.cdMode);
    EXPECT_EQ(3, mci.currentTrack);

    mci.currentTrack = 4;  // the disc played on into the next track
    mci.sent.clear();
    player.BGM_CdTick(3);
    EXPECT_EQ((Commands{"status cdaudio current track", "status cdaudio number of tracks", "status cdaudio mode",
                        "status cdaudio position track 3", "play cdaudio from 03:00:00:00"}),
              mci.sent);
    EXPECT_EQ(3, mci.currentTrack);

    mci.sent.clear();
    player.BGM_CdTick(3);  // on the chosen track and playing: queries only
    EXPECT_EQ(3u, mci.sent.size());
    EXPECT_TRUE(player.BGM_CdContinue);
}

TEST_F(Music, CdWithoutRepeatOnlyQueriesUntilStopped) {
    mci.cdMode = "playing";
    mci.currentTrack = 2;
    player.BGM_CdOpen();
    mci.sent.clear();
    for (int i = 0; i < 3; ++i) player.BGM_CdTick(0);
    EXPECT_EQ(9u, mci.sent.size());
    for (const std::string& c : mci.sent) EXPECT_EQ(0u, c.rfind("status cdaudio ", 0)) << c;

    mci.cdMode = "stopped";  // the disc ran out
    player.BGM_CdTick(0);
    EXPECT_EQ("play cdaudio", mci.sent.back());
    EXPECT_EQ("playing", mci.cdMode);
    EXPECT_TRUE(runCd(0, 2));
    EXPECT_EQ((Commands{"stop cdaudio", "close cdaudio"}), Commands(mci.sent.end() - 2, mci.sent.end()));
}

TEST_F(Music, CdRepeatTrackBeyondTheLastKeepsTrying) {
    mci.tracks = 5;
    EXPECT_TRUE(runCd(9, 3));
    EXPECT_EQ("stopped", mci.cdMode);
    int positionQueries = 0;
    for (const std::string& c : mci.sent) positionQueries += c == "status cdaudio position track 9";
    EXPECT_EQ(3, positionQueries);
}

TEST_F(Music, Mp3PlaysAndRestartsAfterItsEnd) {
    const std::string file = "C:\\My Music\\tone.mp3";
    mci.files.insert(file);
    player.BGM_Mp3Play(file);
    EXPECT_EQ((Commands{"open \"C:\\My Music\\tone.mp3\" type MPEGVideo Alias MP3Play", "play MP3Play"}), mci.sent);

    mci.sent.clear();
    player.BGM_Mp3Tick(file);
    EXPECT_EQ((Commands{"status MP3Play mode"}), mci.sent);

    mci.mp3Mode = "stopped";  // the file came to its end
    mci.sent.clear();
    player.BGM_Mp3Tick(file);
    EXPECT_EQ((Commands{"status MP3Play mode", "stop MP3Play", "play MP3Play from 0"}), mci.sent);
    EXPECT_EQ("playing", mci.mp3Mode);

    player.BGM_Mp3Stop(file);
    EXPECT_FALSE(mci.mp3Open);
}

TEST_F(Music, UnplayableMp3StaysSilent) {
    player.BGM_Mp3Play("C:\\missing.mp3");
    EXPECT_EQ(1u, mci.sent.size());
    for (int i = 0; i < 3; ++i) player.BGM_Mp3Tick("C:\\missing.mp3");
    EXPECT_EQ(10u, mci.sent.size());
    EXPECT_FALSE(mci.mp3Open);

    // A quote would close the path's quoting early and turn the rest into commands.
    mci.sent.clear();
    const std::string injected = "C:\\a.mp3\" type MPEGVideo Alias MP3Play wait\" x.mp3";
    mci.files.insert("C:\\a.mp3");
    player.BGM_Mp3Play(injected);
    player.BGM_Mp3Tick(injected);
    player.BGM_Mp3Stop(injected);
    player.BGM_WavPlay("C:\\a\".wav");
    EXPECT_TRUE(mci.sent.empty());
    EXPECT_TRUE(sound.calls.empty());
}

TEST_F(Music, WavLoopsOnlyWithAnOutputDevice) {
    sound.devices = 0;
    player.BGM_WavPlay("C:\\tone.wav");
    EXPECT_TRUE(sound.calls.empty());

    sound.devices = 1;
    player.BGM_WavPlay("C:\\tone.wav");
    player.BGM_WavStop();
    using Call = std::pair<std::string, unsigned>;
    EXPECT_EQ((std::vector<Call>{{"C:\\tone.wav", 9u}, {"<none>", 0u}}), sound.calls);
    EXPECT_TRUE(mci.sent.empty());
}

}  // namespace
