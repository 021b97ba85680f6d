// The music player against a scripted MCI device: each case sets what the device answers and checks
// the command strings the player sends, which are what the listener ends up hearing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "shell/music/music_player.h"

namespace {

constexpr int NoDriveError = 266;  // what cdaudio answers on a machine without a drive
constexpr int OutOfRangeError = 263;
constexpr int CannotOpenError = 275;

using Commands = std::vector<std::string>;

// The player on a scripted MCI device and a sound output that only records its calls.
struct Music : ::testing::Test, MciPort, SoundPort {
    std::map<std::string, std::string> answers;  // what a command writes back
    std::map<std::string, int> failures;         // error code of a failing command
    int otherCommandsFail = 0;                   // code of every other command (0: it succeeds)
    bool errorTexts = true;
    int waveOutDevices = 1;
    Commands sent, sounds;
    std::map<std::string, unsigned> answerSizes;  // the buffer size the player offered each command
    MusicPlayer player{*this, *this};

    // Logs the command and writes its scripted answer, like mciSendStringA.
    int send(const std::string& command, char* answer, unsigned answerSize) override {
        sent.push_back(command);
        answerSizes[command] = answerSize;
        const bool answered = answers.count(command) > 0;
        const int code = failures.count(command) ? failures[command] : answered ? 0 : otherCommandsFail;
        if (code == 0 && answered && answer) std::snprintf(answer, answerSize, "%s", answers[command].c_str());
        return code;
    }
    bool errorText(int code, char* text, unsigned textSize) override {
        if (errorTexts) std::snprintf(text, textSize, "MCI error %d", code);
        return errorTexts;
    }
    int waveOutDeviceCount() override { return waveOutDevices; }
    bool playSound(const char* name, unsigned flags) override {
        sounds.push_back((name ? name : "<none>") + std::string(" ") + std::to_string(flags));
        return true;
    }

    // A five-track disc on `track` in `mode`.
    void disc(int track, const char* mode) {
        answers["status cdaudio current track"] = std::to_string(track);
        answers["status cdaudio number of tracks"] = "5";
        answers["status cdaudio mode"] = mode;
        answers["status cdaudio position track 3"] = "03:00:00:00";
    }
    // The host's CD steps: open, the tick timer for up to `ticks` ticks, close; true when the timer still ran.
    bool runCd(int16_t repeatTrack, int ticks) {
        player.openCd();
        for (int i = 0; i < ticks; ++i) {
            player.cdTick(repeatTrack);
            if (!player.cdContinues) return false;
        }
        player.stopCd();
        return true;
    }
    // The commands sent since the last call.
    Commands take() { return std::exchange(sent, {}); }
};

TEST_F(Music, CommandsAndAnswers) {
    std::string answer;
    EXPECT_EQ(-1, player.sendCommand("", answer));
    EXPECT_EQ("コマンド文字列が指定されていません", answer);
    EXPECT_TRUE(sent.empty());

    failures["status cdaudio current track"] = NoDriveError;
    EXPECT_EQ("Error:266", player.query("status cdaudio current track"));
    EXPECT_EQ("MCI error 266", player.lastAnswer);
    errorTexts = false;
    EXPECT_EQ(NoDriveError, player.sendCommand("status cdaudio current track", answer));
    EXPECT_EQ("Error (文字列が取れません)", answer);

    answers["status cdaudio mode"] = "playing";
    EXPECT_EQ("playing", player.query("status cdaudio mode"));
    EXPECT_EQ("playing", player.query("seek cdaudio")) << "a command that writes nothing leaves the last answer";

    take();
    for (const char* from : {"01:00:00:00", ""})
        for (const char* to : {"", "02:00:00:00"}) EXPECT_EQ(0, player.play("cdaudio", from, to));
    EXPECT_EQ((Commands{"play cdaudio from 01:00:00:00", "play cdaudio from 01:00:00:00 to 02:00:00:00",
                        "play cdaudio", "play cdaudio to 02:00:00:00"}),
              sent);
}

TEST_F(Music, NoCdDriveOrNoDiscEndsControlAtFirstTickAndIsNotClosed) {
    otherCommandsFail = NoDriveError;
    EXPECT_FALSE(runCd(3, 10));
    EXPECT_EQ((Commands{"open cdaudio", "set cdaudio time format tmsf", "status cdaudio current track"}), sent);

    disc(1, "stopped");
    failures["status cdaudio number of tracks"] = NoDriveError;
    take();
    EXPECT_FALSE(runCd(3, 10)) << "a drive without a disc knows no number of tracks";
    EXPECT_EQ(0, std::count(sent.begin(), sent.end(), "close cdaudio"));
}

TEST_F(Music, EachAnswerGoesIntoABufferOfItsOwnSize) {
    disc(3, "playing");
    answers["status MP3Play mode"] = "playing";
    player.cdTick(3);
    player.mp3Tick("C:\\a.mp3");
    const std::map<std::string, unsigned> sizes{{"status cdaudio current track", 512}, {"status cdaudio mode", 255},
                                                {"status MP3Play mode", 30}};
    for (const auto& [command, size] : sizes) EXPECT_EQ(answerSizes[command], size) << command;
}

TEST_F(Music, CdReturnsToTheRepeatTrack) {
    const Commands queries{"status cdaudio current track", "status cdaudio number of tracks", "status cdaudio mode"};
    Commands restart = queries;
    restart.insert(restart.end(), {"status cdaudio position track 3", "play cdaudio from 03:00:00:00"});
    player.openCd();
    take();
    disc(4, "playing");  // the disc played on past track 3
    player.cdTick(3);
    EXPECT_EQ(restart, take());
    disc(3, "playing");
    player.cdTick(3);
    EXPECT_EQ(queries, take());
    disc(3, "stopped");
    player.cdTick(3);
    EXPECT_EQ(restart, take());
    EXPECT_TRUE(player.cdContinues);
}

TEST_F(Music, CdWithoutRepeatOnlyQueriesUntilStoppedThenPlaysOn) {
    disc(2, "playing");
    player.openCd();
    take();
    for (int i = 0; i < 3; ++i) player.cdTick(0);
    EXPECT_EQ(9u, sent.size());
    for (const std::string& c : take()) EXPECT_EQ(0u, c.rfind("status cdaudio ", 0)) << c;

    disc(2, "stopped");  // the disc ran out
    player.cdTick(0);
    player.stopCd();
    EXPECT_EQ((Commands{"play cdaudio", "stop cdaudio", "close cdaudio"}), Commands(sent.end() - 3, sent.end()));
}

TEST_F(Music, CdRepeatTrackBeyondTheLastKeepsTrying) {
    disc(1, "stopped");
    failures["status cdaudio position track 9"] = OutOfRangeError;
    EXPECT_TRUE(runCd(9, 3)) << "the failed position query does not end control";
    EXPECT_EQ(3, std::count(sent.begin(), sent.end(), "status cdaudio position track 9"));
    EXPECT_EQ(0, std::count(sent.begin(), sent.end(), "play cdaudio")) << "no other track plays instead";
}

TEST_F(Music, Mp3PlaysAndRestartsAfterItsEnd) {
    const std::string file = "C:\\My Music\\tone.mp3";
    answers["status MP3Play mode"] = "playing";
    player.playMp3(file);
    player.mp3Tick(file);
    EXPECT_EQ((Commands{"open \"C:\\My Music\\tone.mp3\" type MPEGVideo Alias MP3Play", "play MP3Play",
                        "status MP3Play mode"}),
              take());

    answers["status MP3Play mode"] = "stopped";  // the file came to its end
    player.mp3Tick(file);
    player.stopMp3(file);
    EXPECT_EQ((Commands{"status MP3Play mode", "stop MP3Play", "play MP3Play from 0", "stop MP3Play", "close MP3Play"}),
              sent);
}

TEST_F(Music, UnplayableMusicStaysSilent) {
    otherCommandsFail = CannotOpenError;
    player.playMp3("C:\\missing.mp3");
    EXPECT_EQ(1u, take().size()) << "a failed open plays nothing";
    for (int i = 0; i < 3; ++i) player.mp3Tick("C:\\missing.mp3");
    EXPECT_EQ(9u, take().size()) << "each tick tries the restart again, silently";

    // A quote would end the path's quoting early and turn the rest into commands.
    otherCommandsFail = 0;
    const std::string injected = "C:\\a.mp3\" type MPEGVideo Alias MP3Play wait\" x.mp3";
    player.playMp3(injected);
    player.mp3Tick(injected);
    player.stopMp3(injected);
    player.playWav("C:\\a\".wav");
    EXPECT_TRUE(sent.empty());
    EXPECT_TRUE(sounds.empty());
}

TEST_F(Music, WavLoopsOnlyWithAnOutputDevice) {
    waveOutDevices = 0;
    player.playWav("C:\\tone.wav");
    EXPECT_TRUE(sounds.empty());

    waveOutDevices = 1;
    player.playWav("C:\\tone.wav");
    player.stopWav();
    EXPECT_EQ((Commands{"C:\\tone.wav 9", "<none> 0"}), sounds) << "asynchronous and looped, then stopped";
    EXPECT_TRUE(sent.empty());
}

}  // namespace
