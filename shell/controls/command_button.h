// The self-drawn push button "Glimra.Command" as a Win32 window class.
// Caption: SetWindowTextW; Font: WM_SETFONT. A click sends WM_COMMAND (id, BN_CLICKED) to the parent.
#pragma once

#include <windows.h>

#include <cstdint>

// Registers the window class and loads the state pictures; safe to call more than once.
bool registerCommandClass(HINSTANCE instance);

// Makes a button child window with the given caption, place and font.
HWND createCommand(HWND parent, int id, const wchar_t* caption, int x, int y, int width, int height,
                   HFONT font);

// Visual state 1 and hover polling every 100 ms.
void Command_Initialize(HWND button);
void Command_SetEnabled(HWND button, bool enabled);
bool Command_GetEnabled(HWND button);
// Non-zero: opaque face and frame; 0: only the caption shows.
void Command_SetVisible(HWND button, uint8_t visible);
uint8_t Command_GetVisible(HWND button);
void Command_SetFontColour(HWND button, COLORREF colour);
COLORREF Command_GetFontColour(HWND button);

// Has the parent paint what lies under a child that shows it through: its erase handler draws it.
void paintParentBackground(HWND child, HDC dc);
