// OpenGL on the saver window through WGL.
#include "renderer/frame/wgl_surface.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "renderer/draw/extension_list.h"
#include "renderer/frame/pixel_format.h"

namespace {
// Fallback pixel-format request (bits).
constexpr BYTE FallbackColourBits = 24;
constexpr BYTE FallbackDepthBits = 24;
// Swap interval asked for where the driver offers it (display refreshes per present).
constexpr int PresentEveryRefresh = 1;
constexpr const char* SwapControlExtension = "WGL_EXT_swap_control";
// Test hook: this environment variable names a set-up step to fail ("pixel-format" or "context"),
// so that tests can see how the programs behave where OpenGL cannot be set up.
constexpr const char* FailureHookVariable = "LUMIVANE_TEST_GL_FAILURE";
constexpr size_t LogLineChars = 256;

using GetExtensionsStringExt = const char*(WINAPI*)();
using GetExtensionsStringArb = const char*(WINAPI*)(HDC);
using SwapIntervalExt = BOOL(WINAPI*)(int);

// True when the test hook asks this step to fail.
bool failureRequested(const char* step) {
    const char* requested = std::getenv(FailureHookVariable);
    return requested != nullptr && std::strcmp(requested, step) == 0;
}

// Logs a failed step with the system's error code.
bool failed(const char* step) {
    char line[LogLineChars];
    std::snprintf(line, sizeof line, "OpenGL set-up failed: %s (error %lu)", step,
                  static_cast<unsigned long>(GetLastError()));
    logRendererMessage(line);
    return false;
}

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

// Lets a driver that does not wait for the display present at the display's pace instead of spinning.
bool askForSwapInterval(HDC dc) {
    if (!hasExtension(wglExtensionList(dc), SwapControlExtension)) return false;
    auto swapInterval = reinterpret_cast<SwapIntervalExt>(
        reinterpret_cast<void*>(wglGetProcAddress("wglSwapIntervalEXT")));
    if (swapInterval == nullptr) return false;
    swapInterval(PresentEveryRefresh);
    return true;
}

// Scores every format the device describes and sets the best, or a requested 24/24 format when
// none passes; the number set, or 0 when none could be set.
int chooseGlPixelFormat(HDC dc, DepthPreference depth) {
    if (failureRequested("pixel-format")) return 0;
    std::vector<PixelFormatCandidate> candidates;
    PIXELFORMATDESCRIPTOR descriptor{};
    for (int n = 1; DescribePixelFormat(dc, n, sizeof(descriptor), &descriptor) != 0; ++n) {
        candidates.push_back({n, static_cast<uint32_t>(descriptor.dwFlags), descriptor.iPixelType,
                              descriptor.cColorBits, descriptor.cDepthBits});
    }
    const int chosen = chooseBestPixelFormat(candidates.data(), static_cast<int>(candidates.size()), depth);
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

// The context on the device context, or null; the test hook can refuse it.
HGLRC createContext(HDC dc) { return failureRequested("context") ? nullptr : wglCreateContext(dc); }
}  // namespace

void WglSurface::present() {
    wglSwapLayerBuffers(dc, WGL_SWAP_MAIN_PLANE);
    ++presentCount;
}

// The shell's preview sets up OpenGL with this code too, so the line names whichever program runs.
void logRendererMessage(const char* text) {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const char* name = path;
    // CharNextA steps over double-byte characters, whose second byte may look like a backslash.
    for (const char* at = path; *at != '\0'; at = CharNextA(at)) {
        if (*at == '\\' || *at == '/') name = at + 1;
    }
    OutputDebugStringA(name);
    OutputDebugStringA(": ");
    OutputDebugStringA(text);
    OutputDebugStringA("\n");
}

// Every step in the fixed order; the first that fails undoes the others.
bool setUpWglSurface(WglSurface& surface, HWND window, DepthPreference depth) {
    surface.dc = GetDC(window);
    if (surface.dc == nullptr) return failed("no device context");
    surface.pixelFormat = chooseGlPixelFormat(surface.dc, depth);
    if (surface.pixelFormat == 0) {
        failed("no pixel format could be set");
        tearDownWglSurface(surface, window);
        return false;
    }
    surface.context = createContext(surface.dc);
    if (surface.context == nullptr || !wglMakeCurrent(surface.dc, surface.context)) {
        failed("no OpenGL context");
        tearDownWglSurface(surface, window);
        return false;
    }
    surface.swapControl = askForSwapInterval(surface.dc);
    return true;
}

// The context is released before the device context it was made current on. The texture and the
// sprite list go with the context.
void tearDownWglSurface(WglSurface& surface, HWND window) {
    if (surface.context != nullptr) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(surface.context);
        surface.context = nullptr;
    }
    if (surface.dc != nullptr) {
        ReleaseDC(window, surface.dc);
        surface.dc = nullptr;
    }
}
