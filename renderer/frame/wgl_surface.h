// OpenGL on the saver window through WGL: the pixel format, the context, the swap interval and
// the present, as a record the renderer (or a test) owns.
#pragma once

#include <windows.h>

#include <cstdint>

#include "renderer/draw/scene_drawing.h"
#include "renderer/frame/pixel_format.h"

// What the set-up builds on a window and the frames present with.
struct WglSurface : Presenter {
    HDC dc = nullptr;
    HGLRC context = nullptr;
    int pixelFormat = 0;        // pixel-format number set on dc
    bool twoPassSwap = false;   // a swap leaves the back buffer without the frame just drawn
    bool swapControl = false;   // the driver offers WGL_EXT_swap_control and was asked for interval 1
    uint32_t presentCount = 0;  // presents so far, the swap probe's included

    // Shows the back buffer.
    void present() override;
};

// Sets up OpenGL on the window's own device context: pixel format (depth buffer as preferred),
// current context, swap interval. False when a step fails; what failed is in the debug log, and
// whatever was built is released again.
bool setUpWglSurface(WglSurface& surface, HWND window, DepthPreference depth);
// Deletes the context (the texture and list go with it) and releases the device context.
void tearDownWglSurface(WglSurface& surface, HWND window);
// Writes one line to the debugger's log (OutputDebugString), with the running program's file name in front.
void logRendererMessage(const char* text);
