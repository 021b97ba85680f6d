// The self-drawn push button "Glimra.Command" as a Win32 window class.
// Caption: SetWindowTextW; font: WM_SETFONT. A click sends WM_COMMAND (id, BN_CLICKED) to the parent.
#pragma once

#include <windows.h>

// The six state pictures, loaded by the window that holds the buttons and freed when it closes.
struct CommandPictures {
    HBITMAP pictures[6] = {};
};
// Loads the pictures from the program's resources; false when one is missing.
bool loadCommandPictures(HINSTANCE instance, CommandPictures& pictures);
void freeCommandPictures(CommandPictures& pictures);

// Registers the window class once; true when it exists afterwards.
bool registerCommandClass(HINSTANCE instance);

// Makes a button child window with the given caption, place and font, painted from `pictures`,
// which must outlive it.
HWND createCommand(HWND parent, int id, const wchar_t* caption, const RECT& place, HFONT font,
                   const CommandPictures& pictures);

// Visual state 1 and hover polling every 100 ms; until then the button shows no hover looks.
void startCommandHover(HWND button);
void setCommandEnabled(HWND button, bool enabled);
