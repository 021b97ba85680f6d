// The settings file, through the ANSI private-profile functions, and where it lives.
#include "shell/settings/settings_file.h"

#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <vector>

#include "common/names.h"
#include "shell/settings/number_text.h"
#include "shell/settings/settings_location.h"

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
    wchar_t probe[MAX_PATH];
    if (folder.empty() || GetTempFileNameW(folder.c_str(), ProbeFilePrefix, 0, probe) == 0) return false;
    const DWORD attributes = GetFileAttributesW(probe);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
    DeleteFileW(probe);
    return true;
}

// The system folders of this Windows: System32 and, on 64-bit Windows, SysWOW64.
std::vector<std::wstring> systemFolders() {
    std::vector<std::wstring> folders;
    wchar_t path[MAX_PATH];
    UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) folders.emplace_back(path, length);
    length = GetSystemWow64DirectoryW(path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) folders.emplace_back(path, length);
    return folders;
}

// %APPDATA%\Lumivane; empty when the system names no application-data folder.
std::wstring perUserFolder() {
    wchar_t path[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return std::wstring(path) + L"\\" + PerUserFolderName;
}

// The four values as a save writes them, in the order it writes them.
struct StoredValue {
    const char* key;
    std::string text;
};
std::vector<StoredValue> storedValues(const ShellSettings& settings) {
    return {{IniKeySource, formatSettingNumber(settings.musicSource)},
            {IniKeyRepeat, formatSettingNumber(settings.repeatTrack)},
            {IniKeyFile, settings.musicFile},
            {IniKeyScreens, formatSettingNumber(settings.screens)}};
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

// Loads the four settings of one file into `settings` by the load rule.
void loadSettingsFile(ShellSettings& settings, const std::string& file) {
    const StoredTexts stored{readIniValue(IniSection, IniKeySource, file), readIniValue(IniSection, IniKeyRepeat, file),
                             readIniValue(IniSection, IniKeyFile, file), readIniValue(IniSection, IniKeyScreens, file)};
    applyStoredSettings(settings, stored, fileExists);
}

// The profile functions report success for writes that never reached the disk (a full disk cuts
// the file they rewrite), so the keys go into a copy that is read back before it replaces the file.
bool saveSettingsFile(const ShellSettings& settings, const std::wstring& file) {
    const std::wstring folder = folderOf(file);
    CreateDirectoryW(folder.c_str(), nullptr);  // the per-user folder, on the first save
    wchar_t temp[MAX_PATH];
    if (GetTempFileNameW(folder.c_str(), TempFilePrefix, 0, temp) == 0) return false;
    // Starting from the old file keeps its other sections and keys.
    bool saved = CopyFileW(file.c_str(), temp, FALSE) || GetLastError() == ERROR_FILE_NOT_FOUND;
    saved = saved && writeAndReadBack(storedValues(settings), toAnsi(temp));
    saved = saved && MoveFileExW(temp, file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!saved) DeleteFileW(temp);
    return saved;
}

// Loads the settings from settingsFilePath().
void loadSettings(ShellSettings& settings) { loadSettingsFile(settings, toAnsi(settingsFilePath())); }

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

// The folder of this program's own file; the buffer grows until the whole path fits.
std::wstring programFolderW() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return std::wstring();
        if (length < path.size()) return folderOf(std::wstring(path.data(), length));
        path.resize(path.size() * 2);
    }
}

std::wstring fromAnsi(const std::string& text) {
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
    return out;
}

// Characters the code page lacks become its default character, and `lossless` says so.
std::string toAnsi(const std::wstring& text, bool* lossless) {
    if (lossless) *lossless = true;
    if (text.empty()) return {};
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                      &usedDefault);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) {
        WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr,
                            &usedDefault);
    }
    if (lossless) *lossless = n > 0 && !usedDefault;
    return out;
}

// Beside the program for a portable copy; in %APPDATA%\Lumivane for one in a system folder or
// in a folder the user cannot write.
std::wstring settingsFilePath() {
    SettingsFolderFacts facts;
    facts.programFolder = programFolderW();
    facts.programFolderWritable = folderWritable(facts.programFolder);
    facts.systemFolders = systemFolders();
    facts.perUserFolder = perUserFolder();
    return settingsFolder(facts) + L"\\" + SettingsFileName;
}
