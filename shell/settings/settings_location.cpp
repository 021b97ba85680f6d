// The settings file's folder, from the facts the Windows layer collects.
#include "shell/settings/settings_location.h"

#include <cwctype>

namespace {
// The folder without its trailing backslashes, in lower case.
std::wstring folderKey(const std::wstring& folder) {
    std::wstring key = folder;
    while (!key.empty() && (key.back() == L'\\' || key.back() == L'/')) key.pop_back();
    for (wchar_t& c : key) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return key;
}
}  // namespace

// Whether two paths name the same folder, whatever their case and trailing separators.
bool sameFolder(const std::wstring& a, const std::wstring& b) {
    return !a.empty() && !b.empty() && folderKey(a) == folderKey(b);
}

// An administrator can write into System32, and a copy there is still an installed one: its
// settings belong to each user.
std::wstring settingsFolder(const SettingsFolderFacts& facts) {
    bool systemFolder = false;
    for (const std::wstring& folder : facts.systemFolders) systemFolder = systemFolder || sameFolder(folder, facts.programFolder);
    if (facts.programFolderWritable && !systemFolder) return facts.programFolder;
    return facts.perUserFolder.empty() ? facts.programFolder : facts.perUserFolder;
}
