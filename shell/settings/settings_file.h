// The settings file Lumivane.ini, read and written as bytes (its key names are Shift-JIS bytes whatever
// the code page), and where it lives.
#pragma once

#include <string>

#include "shell/settings/settings.h"

// Which keys a save writes: the settings dialog's six, or the Scene dialog's eight.
enum class SavedKeys { Dialog, Scene };

// Writes one group of settings into the file (its folder is made if missing), leaving every other
// key and byte as it was: into a temporary copy beside it that is read back, then put in its place
// (replaceFile). False on any failure, and the file is then as it was and no temporary file is left.
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
