// OpenGL on a window through WGL: the pixel format, the context, the swap interval and the present,
// as the surface a scene run draws on. The renderer's saver window and the shell's preview use it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "renderer/run/scene_run.h"
#include "renderer/win32/pixel_format.h"

// What the set-up builds on a window and the frames present with.
class WglSurface : public RunSurface {
public:
    HWND window = nullptr;      // set by the host before the set-up
    PixelFormatScore score = scorePixelFormat;
    HDC dc = nullptr;
    HGLRC context = nullptr;
    int pixelFormat = 0;        // pixel-format number set on dc
    bool swapControl = false;   // the driver offers WGL_EXT_swap_control and was asked for interval 1
    uint32_t presentCount = 0;  // presents so far, the swap probe's included

    virtual ~WglSurface() = default;
    // Sets up OpenGL on the window's own device context: pixel format, current context, swap
    // interval. False when a step fails; whatever was built is released again.
    bool setUp() override;
    // Deletes the context (the texture goes with it) and releases the device context.
    void tearDown() override;
    // The step that failed and its error code, for the one set-up failure message.
    const char* failure() const override { return failure_; }
    // Writes the line to the debugger's log.
    void report(const char* line) override;
    // Shows the back buffer.
    void present() override;
    // Asks a driver that waits for the display to show each frame for this many refreshes.
    void presentEvery(int refreshes);

protected:
    // Chooses and sets the best pixel format of the device context; the number set, or 0.
    virtual int setPixelFormat();
    // The context on the device context, or null.
    virtual HGLRC createContext();

private:
    // Notes why the set-up failed, with the system's error code, and releases what was built.
    bool fail(const char* step);

    char failure_[128] = "";
};
