// OpenGL on an X window through GLX.
#include "renderer/linux/glx_surface.h"

#include <cstdio>

#include "renderer/draw/extension_list.h"

namespace {
// Swap interval asked for where the driver offers it (display refreshes per present).
constexpr int PresentEveryRefresh = 1;

using SwapIntervalExt = void (*)(Display*, GLXDrawable, int);
using SwapIntervalMesa = int (*)(unsigned);

// Reports a failed step on stderr.
bool failed(const char* step) {
    std::fprintf(stderr, "lumivane: OpenGL set-up failed: %s\n", step);
    return false;
}

// The visual a window was made with, as GLX describes visuals; null when X does not know it.
XVisualInfo* windowVisual(Display* display, Window window) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes)) return nullptr;
    XVisualInfo request{};
    request.visualid = XVisualIDFromVisual(attributes.visual);
    int count = 0;
    return XGetVisualInfo(display, VisualIDMask, &request, &count);
}

// Lets a driver that does not wait for the display present at the display's pace; either
// extension will do, the EXT one first since it names the drawable.
bool askForSwapInterval(Display* display, Window window) {
    const char* list = glXQueryExtensionsString(display, DefaultScreen(display));
    if (hasExtension(list, "GLX_EXT_swap_control")) {
        if (auto swapInterval = reinterpret_cast<SwapIntervalExt>(
                glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalEXT")))) {
            swapInterval(display, window, PresentEveryRefresh);
            return true;
        }
    }
    if (hasExtension(list, "GLX_MESA_swap_control")) {
        if (auto swapInterval = reinterpret_cast<SwapIntervalMesa>(
                glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalMESA")))) {
            return swapInterval(PresentEveryRefresh) == 0;
        }
    }
    return false;
}
}  // namespace

void GlxSurface::present() { glXSwapBuffers(display, window); }

XVisualInfo* chooseGlxVisual(Display* display, int screen) {
    // At least one bit per colour asks for the deepest colours the server offers.
    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 1, GLX_GREEN_SIZE, 1, GLX_BLUE_SIZE, 1, None};
    return glXChooseVisual(display, screen, attributes);
}

// A window made by XScreenSaver carries the visual it chose for OpenGL; the context must match it.
bool setUpGlxSurface(GlxSurface& surface, Display* display, Window window) {
    surface.display = display;
    surface.window = window;
    XVisualInfo* visual = windowVisual(display, window);
    if (visual == nullptr) return failed("the window's visual is unknown");
    int usesGl = 0;
    glXGetConfig(display, visual, GLX_USE_GL, &usesGl);
    surface.context = usesGl ? glXCreateContext(display, visual, nullptr, True) : nullptr;
    XFree(visual);
    if (surface.context == nullptr || !glXMakeCurrent(display, window, surface.context)) {
        tearDownGlxSurface(surface);
        return failed("no OpenGL context on the window's visual");
    }
    surface.swapControl = askForSwapInterval(display, window);
    return true;
}

// The context is released from the thread before it is deleted.
void tearDownGlxSurface(GlxSurface& surface) {
    if (surface.context != nullptr) {
        glXMakeCurrent(surface.display, None, nullptr);
        glXDestroyContext(surface.display, surface.context);
        surface.context = nullptr;
    }
}
