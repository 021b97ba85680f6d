// The preview window Glimra_R ("Preview Window") inside the host window that Windows names.
// Runs until the preview window is gone; the caller then ends the process.
#pragma once
#include <windows.h>

void runPreview(HINSTANCE instance, HWND host);
