// The settings file beside the program, through the ANSI private-profile functions.
#include "shell/settings/settings_file.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "common/names.h"

namespace {
constexpr DWORD ValueBufferChars = 256;  // a value arrives cut to 255 characters
constexpr size_t NameFieldChars = 128;   // section and key names longer than 127 characters are cut

// Copies `text` and its NUL into a fixed field, cutting what does not fit.
std::vector<char> nameField(const std::string& text) {
    std::vector<char> field(NameFieldChars, '\0');
    const size_t length = text.size() < NameFieldChars - 1 ? text.size() : NameFieldChars - 1;
    std::memcpy(field.data(), text.data(), length);
    return field;
}
}  // namespace

// Reads one value into a NUL-filled buffer; everything up to the first NUL is the value.
std::string readIniValue(const std::string& section, const std::string& key, const std::string& file) {
    char buffer[ValueBufferChars];
    std::memset(buffer, 0, sizeof buffer);
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer, ValueBufferChars, file.c_str());
    buffer[ValueBufferChars - 1] = '\0';
    return std::string(buffer);
}

// Writes one value; the profile function creates the file, section and key as needed.
bool writeIniValue(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& file) {
    const std::vector<char> sectionField = nameField(section);
    const std::vector<char> keyField = nameField(key);
    return WritePrivateProfileStringA(sectionField.data(), keyField.data(), value.c_str(), file.c_str()) != FALSE;
}

// Loads the three settings of one file into `settings` by the load rule.
void loadSettingsFile(ShellSettings& settings, const std::string& file) {
    applyStoredSettings(settings, readIniValue(IniSection, IniKeySource, file),
                        readIniValue(IniSection, IniKeyRepeat, file),
                        readIniValue(IniSection, IniKeyFile, file), fileExists);
}

// Loads the settings from Lumivane.ini beside the program.
void loadSettings(ShellSettings& settings) { loadSettingsFile(settings, settingsFilePath()); }

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
        if (length < path.size()) {
            const std::wstring full(path.data(), length);
            const size_t slash = full.find_last_of(L'\\');
            return slash == std::wstring::npos ? std::wstring() : full.substr(0, slash);
        }
        path.resize(path.size() * 2);
    }
}

std::string programFolder() { return toAnsi(programFolderW()); }

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

// Lumivane.ini in the program's folder.
std::string settingsFilePath() { return programFolder() + "\\" + SettingsFileName; }
