// The settings dialog Glimra_P ("<Lumivane>"), shown modally; returns when it has closed.
#pragma once

#include <windows.h>

#include "shell/settings/settings.h"

// Shows the dialog over the given settings; a save writes them to the settings file.
void showSettingsDialog(HINSTANCE instance, ShellSettings& settings);
