// Stored numbers, key bytes and the load rule of the settings.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "shell/startup/settings.h"

namespace {

// Number a stored text loads as, starting from `start`.
int16_t loaded(const std::string& text, int16_t start = 0) {
    int16_t value = start;
    parseSettingNumber(text, value);
    return value;
}

TEST(SettingNumber, FlooredTowardMinusInfinity) {
    EXPECT_EQ(loaded("1.7"), 1);
    EXPECT_EQ(loaded("1.9"), 1);
    EXPECT_EQ(loaded("-1.5"), -2);
    EXPECT_EQ(loaded("-0.5"), -1);
    EXPECT_EQ(loaded("2e1"), 20);
    EXPECT_EQ(loaded("32767.9"), 32767);
    EXPECT_EQ(loaded("-32768"), -32768);
}

TEST(SettingNumber, NotANumberOrOutOfRangeLeavesTheValue) {
    for (const char* text : {"abc", "40000", "-32768.5", "32768", "1x", "", "  ", "-", ".", "1e999", "0x10", "inf", "nan"}) {
        int16_t value = 7;
        EXPECT_FALSE(parseSettingNumber(text, value)) << text;
        EXPECT_EQ(value, 7) << text;
    }
}

TEST(SettingNumber, BlanksAroundAreIgnoredAndWrittenTextLoadsBack) {
    EXPECT_EQ(loaded(" 2"), 2);
    EXPECT_EQ(loaded("2"), 2);
    EXPECT_EQ(loaded("\t2  "), 2);
    EXPECT_EQ(formatSettingNumber(2), " 2");
    EXPECT_EQ(formatSettingNumber(0), " 0");
    EXPECT_EQ(formatSettingNumber(-1), "-1");
    for (int n : {-32768, -1, 0, 1, 30, 32767}) EXPECT_EQ(loaded(formatSettingNumber(n), 5), n);
}

TEST(IniKeys, ExactShiftJisBytes) {
    EXPECT_STREQ(IniSection, "Section");
    EXPECT_EQ(std::string(IniKeyKind), std::string("\x42\x47\x4D\x8B\xE6\x95\xAA"));
    EXPECT_EQ(std::string(IniKeyRepeat), std::string("\x42\x47\x4D\xD8\xCB\xDF\xB0\xC4"));
    EXPECT_EQ(std::string(IniKeyFile), std::string("\x42\x47\x4D\xCC\xA7\xB2\xD9"));
}

// Loads the three texts with a file test that knows only `existing`.
ShellSettings load(const std::string& kind, const std::string& repeat, const std::string& file,
                   const std::set<std::string>& existing = {}, ShellSettings start = {}) {
    applyStoredSettings(start, kind, repeat, file,
                        [&](const std::string& path) { return existing.count(fileTestPath(path)) > 0; });
    return start;
}

TEST(LoadRule, FileSourceFallsBackWhenItsFileIsGone) {
    const ShellSettings gone = load(" 2", " 0", "C:\\music\\deleted.mp3");
    EXPECT_EQ(gone.BGM_Kind, 0);
    EXPECT_EQ(gone.BGM_File, "");

    const ShellSettings present = load(" 2", " 0", "C:\\music\\song.mp3", {"C:\\music\\song.mp3"});
    EXPECT_EQ(present.BGM_Kind, 2);
    EXPECT_EQ(present.BGM_File, "C:\\music\\song.mp3");

    const ShellSettings empty = load(" 2", " 0", "");
    EXPECT_EQ(empty.BGM_Kind, 0);
}

TEST(LoadRule, CdSourceAndOddKindsStayAsStored) {
    const ShellSettings cd = load(" 1", " 12", "");
    EXPECT_EQ(cd.BGM_Kind, 1);
    EXPECT_EQ(cd.BGM_RepeatTrack, 12);
    EXPECT_EQ(load(" 1", "", "C:\\gone.wav").BGM_Kind, 1) << "a CD source is never changed by the file";
    EXPECT_EQ(load(" 3", "", "").BGM_Kind, 3);
    EXPECT_EQ(load("-1", "", "").BGM_Kind, -1);
}

TEST(LoadRule, EmptyTextsGiveZeroAndBadNumbersKeepTheEarlierValue) {
    ShellSettings start;
    start.BGM_Kind = 1;
    start.BGM_RepeatTrack = 4;
    const ShellSettings bad = load("abc", "40000", "", {}, start);
    EXPECT_EQ(bad.BGM_Kind, 1);
    EXPECT_EQ(bad.BGM_RepeatTrack, 4);
    const ShellSettings empty = load("", "", "", {}, start);
    EXPECT_EQ(empty.BGM_Kind, 0);
    EXPECT_EQ(empty.BGM_RepeatTrack, 0);
}

TEST(LoadRule, FileTestIgnoresOneTrailingBackslash) {
    EXPECT_EQ(fileTestPath("C:\\a\\b.wav\\"), "C:\\a\\b.wav");
    EXPECT_EQ(fileTestPath("C:\\a\\\\"), "C:\\a\\");
    EXPECT_EQ(fileTestPath(""), "");
    EXPECT_EQ(load(" 2", "", "C:\\m\\x.wav\\", {"C:\\m\\x.wav"}).BGM_Kind, 2);
}

}  // namespace
