// The saver window's procedure.
#pragma once

#include <windows.h>

// Window procedure of the saver class: the class procedure, then the lifecycle and input handlers.
// The window's creation parameter is the program's Renderer record, which the procedure keeps.
LRESULT CALLBACK saverClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
