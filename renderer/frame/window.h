// The saver window: its class, its procedure and its creation.
#pragma once

#include <windows.h>

struct Renderer;

// Window procedure of the saver class: the class procedure, then the lifecycle and input handlers.
// The window's creation parameter is the program's Renderer record, which the procedure keeps.
LRESULT CALLBACK saverClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The record's window over every monitor and its views, for the screens the command line asks for.
void layOutSaverWindow(Renderer& renderer, const char* commandLine);
// Registers the saver class (once per process) and opens the top-most saver window where the
// record's layout places it (a record without one covers every monitor), which sets the scene up;
// null when the class or the window cannot be made.
HWND createSaverWindow(Renderer& renderer);
