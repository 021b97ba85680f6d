// Where the settings file lives: beside the shell, or in the user's own folder when the shell
// sits in a folder that is not the user's to write. No Windows here.
#pragma once

#include <string>
#include <vector>

// What the shell knows about its folder when it looks for its settings file.
struct SettingsFolderFacts {
    std::wstring programFolder;              // the shell's own folder
    bool programFolderWritable = false;      // a file could be made there
    std::vector<std::wstring> systemFolders; // Windows' system folders (System32, SysWOW64)
    std::wstring perUserFolder;              // %APPDATA%\Lumivane; empty when unknown
};

// True when the two folders name the same place: letter case and trailing backslashes aside.
bool sameFolder(const std::wstring& a, const std::wstring& b);

// The folder of Lumivane.ini: the shell's own when it is writable and not a system folder (a
// portable copy), otherwise the per-user folder (an installed copy), or the shell's own when no
// per-user folder is known.
std::wstring settingsFolder(const SettingsFolderFacts& facts);
