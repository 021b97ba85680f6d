// The shell's rules for stored numbers and the load rule.
#include <gtest/gtest.h>

#include <utility>

#include "shell/settings/settings.h"

namespace {

TEST(SettingNumber, ReadFlooredOrLeftUnchanged) {
    const std::pair<const char*, int> numbers[] = {{"1.7", 1},   {"1.9", 1}, {"-1.5", -2},        {"-0.5", -1},
                                                   {" 2", 2},    {"2", 2},   {"\t2  ", 2},        {"2e1", 20},
                                                   {"3", 3},     {"-1", -1}, {"32767.9", 32767},  {"-32768", -32768},
                                                   {".5", 0},    {"-.5", -1}};
    for (const auto& [text, expected] : numbers) {
        int16_t value = 7;
        EXPECT_TRUE(parseSettingNumber(text, value)) << text;
        EXPECT_EQ(value, expected) << text;
    }
    for (const char* text : {"abc", "40000", "32768", "-32768.5", "1x", "", " ", "-", ".", "0x10", "inf", "1e999", "1e", "2E+"}) {
        int16_t value = 7;
        EXPECT_FALSE(parseSettingNumber(text, value)) << text;
        EXPECT_EQ(value, 7) << text;
    }
}

TEST(SettingNumber, WrittenWithOneBlankBeforeANonNegativeNumber) {
    EXPECT_EQ(formatSettingNumber(2), " 2");
    EXPECT_EQ(formatSettingNumber(0), " 0");
    EXPECT_EQ(formatSettingNumber(-1), "-1");
}

// The load rule from the texts a file holds; "C:\\ok.wav" is the one music file that opens.
TEST(SettingsLoad, NumbersFloorOrStayAMissingFileTurnsTheFileSourceOff) {
    struct Case {
        StoredTexts stored;
        ShellSettings before, after;
    };
    const ShellSettings start{1, 4, "C:\\old.mp3", 1};
    const Case cases[] = {
        {{"", "", "", ""}, start, {0, 0, "", 0}},                                    // a missing file or keys
        {{" 2", " 3", "C:\\ok.wav", " 1"}, {}, {2, 3, "C:\\ok.wav", 1}},         // as the dialog writes them
        {{"2", "-1", "C:\\gone.wav", "0"}, {}, {0, -1, "", 0}},                    // the file is gone: no music
        {{"1", "", "C:\\gone.wav", ""}, {}, {1, 0, "", 0}},                        // a CD source stays
        {{"abc", "40000", "C:\\ok.wav", "x"}, start, {1, 4, "C:\\ok.wav", 1}},   // no numbers: kept as they were
        {{"1.7", "\t2 ", "", "3"}, {}, {1, 2, "", 3}},
    };
    for (const Case& c : cases) {
        ShellSettings settings = c.before;
        applyStoredSettings(settings, c.stored, [](const std::string& path) { return path == "C:\\ok.wav"; });
        SCOPED_TRACE(c.stored.source + "|" + c.stored.repeat + "|" + c.stored.file + "|" + c.stored.screens);
        EXPECT_EQ(settings.musicSource, c.after.musicSource);
        EXPECT_EQ(settings.repeatTrack, c.after.repeatTrack);
        EXPECT_EQ(settings.musicFile, c.after.musicFile);
        EXPECT_EQ(settings.screens, c.after.screens);
    }
    EXPECT_EQ(fileTestPath("C:\\music\\"), "C:\\music");
    EXPECT_EQ(fileTestPath("C:\\music\\a.wav"), "C:\\music\\a.wav");
}

}  // namespace
