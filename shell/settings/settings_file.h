// The settings file Lumivane.ini beside the program, read and written through the ANSI profile functions.
#pragma once

#include <string>

#include "shell/settings/settings.h"

// One value of the settings file; empty when the file, section or key is missing. At most 255 characters.
std::string readIniValue(const std::string& section, const std::string& key, const std::string& file);

// Writes one value (creating file, section and key as needed); false when the profile function failed.
bool writeIniValue(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& file);

// Loads the three settings of the given file into `settings` by the load rule.
void loadSettingsFile(ShellSettings& settings, const std::string& file);

// Loads the settings from settingsFilePath().
void loadSettings(ShellSettings& settings);

// True when the file (one trailing backslash ignored) can be opened for reading.
bool fileExists(const std::string& path);

// The shell's own folder, without a trailing backslash; in the ANSI code page for the profile functions.
std::wstring programFolderW();
std::string programFolder();

// Text in the system's ANSI code page, as the settings file holds it, and back.
std::wstring fromAnsi(const std::string& text);
std::string toAnsi(const std::wstring& text, bool* lossless = nullptr);

// The settings file beside the program.
std::string settingsFilePath();
