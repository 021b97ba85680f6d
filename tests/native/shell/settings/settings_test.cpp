#include "shell/settings/settings.h"

#include <gtest/gtest.h>

// The load rule from the texts a file holds; "C:\\ok.wav" is the one music file that opens.
TEST(SettingsLoad, NumbersFlooredOrKeptAndAMissingFileTurnsTheFileSourceOff) {
    const ShellSettings start{1, 4, "C:\\old.mp3", 1};
    const struct { StoredTexts stored; ShellSettings before, after; } cases[] = {
        {{"", "", "", ""}, start, {0, 0, "", 0}},                               // a missing file or keys
        {{" 2", " 3", "C:\\ok.wav", " 1"}, {}, {2, 3, "C:\\ok.wav", 1}},    // as the dialog writes them
        {{"2", "-1", "C:\\gone.wav", "0"}, {}, {0, -1, "", 0}},               // the file is gone: no music
        {{"1", "", "C:\\gone.wav", ""}, {}, {1, 0, "", 0}},                   // a CD source stays
        {{"abc", "40000", "C:\\ok.wav", "x"}, start, {1, 4, "C:\\ok.wav", 1}},  // no numbers: kept as they were
        {{"1.7", "\t2 ", "", "-0.5"}, {}, {1, 2, "", -1}},
        {{"32767.9", "-32768", "", ".5e1"}, {}, {32767, -32768, "", 5}},
        {{"32768", "-32768.5", "", "3e"}, start, {1, 4, "", 1}},
        {{"2E+", "-", "", "."}, start, {1, 4, "", 1}},
    };
    for (const auto& c : cases) {
        ShellSettings settings = c.before;
        applyStoredSettings(settings, c.stored, [](const std::string& path) { return path == "C:\\ok.wav"; });
        EXPECT_TRUE(settings.musicSource == c.after.musicSource && settings.repeatTrack == c.after.repeatTrack &&
                    settings.musicFile == c.after.musicFile && settings.screens == c.after.screens)
            << c.stored.source << "|" << c.stored.repeat << "|" << c.stored.file << "|" << c.stored.screens;
    }
    EXPECT_EQ(formatSettingNumber(2), " 2");
    EXPECT_EQ(formatSettingNumber(0), " 0");
    EXPECT_EQ(formatSettingNumber(-1), "-1");
    EXPECT_EQ(fileTestPath("C:\\music\\"), "C:\\music");
    EXPECT_EQ(fileTestPath("C:\\music\\a.wav"), "C:\\music\\a.wav");
}

// The scene's keys: a missing, empty or garbled value is the standard one; a number is floored and
// brought to the nearest value its knob takes, however large.
TEST(SettingsLoad, SceneKeysTakeTheNearestValueTheyHave) {
    const struct { SceneKnob knob; const char* text; int32_t value; } cases[] = {
        {SceneKnob::Particles, "", 1000},          {SceneKnob::Particles, " 2500", 2500},  {SceneKnob::Particles, "\t300 ", 300},
        {SceneKnob::Particles, "many", 1000},      {SceneKnob::Particles, "10", 50},       {SceneKnob::Particles, "99999999999", 5000},
        {SceneKnob::Particles, "-1e30", 50},       {SceneKnob::Particles, "1e3", 1000},    {SceneKnob::Particles, "12 34", 1000},
        {SceneKnob::Size, "29.9", 29},             {SceneKnob::Size, "0", 1},              {SceneKnob::Speed, "31", 30},
        {SceneKnob::Camera, "0", 0},               {SceneKnob::Camera, "-0.5", 0},         {SceneKnob::Trails, "0", 0},
        {SceneKnob::Trails, "100", 100},           {SceneKnob::Trails, "250", 100},        {SceneKnob::Emitters, "9", 8},
        {SceneKnob::Absorbers, "0", 1},            {SceneKnob::Colours, " 3", 3},          {SceneKnob::Colours, "7", 0},
        {SceneKnob::Colours, "warm", 0},           {SceneKnob::Emitters, "0x4", 3},        {SceneKnob::Speed, "inf", 10},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(storedKnobValue(c.knob, c.text), c.value) << SceneKnobs[static_cast<int>(c.knob)].key << "=" << c.text;
    }
    // Through the whole load rule, into the settings the shell hands on.
    StoredTexts stored;
    stored.scene[static_cast<int>(SceneKnob::Particles)] = " 4000";
    stored.scene[static_cast<int>(SceneKnob::Colours)] = " 2";
    ShellSettings settings;
    applyStoredSettings(settings, stored, [](const std::string&) { return false; });
    EXPECT_EQ(settings.scene.ParticleCount, 4000);
    EXPECT_EQ(settings.scene.Colours, Palette::Cold);
    EXPECT_EQ(settings.scene.TrailLevel, 10) << "a missing key is the standard value";
}

// The frame rate is the nearest of " 0", " 60" and " 30"; the battery saver is off only for a number
// that floors to 0. Missing or garbled, each is its default: every frame, saver on.
TEST(SettingsLoad, FrameRateTakesTheNearestChoiceAndTheBatterySaverStaysOnUnlessZero) {
    const struct { const char *frameRate, *saver; int16_t rate; bool saverOn; } cases[] = {
        {"", "", 0, true},          {" 60", " 0", 60, false},  {" 30", " 1", 30, true},  {"10", "-1", 0, true},
        {"20", "0.7", 30, false},    {"50", "abc", 60, true},   {"144", "1e9", 60, true}, {"fast", "\t0 ", 0, false},
        {"-30", "2", 0, true},      {"45", "-0.5", 60, true},
    };
    for (const auto& c : cases) {
        StoredTexts stored;
        stored.frameRate = c.frameRate;
        stored.batterySaver = c.saver;
        ShellSettings settings;
        settings.frameRate = 30;
        settings.batterySaver = !c.saverOn;
        applyStoredSettings(settings, stored, [](const std::string&) { return false; });
        EXPECT_TRUE(settings.frameRate == c.rate && settings.batterySaver == c.saverOn)
            << c.frameRate << "|" << c.saver << ": " << settings.frameRate << " " << settings.batterySaver;
    }
}
