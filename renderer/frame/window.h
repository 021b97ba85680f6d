// The saver window: its class, its procedure and its creation.
#pragma once

#include <windows.h>

struct Renderer;

// Window procedure of the saver class: the class procedure, then the lifecycle and input handlers.
// The window's creation parameter is the program's Renderer record, which the procedure keeps.
LRESULT CALLBACK saverClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Registers the saver class (once per process) and opens the full-screen, top-most saver window
// for the record, which sets the scene up; null when the class or the window cannot be made.
HWND createSaverWindow(Renderer& renderer);
