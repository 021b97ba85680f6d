// The settings file Lumivane.ini, read and written through the ANSI profile functions, and where it lives.
#pragma once

#include <string>

#include "shell/settings/settings.h"

// One value of the settings file; empty when the file, section or key is missing, and when the
// value is too long to arrive whole (a cut path must never name another file).
std::string readIniValue(const std::string& section, const std::string& key, const std::string& file);

// Writes one value (creating file, section and key as needed); false when the profile function failed.
bool writeIniValue(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& file);

// Loads the settings of the given file into `settings` by the load rule.
void loadSettingsFile(ShellSettings& settings, const std::string& file);

// Which keys a save writes: the settings dialog's six, or the Scene dialog's eight.
enum class SavedKeys { Dialog, Scene };

// Writes one group of settings into the file (its folder is made if missing), leaving every other
// key as it was: into a temporary copy beside it that is read back, then put in its place (replaceFile).
// False on any failure, and the file is then as it was and no temporary file is left.
bool saveSettingsFile(const ShellSettings& settings, const std::wstring& file, SavedKeys keys = SavedKeys::Dialog);

// Loads the settings from settingsFilePath(), or from the backup of a save that was cut short
// between the old file's stepping aside and the new one's arrival.
void loadSettings(ShellSettings& settings);

// True when the file (one trailing backslash ignored) can be opened for reading; the path in the
// system's ANSI code page, as the stored music file is.
bool fileExists(const std::string& path);

// The settings file: beside the program, or %APPDATA%\Lumivane\Lumivane.ini for a copy in a
// system folder or in a folder the user cannot write.
std::wstring settingsFilePath();
