// The saver window: its class name, titles and window procedure.
#pragma once

#include <windows.h>

// Class of the saver window, looked for by the single-instance check.
extern const char* const SaverClassName;
// Title from creation until the scene is set up; a window with it is a renderer starting up.
extern const char* const SaverCreationTitle;
// Title once the scene is set up; the shell watches for it.
extern const char* const SaverRunningTitle;

// Instance handle of the program, used for the window class and the window.
extern HINSTANCE programInstance;

// Window procedure of the saver class: the class procedure, then the lifecycle and input handlers.
LRESULT CALLBACK saverClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
