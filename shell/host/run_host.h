// The hidden run host Glimra_S ("Glimra_Main"): starts the renderer and the music, watches the renderer.
#pragma once

#include <windows.h>

#include "shell/settings/settings.h"

// Loads the host (never shown) and runs its message loop; the process ends inside when the run is over.
// Returns only when the renderer could not be started or never showed its window: nothing was
// played and the pointer is shown again, and the caller tells the user.
// `modeLetter` is the command line's mode letter, read again when the host closes.
void runHost(HINSTANCE instance, const ShellSettings& settings, wchar_t modeLetter);
