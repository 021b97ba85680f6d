#include "shell/settings/settings_location.h"

#include <gtest/gtest.h>

TEST(SettingsLocation, BesideAWritablePortableCopyOtherwiseInTheUsersFolder) {
    const std::wstring perUser = L"C:\\Users\\ann\\AppData\\Roaming\\Lumivane";
    const struct { const wchar_t* folder; bool writable; std::wstring perUser, want; } cases[] = {
        {L"D:\\Tools\\Lumivane", true, perUser, L"D:\\Tools\\Lumivane"},
        {L"c:\\WINDOWS\\system32", true, perUser, perUser},  // an administrator may write there
        {L"C:\\Windows\\SysWOW64\\", true, perUser, perUser},  // the 32-bit build on 64-bit Windows
        {L"C:\\Program Files\\Lumivane", false, perUser, perUser},
        {L"C:\\Windows\\System32\\Lumivane", true, perUser, L"C:\\Windows\\System32\\Lumivane"},
        {L"C:\\Windows\\System32", true, L"", L"C:\\Windows\\System32"},  // no per-user folder known
    };
    for (const auto& c : cases) {
        const SettingsFolderFacts facts{c.folder, c.writable, {L"C:\\Windows\\system32", L"C:\\Windows\\SysWOW64"}, c.perUser};
        EXPECT_TRUE(settingsFolder(facts) == c.want) << &c - cases;
    }
}
