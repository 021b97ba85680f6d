// The 9x family's screensaver password check.
#pragma once

#include <windows.h>

// Nonzero when the window may close: always on the NT family, or when the system's password
// check is missing or accepts; zero when the password was refused. `dialogOpen` is true while
// the system's dialog is on screen.
BOOL verifyPassword(HWND window, bool& dialogOpen);
