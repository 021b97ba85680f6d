// OpenGL on an X window through GLX.
#include "renderer/linux/glx_surface.h"

#include <cstdio>

#include "renderer/draw/extension_list.h"

namespace {
// Swap interval asked for where the driver offers it (display refreshes per present).
constexpr int PresentEveryRefresh = 1;

using SwapIntervalExt = void (*)(Display*, GLXDrawable, int);
using SwapIntervalMesa = int (*)(unsigned);

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

// Swaps the window's buffers.
void GlxSurface::present() { glXSwapBuffers(display, window); }

// A person reads it on the terminal or in XScreenSaver's log.
void GlxSurface::report(const char* line) { std::fprintf(stderr, "lumivane: %s\n", line); }

// At least one bit per colour asks for the deepest colours the server offers.
XVisualInfo* chooseGlxVisual(Display* display, int screen) {
    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 1, GLX_GREEN_SIZE, 1, GLX_BLUE_SIZE, 1, None};
    return glXChooseVisual(display, screen, attributes);
}

// A window made by XScreenSaver carries the visual it chose for OpenGL; the context must match it.
bool GlxSurface::setUp() {
    XVisualInfo* visual = windowVisual(display, window);
    if (visual == nullptr) {
        failure_ = "the window's visual is unknown";
        return false;
    }
    int usesGl = 0;
    glXGetConfig(display, visual, GLX_USE_GL, &usesGl);
    context = usesGl ? glXCreateContext(display, visual, nullptr, True) : nullptr;
    XFree(visual);
    if (context == nullptr || !glXMakeCurrent(display, window, context)) {
        tearDown();
        failure_ = "no OpenGL context on the window's visual";
        return false;
    }
    swapControl = askForSwapInterval(display, window);
    return true;
}

// The context is released from the thread before it is deleted.
void GlxSurface::tearDown() {
    if (context != nullptr) {
        glXMakeCurrent(display, None, nullptr);
        glXDestroyContext(display, context);
        context = nullptr;
    }
}
