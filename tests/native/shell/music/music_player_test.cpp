// The music player against a scripted MCI device: what it sends is what the listener ends up hearing.
#include "shell/music/music_player.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <utility>
#include <vector>

using Commands = std::vector<std::string>;

struct Music : ::testing::Test, MciPort, SoundPort {
    std::map<std::string, std::string> answers;   // what a command writes back
    std::map<std::string, int> failures;          // the error code of a failing command
    std::map<std::string, unsigned> answerSizes;  // the buffer size the player offered each command
    int waveOutDevices = 1;
    std::map<std::string, std::string> files;  // the bytes of each file the player may read
    Commands sent, sounds;
    MusicPlayer player{*this, *this};

    int send(const std::string& command, char* answer, unsigned answerSize) override {
        sent.push_back(command);
        answerSizes[command] = answerSize;
        if (failures.count(command)) return failures[command];
        if (answers.count(command) && answer) std::snprintf(answer, answerSize, "%s", answers[command].c_str());
        return 0;
    }
    bool errorText(int, char*, unsigned) override { return false; }
    int waveOutDeviceCount() override { return waveOutDevices; }
    bool playSound(const char* name, unsigned flags) override { return sounds.push_back((name ? name : "-") + std::to_string(flags)), true; }
    unsigned readFile(const char* name, uint64_t offset, char* buffer, unsigned size) override {
        const std::string& bytes = files[name];
        if (offset >= bytes.size()) return 0;
        return static_cast<unsigned>(bytes.copy(buffer, size, static_cast<size_t>(offset)));
    }
};

// A chunk: its name, its size field (the data's length unless told) and its data, padded to an even length.
static std::string chunk(const std::string& name, const std::string& data, int64_t size = -1) {
    const uint32_t n = static_cast<uint32_t>(size < 0 ? data.size() : size);
    return name + std::string{char(n), char(n >> 8), char(n >> 16), char(n >> 24)} + data + std::string(data.size() % 2, '\0');
}
static std::string riffWave(const std::string& chunks) { return chunk("RIFF", "WAVE" + chunks); }

TEST_F(Music, CdEndsWithoutADriveOrADiscPlaysOnAndReturnsToTheRepeatTrack) {
    const std::string current = "status cdaudio current track", tracks = "status cdaudio number of tracks", mode = "status cdaudio mode";
    const Commands restart{current, tracks, mode, "status cdaudio position track 3", "play cdaudio from 03:00:00:00"};
    answers = {{tracks, "5"}, {"status cdaudio position track 3", "03:00:00:00"}};
    const struct { int track; const char* mode; int16_t repeatTrack; std::string failing; Commands commands; } ticks[] = {
        {1, "stopped", 3, current, {current}}, {1, "stopped", 3, tracks, {current, tracks}},  // no drive, no disc
        {4, "playing", 3, "", restart} /* the disc played on past track 3 */, {3, "playing", 3, "", {current, tracks, mode}},
        {3, "stopped", 3, "", restart}, {2, "playing", 0, "", {current, tracks, mode}},
        {2, "stopped", 0, "", {current, tracks, mode, "play cdaudio"}},  // the disc ran out
    };
    for (const auto& t : ticks) {
        answers[current] = std::to_string(t.track), answers[mode] = t.mode, failures = {{t.failing, 266}};
        player.cdTick(t.repeatTrack);
        EXPECT_EQ(player.cdContinues, t.failing.empty());
        EXPECT_EQ(std::exchange(sent, {}), t.commands) << t.track << " " << t.mode << ", repeating " << t.repeatTrack;
    }
    player.stopCd();
    EXPECT_EQ(player.play("cdaudio", "01:00:00:00", "02:00:00:00"), 0);
    EXPECT_EQ(sent, (Commands{"stop cdaudio", "close cdaudio", "play cdaudio from 01:00:00:00 to 02:00:00:00"}));
    failures = {{current, 266}};
    EXPECT_EQ(player.query(current), "Error:266");
    EXPECT_TRUE(answerSizes[current] == 512 && answerSizes[mode] == 255) << "each answer has a buffer of its own size";
}

TEST_F(Music, Mp3RestartsAfterItsEndWavLoopsAndAQuotedPathStaysSilent) {
    const std::string file = "C:\\My Music\\tone.mp3";
    player.playMp3(file);
    for (const char* mode : {"playing", "stopped" /* the file came to its end */}) answers["status MP3Play mode"] = mode, player.mp3Tick(file);
    player.stopMp3(file);
    EXPECT_EQ(std::exchange(sent, {}), (Commands{"open \"C:\\My Music\\tone.mp3\" type MPEGVideo Alias MP3Play", "play MP3Play",
        "status MP3Play mode", "status MP3Play mode", "stop MP3Play", "play MP3Play from 0", "stop MP3Play", "close MP3Play"}));
    EXPECT_EQ(answerSizes["status MP3Play mode"], 30u);
    files["C:\\tone.wav"] = riffWave(chunk("fmt ", std::string(16, '\1')) + chunk("data", "ab"));
    for (int devices : {0, 1}) waveOutDevices = devices, player.playWav("C:\\tone.wav");
    player.stopWav();
    // A quote would end the path's quoting early and turn the rest into commands.
    const std::string injected = "C:\\a.mp3\" type MPEGVideo Alias MP3Play wait\" x.mp3";
    player.playMp3(injected);
    player.mp3Tick(injected);
    player.playWav("C:\\a\".wav");
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(sounds, (Commands{"C:\\tone.wav9", "-0"})) << "only with an output device; looped (9), then stopped";
}

TEST_F(Music, AWavIsLoopedOnlyWhenItsFirstDataChunkHoldsASampleInTheFile) {
    const std::string format = chunk("fmt ", std::string(16, '\1'));
    std::string many;
    for (unsigned n = 1; n < WavChunksSought; ++n) many += chunk("junk", "");
    const struct { const char* name; std::string bytes; bool sounds; } wavs[] = {
        {"tone", riffWave(format + chunk("data", "abcd")), true},
        {"empty data", riffWave(format + chunk("data", "")), false},  // the 44-byte file
        {"data cut off", riffWave(format + chunk("data", "", 1000)), false},
        {"a list first, odd-sized", riffWave(format + chunk("LIST", "odd") + chunk("data", "ab")), true},
        {"only the first data counts", riffWave(format + chunk("data", "") + chunk("data", "ab")), false},
        {"no data", riffWave(format), false}, {"not RIFF", "RIFX" + riffWave(format + chunk("data", "ab")).substr(4), false},
        {"not WAVE", chunk("RIFF", "AVI " + format + chunk("data", "ab")), false}, {"no file", "", false},
        {"data as the last chunk sought", riffWave(many + chunk("data", "ab")), true},
        {"data beyond the chunks sought", riffWave(many + chunk("junk", "") + chunk("data", "ab")), false},
    };
    for (const auto& w : wavs) {
        files[w.name] = w.bytes;
        sounds.clear();
        player.playWav(w.name);
        EXPECT_EQ(sounds, w.sounds ? Commands{std::string(w.name) + "9"} : Commands{}) << w.name;
    }
}
