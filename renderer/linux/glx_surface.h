// OpenGL on an X window through GLX: the context on the window's own visual, the swap interval
// and the present, as the surface the program's scene run draws on.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <GL/glx.h>

#include "renderer/run/scene_run.h"

// What the set-up builds on a window and the frames present with.
class GlxSurface : public RunSurface {
public:
    Display* display = nullptr;  // set by the program before the set-up, with the window
    Window window = 0;
    GLXContext context = nullptr;
    bool swapControl = false;  // the driver offers GLX_EXT_ or GLX_MESA_swap_control and took interval 1

    virtual ~GlxSurface() = default;
    // Sets up OpenGL on the window with the window's own visual: current context and swap interval.
    // False when a step fails; whatever was built is released again.
    bool setUp() override;
    // Deletes the context (the texture goes with it).
    void tearDown() override;
    // The step that failed, for the one set-up failure message.
    const char* failure() const override { return failure_; }
    // Writes the line to stderr, after the program's name.
    void report(const char* line) override;
    // Shows the back buffer.
    void present() override;

private:
    const char* failure_ = "";
};

// A double-buffered RGBA visual for a window the program makes itself, or null; free it with XFree.
XVisualInfo* chooseGlxVisual(Display* display, int screen);
