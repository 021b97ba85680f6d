// What the shell's window classes share: registering a class once.
#pragma once

#include <windows.h>

// Registers a class with the arrow pointer unless it exists already; true when it exists afterwards.
// `big` and `small` icons may be null; a class registered here owns nothing that must be freed.
bool registerClassOnce(HINSTANCE instance, const wchar_t* name, WNDPROC procedure, UINT style = 0,
                       HBRUSH background = nullptr, HICON big = nullptr, HICON small = nullptr);
