// What the shell's window classes share: registering a class once, and reading a window's text.
#pragma once

#include <windows.h>

#include <string>

// Registers a class with the arrow pointer unless it exists already; true when it exists afterwards.
// `big` and `small` icons may be null; a class registered here owns nothing that must be freed.
bool registerClassOnce(HINSTANCE instance, const wchar_t* name, WNDPROC procedure, UINT style = 0,
                       HBRUSH background = nullptr, HICON big = nullptr, HICON small = nullptr);

// The window's whole text.
std::wstring windowText(HWND window);
