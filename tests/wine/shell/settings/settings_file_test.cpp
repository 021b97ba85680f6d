// The settings file as the Windows profile functions really write and read it, and the file test.
#include <gtest/gtest.h>

#include "shell/settings/settings_file.h"
#include "support/win_test_support.h"

namespace {

const std::string KindBytes = "BGM\x8B\xE6\x95\xAA";
const std::string RepeatBytes = "BGM\xD8\xCB\xDF\xB0\xC4";
const std::string FileBytes = "BGM\xCC\xA7\xB2\xD9";

// A Windows path in the ANSI code page, as the shell's A calls take it.
std::string ansi(const std::wstring& text) {
    char out[MAX_PATH * 2] = {};
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, out, sizeof out, nullptr, nullptr);
    return out;
}

TEST(SettingsFileWine, WrittenKeysKeepTheirShiftJisBytesOnAnotherCodePage) {
    ASSERT_NE(GetACP(), 932u) << "this check means something only where the code page is not Shift-JIS";
    wintest::TempDir dir(L"ini-write");
    const std::string ini = ansi(dir.file(L"Lumivane.ini"));
    const std::string music = ansi(dir.file(L"song.mp3"));
    ASSERT_TRUE(wintest::writeFileBytes(dir.file(L"song.mp3"), "ID3"));

    ASSERT_TRUE(writeIniValue(IniSection, IniKeySource, formatSettingNumber(2), ini));
    ASSERT_TRUE(writeIniValue(IniSection, IniKeyRepeat, formatSettingNumber(-1), ini));
    ASSERT_TRUE(writeIniValue(IniSection, IniKeyFile, music, ini));
    const std::string bytes = wintest::readFileBytes(dir.file(L"Lumivane.ini"));
    for (const std::string& line : {std::string("[Section]"), KindBytes + "=", RepeatBytes + "=-1", FileBytes + "=" + music})
        EXPECT_NE(bytes.find(line), std::string::npos) << bytes;
    EXPECT_EQ(bytes.find('?'), std::string::npos) << "no key name was mangled: " << bytes;

    ShellSettings loaded;
    loadSettingsFile(loaded, ini);
    EXPECT_EQ(loaded.musicSource, 2);
    EXPECT_EQ(loaded.repeatTrack, -1);
    EXPECT_EQ(loaded.musicFile, music);
    EXPECT_FALSE(writeIniValue(IniSection, IniKeySource, " 1", ansi(dir.file(L"no-such-folder\\x.ini"))))
        << "a failed write is reported";
}

TEST(SettingsFileWine, FileLaidDownWithTheKeyBytesLoadsByTheLoadRule) {
    wintest::TempDir dir(L"ini-load");
    const std::wstring iniPath = dir.file(L"Lumivane.ini");
    const std::string wav = ansi(dir.file(L"loop.wav"));
    const std::string gone = ansi(dir.file(L"deleted.wav"));
    ASSERT_TRUE(wintest::writeFileBytes(dir.file(L"loop.wav"), "RIFF"));
    // The longest path a program can open: a value of this length must arrive whole.
    const std::wstring folder = dir.path() + L"\\";
    const std::wstring longest = folder + std::wstring(MAX_PATH - 1 - folder.size() - 4, L'm') + L".wav";
    ASSERT_TRUE(wintest::writeFileBytes(longest, "RIFF"));
    struct Case {
        std::string kind;
        const char* repeat;
        std::string file;
        int16_t wantKind, wantRepeat;
        std::string wantFile;
    };
    // Each load starts from source 1, track 4, so that a value left unchanged shows.
    const Case cases[] = {
        {" 2", " 0", ansi(longest), 2, 0, ansi(longest)},
        {"2." + std::string(100000, '0'), " 5", wav, 0, 5, wav},  // too long to arrive whole: no value at all
        {" 2", " 7", wav, 2, 7, wav},
        {"2", "1.7", wav + "\\", 2, 1, wav + "\\"},  // the file is tested without the backslash
        {" 2", " 0", gone, 0, 0, ""},                // a file source whose file is gone: no music
        {" 1", " 3", "", 1, 3, ""},
        {" 3", "-1", "", 3, -1, ""},
        {"abc", "40000", "", 1, 4, ""},              // not numbers: the values stay
        {"", "", "", 0, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind \"" << c.kind.substr(0, 20) << "\", repeat \"" << c.repeat << "\", file "
                                        << c.file);
        ASSERT_TRUE(wintest::writeFileBytes(iniPath, "[Section]\r\n" + KindBytes + "=" + c.kind + "\r\n" + RepeatBytes +
                                                         "=" + c.repeat + "\r\n" + FileBytes + "=" + c.file + "\r\n"));
        ShellSettings loaded;
        loaded.musicSource = 1;
        loaded.repeatTrack = 4;
        loadSettingsFile(loaded, ansi(iniPath));
        EXPECT_EQ(loaded.musicSource, c.wantKind);
        EXPECT_EQ(loaded.repeatTrack, c.wantRepeat);
        EXPECT_EQ(loaded.musicFile, c.wantFile);
    }
}

TEST(SettingsFileWine, OnlyAnOpenableFileIsAFile) {
    wintest::TempDir dir(L"file-test");
    const std::string file = ansi(dir.file(L"music.wav"));
    ASSERT_TRUE(wintest::writeFileBytes(dir.file(L"music.wav"), ""));
    EXPECT_TRUE(fileExists(file)) << "an empty file still opens";
    EXPECT_TRUE(fileExists(file + "\\")) << "one trailing backslash is ignored";
    for (const std::string& notAFile : {ansi(dir.path()), ansi(dir.path()) + "\\", std::string(), std::string("\\"),
                                        ansi(dir.file(L"missing.wav"))})
        EXPECT_FALSE(fileExists(notAFile)) << notAFile;
}

}  // namespace
