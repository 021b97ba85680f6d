// The settings file as the Windows profile functions really write and read it, and the file test.
#include <gtest/gtest.h>

#include "shell/startup/settings_file.h"
#include "support/win_test_support.h"

namespace {

constexpr UINT ShiftJisCodePage = 932;
const std::string KindBytes = "BGM\x8B\xE6\x95\xAA";
const std::string RepeatBytes = "BGM\xD8\xCB\xDF\xB0\xC4";
const std::string FileBytes = "BGM\xCC\xA7\xB2\xD9";

// A Windows path in the ANSI code page, as the shell's A calls take it.
std::string ansi(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size - 1 : 0, '\0');
    if (size > 1) WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &out[0], size, nullptr, nullptr);
    return out;
}

// Contents of a settings file laid down byte for byte.
std::string iniBytes(const std::string& kind, const std::string& repeat, const std::string& file) {
    return "[Section]\r\n" + KindBytes + "=" + kind + "\r\n" + RepeatBytes + "=" + repeat + "\r\n" + FileBytes + "=" +
           file + "\r\n";
}

TEST(SettingsFileWine, WrittenKeysKeepTheirShiftJisBytesOnAnotherCodePage) {
    ASSERT_NE(GetACP(), ShiftJisCodePage) << "this check means something only where the code page is not 932";
    wintest::TempDir dir(L"ini-write");
    const std::string ini = ansi(dir.file(L"Lumivane.ini"));
    const std::string music = ansi(dir.file(L"song.mp3"));

    ASSERT_TRUE(Ini_WriteString(IniSection, IniKeyKind, formatSettingNumber(2), ini));
    ASSERT_TRUE(Ini_WriteString(IniSection, IniKeyRepeat, formatSettingNumber(0), ini));
    ASSERT_TRUE(Ini_WriteString(IniSection, IniKeyFile, music, ini));

    const std::string bytes = wintest::readFileBytes(dir.file(L"Lumivane.ini"));
    EXPECT_NE(bytes.find("[Section]"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find(KindBytes + "="), std::string::npos) << bytes;
    EXPECT_NE(bytes.find(RepeatBytes + "="), std::string::npos) << bytes;
    EXPECT_NE(bytes.find(FileBytes + "=" + music), std::string::npos) << bytes;
    EXPECT_EQ(bytes.find('?'), std::string::npos) << "no key name was mangled: " << bytes;

    // Written values read back and load through the same keys.
    EXPECT_EQ(Ini_ReadString(IniSection, IniKeyFile, ini), music);
    ASSERT_TRUE(wintest::writeFileBytes(dir.file(L"song.mp3"), "ID3"));
    ShellSettings loaded;
    loadSettingsFile(loaded, ini);
    EXPECT_EQ(loaded.BGM_Kind, 2);
    EXPECT_EQ(loaded.BGM_RepeatTrack, 0);
    EXPECT_EQ(loaded.BGM_File, music);

    // Rewriting replaces the value instead of adding a second key.
    ASSERT_TRUE(Ini_WriteString(IniSection, IniKeyKind, formatSettingNumber(1), ini));
    const std::string rewritten = wintest::readFileBytes(dir.file(L"Lumivane.ini"));
    EXPECT_EQ(rewritten.find(KindBytes), rewritten.rfind(KindBytes)) << rewritten;
    EXPECT_EQ(Ini_ReadString(IniSection, IniKeyKind, ini), "1") << "the profile functions drop the blank";
}

TEST(SettingsFileWine, FileLaidDownWithTheKeyBytesLoads) {
    wintest::TempDir dir(L"ini-load");
    const std::wstring iniPath = dir.file(L"Lumivane.ini");
    const std::string ini = ansi(iniPath);
    const std::string wav = ansi(dir.file(L"loop.wav"));
    ASSERT_TRUE(wintest::writeFileBytes(dir.file(L"loop.wav"), "RIFF"));

    ASSERT_TRUE(wintest::writeFileBytes(iniPath, iniBytes(" 2", " 7", wav)));
    ShellSettings present;
    loadSettingsFile(present, ini);
    EXPECT_EQ(present.BGM_Kind, 2);
    EXPECT_EQ(present.BGM_RepeatTrack, 7);
    EXPECT_EQ(present.BGM_File, wav);

    ASSERT_TRUE(wintest::writeFileBytes(iniPath, iniBytes("2", "1.7", wav + "\\")));
    ShellSettings trailing;
    loadSettingsFile(trailing, ini);
    EXPECT_EQ(trailing.BGM_Kind, 2) << "a path ending in a backslash is tested without it";
    EXPECT_EQ(trailing.BGM_RepeatTrack, 1);

    ASSERT_TRUE(DeleteFileW(dir.file(L"loop.wav").c_str()));
    ASSERT_TRUE(wintest::writeFileBytes(iniPath, iniBytes(" 2", " 0", wav)));
    ShellSettings gone;
    loadSettingsFile(gone, ini);
    EXPECT_EQ(gone.BGM_Kind, 0) << "a file source whose file is gone falls back to no music";
    EXPECT_EQ(gone.BGM_File, "");

    ASSERT_TRUE(wintest::writeFileBytes(iniPath, iniBytes(" 1", " 3", "")));
    ShellSettings cd;
    loadSettingsFile(cd, ini);
    EXPECT_EQ(cd.BGM_Kind, 1);
    EXPECT_EQ(cd.BGM_RepeatTrack, 3);
    EXPECT_EQ(cd.BGM_File, "");

    ASSERT_TRUE(wintest::writeFileBytes(iniPath, iniBytes("abc", "40000", "")));
    ShellSettings bad;
    loadSettingsFile(bad, ini);
    EXPECT_EQ(bad.BGM_Kind, 0);
    EXPECT_EQ(bad.BGM_RepeatTrack, 0);

    ShellSettings missing;
    missing.BGM_Kind = 1;
    loadSettingsFile(missing, ansi(dir.file(L"none.ini")));
    EXPECT_EQ(missing.BGM_Kind, 0) << "a missing file reads as empty values";
}

TEST(SettingsFileWine, LongValuesArriveCutAndFailedWritesAreReported) {
    wintest::TempDir dir(L"ini-long");
    const std::string ini = ansi(dir.file(L"Lumivane.ini"));
    const std::string longPath = "C:\\" + std::string(300, 'a') + ".mp3";
    ASSERT_TRUE(Ini_WriteString(IniSection, IniKeyFile, longPath, ini));
    EXPECT_EQ(Ini_ReadString(IniSection, IniKeyFile, ini), longPath.substr(0, 255));

    EXPECT_FALSE(Ini_WriteString(IniSection, IniKeyKind, " 1", ansi(dir.file(L"no-such-folder\\Lumivane.ini"))));
}

TEST(SettingsFileWine, FileTest) {
    wintest::TempDir dir(L"file-test");
    const std::string file = ansi(dir.file(L"music.wav"));
    ASSERT_TRUE(wintest::writeFileBytes(dir.file(L"music.wav"), "RIFF"));
    ASSERT_TRUE(wintest::writeFileBytes(dir.file(L"empty.wav"), ""));

    EXPECT_TRUE(File_Exists(file));
    EXPECT_TRUE(File_Exists(file + "\\")) << "one trailing backslash is ignored";
    EXPECT_FALSE(File_Exists(file + "\\\\"));
    EXPECT_TRUE(File_Exists(ansi(dir.file(L"empty.wav")))) << "an empty file still opens";
    EXPECT_FALSE(File_Exists(ansi(dir.path())));
    EXPECT_FALSE(File_Exists(ansi(dir.path()) + "\\")) << "a folder is not a file";
    EXPECT_FALSE(File_Exists(""));
    EXPECT_FALSE(File_Exists("\\"));
    EXPECT_FALSE(File_Exists(ansi(dir.file(L"missing.wav"))));

    HANDLE locked = CreateFileW(dir.file(L"music.wav").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(File_Exists(file)) << "a file locked against reading";
    CloseHandle(locked);
    EXPECT_TRUE(File_Exists(file));
}

}  // namespace
