// The settings file beside the program, through the ANSI private-profile functions.
#include "shell/startup/settings_file.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace {
constexpr DWORD ValueBufferChars = 256;  // a value arrives cut to 255 characters
constexpr size_t NameFieldChars = 128;   // section and key names longer than 127 characters are cut
constexpr char SettingsFileName[] = "\\Lumivane.ini";

// Copies `text` and its NUL into a fixed field, cutting what does not fit.
std::vector<char> nameField(const std::string& text) {
    std::vector<char> field(NameFieldChars, '\0');
    const size_t length = text.size() < NameFieldChars - 1 ? text.size() : NameFieldChars - 1;
    std::memcpy(field.data(), text.data(), length);
    return field;
}
}  // namespace

ShellSettings g_settings;

// Reads one value into a NUL-filled buffer; everything up to the first NUL is the value.
std::string Ini_ReadString(const std::string& section, const std::string& key, const std::string& file) {
    char buffer[ValueBufferChars];
    std::memset(buffer, 0, sizeof buffer);
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer, ValueBufferChars, file.c_str());
    buffer[ValueBufferChars - 1] = '\0';
    return std::string(buffer);
}

// Writes one value; the profile function creates the file, section and key as needed.
bool Ini_WriteString(const std::string& section, const std::string& key, const std::string& value,
                     const std::string& file) {
    const std::vector<char> sectionField = nameField(section);
    const std::vector<char> keyField = nameField(key);
    return WritePrivateProfileStringA(sectionField.data(), keyField.data(), value.c_str(), file.c_str()) != FALSE;
}

// Loads the three settings of one file into `settings` by the load rule.
void loadSettingsFile(ShellSettings& settings, const std::string& file) {
    applyStoredSettings(settings, Ini_ReadString(IniSection, IniKeyKind, file),
                        Ini_ReadString(IniSection, IniKeyRepeat, file),
                        Ini_ReadString(IniSection, IniKeyFile, file), File_Exists);
}

// Loads the process-wide settings from Lumivane.ini beside the program.
void Ini_LoadSettings() { loadSettingsFile(g_settings, settingsFilePath()); }

// Opens the file for reading and closes it at once; folders, locked and missing files fail the open.
bool File_Exists(const std::string& path) {
    const std::string target = fileTestPath(path);
    if (target.empty()) return false;
    HANDLE file = CreateFileA(target.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

// The folder of this program's own file, in the ANSI code page.
std::string programFolder() {
    std::vector<char> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return std::string();
        if (length < path.size()) {
            std::string full(path.data(), length);
            const size_t slash = full.find_last_of('\\');
            return slash == std::string::npos ? std::string() : full.substr(0, slash);
        }
        path.resize(path.size() * 2);
    }
}

// Lumivane.ini in the program's folder.
std::string settingsFilePath() { return programFolder() + SettingsFileName; }
