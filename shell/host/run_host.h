// The hidden run host Glimra_S ("Glimra_Main"): starts the renderer and the music, watches the renderer.
#pragma once

#include <windows.h>

#include "shell/settings/settings.h"

// Loads the host (never shown) and runs its message loop; the process ends inside when the run is over.
// `modeLetter` is the command line's mode letter, read again when the host closes.
int runHost(HINSTANCE instance, const ShellSettings& settings, wchar_t modeLetter);
