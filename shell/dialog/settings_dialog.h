// The settings dialog Glimra_P ("<Lumivane>"), shown modally; returns when it has closed.
#pragma once

#include <windows.h>

#include "shell/settings/settings.h"

// Shows the dialog over the given settings; a save writes them to the settings file. With an
// owner (the system's screensaver settings), the dialog is modal to it: the owner is disabled
// while the dialog is open, and the dialog ends unsaved when the owner goes.
void showSettingsDialog(HINSTANCE instance, ShellSettings& settings, HWND owner = nullptr);
