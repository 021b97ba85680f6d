// The settings file, through the ANSI private-profile functions, and where it lives.
#include "shell/settings/settings_file.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "common/names.h"
#include "shell/settings/number_text.h"
#include "shell/settings/settings_location.h"
#include "shell/system/file_calls.h"
#include "shell/system/system_text.h"

namespace {
// Holds a full path of MAX_PATH - 1 characters even when each takes two bytes in the ANSI code
// page, and its NUL. A value that fills it was cut.
constexpr DWORD ValueBufferChars = 2 * MAX_PATH;
constexpr size_t NameFieldChars = 128;   // section and key names longer than 127 characters are cut
constexpr wchar_t TempFilePrefix[] = L"Lmv";   // the save's temporary file: LmvXXXX.tmp beside the settings file
constexpr wchar_t ProbeFilePrefix[] = L"Lmp";  // the writability probe, removed at once
constexpr wchar_t PerUserFolderName[] = L"Lumivane";

// Copies `text` and its NUL into a fixed field, cutting what does not fit.
std::vector<char> nameField(const std::string& text) {
    std::vector<char> field(NameFieldChars, '\0');
    const size_t length = text.size() < NameFieldChars - 1 ? text.size() : NameFieldChars - 1;
    std::memcpy(field.data(), text.data(), length);
    return field;
}

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

// The path as the ANSI profile functions can open it: as it stands where the code page spells it,
// else in its short form where that is spelled; empty where neither is.
std::string ansiPath(const std::wstring& path) {
    bool lossless = true;
    const std::string ansi = toAnsi(path, &lossless);
    if (lossless) return ansi;
    const std::string shortAnsi = toAnsi(shortPathOf(path), &lossless);
    return lossless ? shortAnsi : std::string();
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

// Writes the values into the file and reads them back from the disk, not from the profile
// functions' cache. The profile reader drops the blanks around a value.
bool writeAndReadBack(const std::vector<StoredValue>& values, const std::string& file) {
    for (const StoredValue& value : values) {
        if (!writeIniValue(IniSection, value.key, value.text, file)) return false;
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());
    for (const StoredValue& value : values) {
        if (readIniValue(IniSection, value.key, file) != trimBlanks(value.text)) return false;
    }
    return true;
}
}  // namespace

// Reads one value into a NUL-filled buffer; everything up to the first NUL is the value, and a
// value that fills the buffer was cut and is no value at all.
std::string readIniValue(const std::string& section, const std::string& key, const std::string& file) {
    std::vector<char> buffer(ValueBufferChars, '\0');
    const DWORD length =
        GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer.data(), ValueBufferChars, file.c_str());
    if (length >= ValueBufferChars - 1) return {};
    buffer[ValueBufferChars - 1] = '\0';
    return std::string(buffer.data());
}

// Writes one value; the profile function creates the file, section and key as needed.
bool writeIniValue(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& file) {
    const std::vector<char> sectionField = nameField(section);
    const std::vector<char> keyField = nameField(key);
    return WritePrivateProfileStringA(sectionField.data(), keyField.data(), value.c_str(), file.c_str()) != FALSE;
}

// Loads the settings of one file into `settings` by the load rule.
void loadSettingsFile(ShellSettings& settings, const std::string& file) {
    StoredTexts stored{readIniValue(IniSection, IniKeySource, file), readIniValue(IniSection, IniKeyRepeat, file),
                       readIniValue(IniSection, IniKeyFile, file), readIniValue(IniSection, IniKeyScreens, file),
                       readIniValue(IniSection, IniKeyFrameRate, file), readIniValue(IniSection, IniKeyBatterySaver, file)};
    for (int32_t k = 0; k < SceneKnobCount; ++k) stored.scene[k] = readIniValue(IniSection, SceneKnobs[k].key, file);
    applyStoredSettings(settings, stored, fileExists);
}

// The profile functions report success for writes that never reached the disk (a full disk cuts
// the file they rewrite), so the keys go into a copy that is read back before it replaces the file.
bool saveSettingsFile(const ShellSettings& settings, const std::wstring& file, SavedKeys keys) {
    const std::wstring folder = folderOf(file);
    createFolder(folder);  // the per-user folder, on the first save
    const std::wstring temp = newFileIn(folder, TempFilePrefix);
    if (temp.empty()) return false;
    // Starting from the old file keeps its other sections and keys.
    bool saved = copyFileOver(storedFile(file), temp) || GetLastError() == ERROR_FILE_NOT_FOUND;
    const std::string profile = ansiPath(temp);
    saved = saved && !profile.empty() && writeAndReadBack(storedValues(settings, keys), profile);
    saved = saved && replaceFile(temp, file);
    if (!saved) deleteFile(temp);
    return saved;
}

// A file that no ANSI path reaches loads as a missing one: the settings keep their defaults.
void loadSettings(ShellSettings& settings) {
    const std::string file = ansiPath(storedFile(settingsFilePath()));
    if (!file.empty()) loadSettingsFile(settings, file);
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
