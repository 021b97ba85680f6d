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
