// The settings file Lumivane.ini beside the program, read and written through the ANSI profile functions.
#pragma once

#include <string>

#include "shell/startup/settings.h"

// The process-wide settings, loaded once at start (every mode but the preview).
extern ShellSettings g_settings;

// One value of the settings file; empty when the file, section or key is missing. At most 255 characters.
std::string Ini_ReadString(const std::string& section, const std::string& key, const std::string& file);

// Writes one value (creating file, section and key as needed); false when the profile function failed.
bool Ini_WriteString(const std::string& section, const std::string& key, const std::string& value,
                     const std::string& file);

// Loads g_settings from settingsFilePath().
void Ini_LoadSettings();

// Loads the three settings of the given file into `settings` (the rule Ini_LoadSettings applies).
void loadSettingsFile(ShellSettings& settings, const std::string& file);

// True when the file (one trailing backslash ignored) can be opened for reading.
bool File_Exists(const std::string& path);

// The shell's own folder in the ANSI code page, without a trailing backslash.
std::string programFolder();

// programFolder() + "\\Lumivane.ini".
std::string settingsFilePath();
