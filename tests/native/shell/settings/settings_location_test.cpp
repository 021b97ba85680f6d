// Where the settings file lives for a portable and for an installed copy.
#include <gtest/gtest.h>

#include "shell/settings/settings_location.h"

namespace {

const std::wstring PerUser = L"C:\\Users\\ann\\AppData\\Roaming\\Lumivane";

TEST(SettingsLocation, BesideAWritablePortableCopyOtherwiseInTheUsersFolder) {
    struct Case { const wchar_t* folder; bool writable; const wchar_t* perUser; std::wstring want; };
    const Case cases[] = {
        {L"D:\\Tools\\Lumivane", true, PerUser.c_str(), L"D:\\Tools\\Lumivane"},
        {L"C:\\Windows\\System32", true, PerUser.c_str(), PerUser},            // an administrator may write there
        {L"c:\\WINDOWS\\system32\\", false, PerUser.c_str(), PerUser},
        {L"C:\\Windows\\SysWOW64", true, PerUser.c_str(), PerUser},             // the 32-bit build on 64-bit Windows
        {L"C:\\Program Files\\Lumivane", false, PerUser.c_str(), PerUser},      // not the user's to write
        {L"C:\\Windows\\System32\\Lumivane", true, PerUser.c_str(), L"C:\\Windows\\System32\\Lumivane"},
        {L"C:\\Windows\\System32", true, L"", L"C:\\Windows\\System32"},        // no per-user folder known
    };
    for (const Case& c : cases) {
        SettingsFolderFacts facts;
        facts.programFolder = c.folder;
        facts.programFolderWritable = c.writable;
        facts.systemFolders = {L"C:\\Windows\\system32", L"C:\\Windows\\SysWOW64"};
        facts.perUserFolder = c.perUser;
        EXPECT_EQ(settingsFolder(facts), c.want) << std::string(c.folder, c.folder + wcslen(c.folder));
    }
}

}  // namespace
