// The shell's windows, messages and texts on screen through the wide functions on the NT family and
// the ANSI ones on the 9x family (ansiCalls()). The wide functions are looked up at run time, so that
// the program imports only functions that the 9x family carries out. Texts stay Unicode here; class
// names and titles are plain ASCII, whatever the family.
#pragma once

#include <windows.h>

#include <string>

// Registers a window class; its names are read as wide text. False when refused.
bool registerWindowClass(const WNDCLASSEXW& windowClass);

// True when the module has registered a class of this name.
bool windowClassExists(HINSTANCE instance, const wchar_t* name);

// CreateWindowEx with wide class name and text.
HWND createWindow(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style, int x, int y, int width,
                  int height, HWND parent, HMENU menu, HINSTANCE instance, void* parameter);

// What the system does with a message a window leaves alone; every window the shell registers ends in it.
LRESULT defaultWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// A top-level window with this title, of any class.
HWND findTopWindow(const wchar_t* title);

// The message loop's calls: GetMessage (its BOOL, -1 on error), PeekMessage with PM_REMOVE,
// DispatchMessage and IsDialogMessage.
BOOL getMessage(MSG& message);
bool peekMessage(MSG& message);
void dispatchMessage(const MSG& message);
bool isDialogMessage(HWND dialog, MSG& message);

// A modal dialog's own loop step: handles every waiting message, the dialog's keys first, until `closed`
// holds; false once the thread was asked to quit (the request is posted again for the loop outside).
bool handleDialogMessages(HWND dialog, const bool& closed);

// The window's whole text, and a new one.
std::wstring windowText(HWND window);
void setWindowText(HWND window, const std::wstring& text);

// Adds an entry at the end of a combo box's list.
void addListEntry(HWND comboBox, const std::wstring& text);

// DrawText of a whole text into `area`.
void drawText(HDC dc, const std::wstring& text, RECT& area, UINT format);

// A font of the face `face` at `height` (logical units, negative for the character height).
HFONT createFaceFont(int height, BYTE charSet, const wchar_t* face);

// The common open-file dialog: `filter` holds pairs of description and pattern, each ended by a NUL;
// `path` receives the chosen file. False when cancelled or refused.
bool chooseOpenFile(HWND owner, HINSTANCE instance, const std::wstring& filter, const std::wstring& title,
                    unsigned pathChars, std::wstring& path);
