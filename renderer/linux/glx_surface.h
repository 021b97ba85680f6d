// OpenGL on an X window through GLX: the context on the window's own visual, the swap interval
// and the present, as a record the program (or a test) owns.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <GL/glx.h>

#include "renderer/draw/scene_drawing.h"

// What the set-up builds on a window and the frames present with.
struct GlxSurface : Presenter {
    Display* display = nullptr;
    Window window = 0;
    GLXContext context = nullptr;
    bool twoPassSwap = false;  // a swap leaves the back buffer without the frame just drawn
    bool swapControl = false;  // the driver offers GLX_EXT_ or GLX_MESA_swap_control and took interval 1

    // Shows the back buffer.
    void present() override;
};

// A double-buffered RGBA visual for a window the program makes itself, or null; free it with XFree.
XVisualInfo* chooseGlxVisual(Display* display, int screen);
// Sets up OpenGL on the window with the window's own visual: current context and swap interval.
// False when a step fails; the reason goes to stderr, and whatever was built is released again.
bool setUpGlxSurface(GlxSurface& surface, Display* display, Window window);
// Deletes the context (the texture and list go with it).
void tearDownGlxSurface(GlxSurface& surface);
