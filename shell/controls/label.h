// The label control "Glimra.Label": a text, a framed text or a picture over its parent's
// background, reporting any mouse-button press to the parent.
#pragma once

#include <windows.h>

// Style bits of the label's own.
constexpr DWORD LabelCentre = 0x0001;  // text centred across
constexpr DWORD LabelBorder = 0x0002;  // sunken single-line frame; the text is vertically centred in it
// Message that shows a picture instead of text; wParam: HBITMAP or null. The caller keeps the picture.
constexpr UINT LabelSetPicture = WM_APP + 1;
// WM_COMMAND notification code of a press on the label.
constexpr WORD LabelPressed = 1;

// Registers the window class once; true when it exists afterwards.
bool registerLabelClass(HINSTANCE instance);

// Makes a label child window. A plain label (neither framed nor centred) grows to fit its text.
HWND createLabel(HWND parent, int id, const wchar_t* text, const RECT& place, DWORD labelStyle, HFONT font);

// Has the parent paint what lies under a child that shows it through: its erase handler draws it.
void paintParentBackground(HWND child, HDC dc);
