// OpenGL on a window through WGL.
#include "renderer/win32/wgl_surface.h"

#include <GL/gl.h>

#include <cstdio>
#include <vector>

#include "renderer/draw/extension_list.h"
#include "renderer/win32/debug_log.h"
#include "renderer/win32/pixel_format.h"

namespace {
// Fallback pixel-format request (bits).
constexpr BYTE FallbackColourBits = 24;
constexpr BYTE FallbackDepthBits = 24;
// Swap interval asked for where the driver offers it (display refreshes per present).
constexpr int PresentEveryRefresh = 1;
constexpr const char* SwapControlExtension = "WGL_EXT_swap_control";

using GetExtensionsStringExt = const char*(WINAPI*)();
using GetExtensionsStringArb = const char*(WINAPI*)(HDC);
using SwapIntervalExt = BOOL(WINAPI*)(int);

// The WGL extension list through whichever query the driver provides, else the GL list.
const char* wglExtensionList(HDC dc) {
    if (auto arb = reinterpret_cast<GetExtensionsStringArb>(
            reinterpret_cast<void*>(wglGetProcAddress("wglGetExtensionsStringARB")))) {
        if (const char* list = arb(dc)) return list;
    }
    if (auto ext = reinterpret_cast<GetExtensionsStringExt>(
            reinterpret_cast<void*>(wglGetProcAddress("wglGetExtensionsStringEXT")))) {
        if (const char* list = ext()) return list;
    }
    return reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
}

// The driver's swap-interval function, or null where it offers none.
SwapIntervalExt swapIntervalFunction(HDC dc) {
    if (!hasExtension(wglExtensionList(dc), SwapControlExtension)) return nullptr;
    return reinterpret_cast<SwapIntervalExt>(reinterpret_cast<void*>(wglGetProcAddress("wglSwapIntervalEXT")));
}

// Lets a driver that does not wait for the display present at the display's pace instead of spinning.
bool askForSwapInterval(HDC dc) {
    const SwapIntervalExt swapInterval = swapIntervalFunction(dc);
    if (swapInterval == nullptr) return false;
    swapInterval(PresentEveryRefresh);
    return true;
}

}  // namespace

// Scores every format the device describes and sets the best, or a requested 24/24 format when
// none passes.
int WglSurface::setPixelFormat() {
    std::vector<PixelFormatCandidate> candidates;
    PIXELFORMATDESCRIPTOR descriptor{};
    for (int n = 1; DescribePixelFormat(dc, n, sizeof(descriptor), &descriptor) != 0; ++n) {
        candidates.push_back({n, static_cast<uint32_t>(descriptor.dwFlags), descriptor.iPixelType,
                              descriptor.cColorBits, descriptor.cDepthBits});
    }
    const int chosen = chooseBestPixelFormat(candidates.data(), static_cast<int>(candidates.size()), score);
    if (chosen != 0) {
        DescribePixelFormat(dc, chosen, sizeof(descriptor), &descriptor);
        return SetPixelFormat(dc, chosen, &descriptor) ? chosen : 0;
    }
    PIXELFORMATDESCRIPTOR request{};
    request.nSize = sizeof(request);
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = FallbackColourBits;
    request.cDepthBits = FallbackDepthBits;
    const int requested = ChoosePixelFormat(dc, &request);
    return requested != 0 && SetPixelFormat(dc, requested, &request) ? requested : 0;
}

// The driver's own context for the chosen format.
HGLRC WglSurface::createContext() { return wglCreateContext(dc); }

// Keeps the failed step and the system's error code, and undoes what set-up had done.
bool WglSurface::fail(const char* step) {
    std::snprintf(failure_, sizeof failure_, "%s (error %lu)", step, static_cast<unsigned long>(GetLastError()));
    tearDown();
    return false;
}

// Writes a line of the run's report to the debug log.
void WglSurface::report(const char* line) { logRendererMessage(line); }

// The main plane is the only one drawn.
void WglSurface::present() {
    wglSwapLayerBuffers(dc, WGL_SWAP_MAIN_PLANE);
    ++presentCount;
}

// Every step in the fixed order; the first that fails undoes the others.
bool WglSurface::setUp() {
    failure_[0] = '\0';
    // The pixel-format functions of gdi32 load opengl32 by its bare name, which Windows looks for in the
    // program's folder first. A first call into it loads it from the system folder (it loads late), and
    // then that copy is the one they find.
    wglGetCurrentContext();
    dc = GetDC(window);
    if (dc == nullptr) return fail("no device context");
    pixelFormat = setPixelFormat();
    if (pixelFormat == 0) return fail("no pixel format could be set");
    context = createContext();
    if (context == nullptr || !wglMakeCurrent(dc, context)) return fail("no OpenGL context");
    swapControl = askForSwapInterval(dc);
    return true;
}

// Only where the set-up found swap control, with the context current as it stays while frames are drawn.
void WglSurface::presentEvery(int refreshes) {
    if (!swapControl || context == nullptr) return;
    const SwapIntervalExt swapInterval = swapIntervalFunction(dc);
    if (swapInterval != nullptr) swapInterval(refreshes > 1 ? refreshes : PresentEveryRefresh);
}

// The context is released before the device context it was made current on. The texture and the
// sprite list go with the context.
void WglSurface::tearDown() {
    if (context != nullptr) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(context);
        context = nullptr;
    }
    if (dc != nullptr) {
        ReleaseDC(window, dc);
        dc = nullptr;
    }
}
