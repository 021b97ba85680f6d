// The settings file, read and written as bytes, and where it lives.
#include "shell/settings/settings_file.h"

#include <windows.h>

#include <vector>

#include "common/names.h"
#include "shell/settings/ini_text.h"
#include "shell/settings/number_text.h"
#include "shell/settings/settings_location.h"
#include "shell/system/file_calls.h"
#include "shell/system/system_text.h"

namespace {
// A full path of MAX_PATH - 1 characters, each of two bytes in the ANSI code page, is shorter; a
// longer value names no file the system can open, and counts as none.
constexpr size_t LongestValueBytes = 2 * MAX_PATH - 2;
// Far more than any settings file of this program holds; a larger one is not read into memory.
constexpr size_t LargestFileBytes = 1024 * 1024;
constexpr wchar_t TempFilePrefix[] = L"Lmv";   // the save's temporary file: LmvXXXX.tmp beside the settings file
constexpr wchar_t ProbeFilePrefix[] = L"Lmp";  // the writability probe, removed at once
constexpr wchar_t PerUserFolderName[] = L"Lumivane";

// The folder part of a path, without the backslash.
std::wstring folderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// True when a file can be made in the folder; the probe is removed at once. A name is not enough:
// Wine answers one for a folder that refused the file, so the file itself must be there.
bool folderWritable(const std::wstring& folder) {
    const std::wstring probe = newFileIn(folder, ProbeFilePrefix);
    if (probe.empty()) return false;
    const bool there = fileOpens(probe);
    deleteFile(probe);
    return there;
}

// %APPDATA%\Lumivane; empty when the system names no application-data folder.
std::wstring perUserFolder() {
    const std::wstring appData = applicationDataFolder();
    return appData.empty() ? std::wstring() : appData + L"\\" + PerUserFolderName;
}

// The settings file, or the backup that stands in for it after a save cut short.
std::wstring storedFile(const std::wstring& file) {
    const std::wstring backup = backupPathOf(file);
    return !fileOpens(file) && fileOpens(backup) ? backup : file;
}

// One value as a save writes it.
struct StoredValue {
    const char* key;
    std::string text;
};
// The chosen group's keys and texts in the order the file keeps them.
std::vector<StoredValue> storedValues(const ShellSettings& settings, SavedKeys keys) {
    if (keys == SavedKeys::Scene) {
        std::vector<StoredValue> values;
        for (int32_t k = 0; k < SceneKnobCount; ++k) {
            values.push_back({SceneKnobs[k].key, formatSettingNumber(knobValue(settings.scene, static_cast<SceneKnob>(k)))});
        }
        return values;
    }
    return {{IniKeySource, formatSettingNumber(settings.musicSource)},
            {IniKeyRepeat, formatSettingNumber(settings.repeatTrack)},
            {IniKeyFile, settings.musicFile},
            {IniKeyScreens, formatSettingNumber(settings.screens)},
            {IniKeyFrameRate, formatSettingNumber(settings.frameRate)},
            {IniKeyBatterySaver, formatSettingNumber(settings.batterySaver ? 1 : 0)}};
}

// The file's text with the values set in it.
std::string withValues(std::string text, const std::vector<StoredValue>& values) {
    for (const StoredValue& value : values) text = withIniValue(text, IniSection, value.key, value.text);
    return text;
}

// Writes the text as the whole file and reads it back: a write cut short on a full disk shows there.
bool writeAndReadBack(const std::wstring& file, const std::string& text) {
    std::string back;
    return writeWholeFile(file, text) && readWholeFile(file, back, LargestFileBytes) && back == text;
}

// A value longer than any path a file can have is no value at all.
std::string readIniValue(const std::string& text, const std::string& section, const std::string& key) {
    std::string value = iniValue(text, section, key);
    return value.size() > LongestValueBytes ? std::string() : value;
}

// Loads the settings of one file's text into `settings` by the load rule.
void loadSettingsText(ShellSettings& settings, const std::string& text) {
    StoredTexts stored{readIniValue(text, IniSection, IniKeySource), readIniValue(text, IniSection, IniKeyRepeat),
                       readIniValue(text, IniSection, IniKeyFile), readIniValue(text, IniSection, IniKeyScreens),
                       readIniValue(text, IniSection, IniKeyFrameRate), readIniValue(text, IniSection, IniKeyBatterySaver)};
    for (int32_t k = 0; k < SceneKnobCount; ++k) stored.scene[k] = readIniValue(text, IniSection, SceneKnobs[k].key);
    applyStoredSettings(settings, stored, fileExists);
}
}  // namespace

// The keys go into a copy that is read back before it replaces the file, so a save cut short leaves the old
// file whole. A link leads the save to its target: a symbolic link's target is replaced, and a file of several
// names (hard links) is written in place, so that every name still shows the saved settings.
bool saveSettingsFile(const ShellSettings& settings, const std::wstring& file, SavedKeys keys) {
    const std::wstring target = finalPathOf(file);
    const std::wstring folder = folderOf(target);
    createFolder(folder);  // the per-user folder, on the first save
    std::string text;
    if (!readWholeFile(storedFile(target), text, LargestFileBytes) && GetLastError() != ERROR_FILE_NOT_FOUND) {
        return false;  // starting from the old file keeps its other sections and keys
    }
    text = withValues(text, storedValues(settings, keys));
    const std::wstring temp = newFileIn(folder, TempFilePrefix);
    if (temp.empty()) return false;
    bool saved = writeAndReadBack(temp, text);
    // In place only once the copy showed that the disk takes it; should that write still fail, the copy
    // takes the file's place, so the settings are never lost, only the other names.
    if (saved && nameCountOf(target) > 1 && writeAndReadBack(target, text)) {
        deleteFile(temp);
        return true;
    }
    saved = saved && replaceFile(temp, target);
    if (!saved) deleteFile(temp);
    return saved;
}

// A file that cannot be read loads as a missing one: the settings keep their defaults.
void loadSettings(ShellSettings& settings) {
    std::string text;
    if (readWholeFile(storedFile(settingsFilePath()), text, LargestFileBytes)) loadSettingsText(settings, text);
}

// Opens the file for reading and closes it at once; folders, locked and missing files fail the open.
bool fileExists(const std::string& path) {
    const std::string target = fileTestPath(path);
    if (target.empty()) return false;
    HANDLE file = CreateFileA(target.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

// Beside the program for a portable copy; in %APPDATA%\Lumivane for one in a system folder or
// in a folder the user cannot write.
std::wstring settingsFilePath() {
    SettingsFolderFacts facts;
    facts.programFolder = ownFolderPath();
    facts.programFolderWritable = folderWritable(facts.programFolder);
    facts.systemFolders = systemFolders();
    facts.perUserFolder = perUserFolder();
    return settingsFolder(facts) + L"\\" + SettingsFileName;
}
