// The preview window Glimra_R: a borderless child that covers the client area of the window Windows
// hands us, following it as it changes, and plays the renderer's animation in it, drawn here with the renderer's own scene and drawing code.
// Where OpenGL cannot be set up it shows a still of the animation instead, scaled to the host.
#include "shell/host/preview_window.h"

#include <algorithm>
#include <ctime>

#include "common/names.h"
#include "common/window_record.h"
#include "renderer/run/scene_run.h"
#include "renderer/timing/frame_clock.h"
#include "renderer/win32/wgl_surface.h"
#include "shell/host/preview_layout.h"
#include "shell/system/system_text.h"
#include "shell/system/window_calls.h"

namespace {

// Longest sleep between two looks at the host (ms): a host that vanishes without destroying the
// preview (its thread or process ended), or changes its size, is noticed within this time.
constexpr DWORD HostWatchIntervalMs = 250;

// The monitor functions, which Windows 95 and NT 4 lack, are looked up at run time.
using MonitorFromWindowFn = HMONITOR(WINAPI*)(HWND, DWORD);
using GetMonitorInfoAFn = BOOL(WINAPI*)(HMONITOR, MONITORINFO*);

// Everything the preview window keeps.
struct Preview {
    HWND host = nullptr;
    HWND window = nullptr;
    bool destroyed = false;  // the window got WM_DESTROY: the loop ends
    int twipsPerPixelX = 0;  // the screen's, for the sizes the preview holds in twips
    int twipsPerPixelY = 0;

    // The animation: the renderer's scene run on the window's OpenGL surface, drawn at the preview's rate.
    bool animating = false;
    SceneRun run;
    WglSurface* surface = nullptr;
    SceneView view;            // the whole window
    FrameDeadlines deadlines;  // set to the preview's rate when the window is made

    // The still, where OpenGL could not be set up.
    HBITMAP still = nullptr;
    int stillWidth = 0;
    int stillHeight = 0;
    int imageWidth = 0;  // the window's and the picture's size: the host's client area in pixels
    int imageHeight = 0;
};

// The host's client area, as the preview holds sizes: in twips, and in pixels taken back from them.
PreviewSize hostSize(const Preview& preview) {
    RECT client{};
    GetClientRect(preview.host, &client);
    return previewSizeFor(client.right, client.bottom, preview.twipsPerPixelX, preview.twipsPerPixelY);
}

// Starts the scene run on the preview window. False where OpenGL cannot be set up.
bool startAnimation(Preview& preview) {
    RECT client{};
    GetClientRect(preview.window, &client);
    preview.view = SceneView{0, 0, client.right, client.bottom};
    preview.surface->window = preview.window;
    // Seeded from the calendar time, like the renderer: every preview shows another scene.
    preview.animating = startSceneRun(preview.run, *preview.surface, client.right, client.bottom,
                                      static_cast<uint32_t>(std::time(nullptr)));
    return preview.animating;
}

// Frees the scene and the OpenGL objects; safe to call twice, and after the window was destroyed
// behind our back.
void stopAnimation(Preview& preview) {
    preview.animating = false;
    stopSceneRun(preview.run);
}

// Advances the scene by the time since the last frame, draws and presents it.
void drawFrame(Preview& preview) {
    const DWORD now = timeGetTime();
    stepSceneRun(preview.run, now, &preview.view, 1);
    preview.deadlines.frameDrawn(now);
}

// Loads the still; it is shown at the window's size.
void loadStill(Preview& preview, HINSTANCE instance) {
    preview.still = static_cast<HBITMAP>(
        LoadImageA(instance, MAKEINTRESOURCEA(PREVIEW_STILL_ID), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    BITMAP info{};
    if (preview.still && GetObjectA(preview.still, sizeof info, &info)) {
        preview.stillWidth = info.bmWidth;
        preview.stillHeight = info.bmHeight;
    }
}

// Follows the host's client area: the window, the picture and the scene's view take its new size.
// A host without a client area (minimised) keeps the last size until it grows again.
void followHost(Preview& preview) {
    const PreviewSize size = hostSize(preview);
    if (size.widthPixels <= 0 || size.heightPixels <= 0) return;
    if (size.widthPixels == preview.imageWidth && size.heightPixels == preview.imageHeight) return;
    preview.imageWidth = size.widthPixels;
    preview.imageHeight = size.heightPixels;
    preview.view = SceneView{0, 0, size.widthPixels, size.heightPixels};
    MoveWindow(preview.window, 0, 0, size.widthPixels, size.heightPixels, TRUE);
    if (!preview.animating) InvalidateRect(preview.window, nullptr, TRUE);
}

// Draws the still over the whole image area.
void paintStill(const Preview& preview, HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (preview.still) {
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(source, preview.still);
        if (preview.imageWidth == preview.stillWidth && preview.imageHeight == preview.stillHeight) {
            BitBlt(dc, 0, 0, preview.stillWidth, preview.stillHeight, source, 0, 0, SRCCOPY);
        } else {
            SetStretchBltMode(dc, HALFTONE);
            SetBrushOrgEx(dc, 0, 0, nullptr);
            StretchBlt(dc, 0, 0, preview.imageWidth, preview.imageHeight, source, 0, 0,
                       preview.stillWidth, preview.stillHeight, SRCCOPY);
        }
        SelectObject(source, old);
        DeleteDC(source);
    }
    EndPaint(window, &ps);
}

// The preview's window procedure: paint the still (the animation repaints itself with its next
// frame), end with the window.
LRESULT CALLBACK previewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* preview = windowRecord<Preview>(window, message, lParam);
    if (preview == nullptr) return defaultWindowProcedure(window, message, wParam, lParam);
    switch (message) {
    case WM_ERASEBKGND:
        // Erasing under the animation would flash black between frames.
        if (preview->animating) return 1;
        break;
    case WM_PAINT:
        if (preview->animating) {
            ValidateRect(window, nullptr);
        } else {
            paintStill(*preview, window);
        }
        return 0;
    case WM_DESTROY:
        // The context belongs to this window's device context: free it while the window exists.
        stopAnimation(*preview);
        preview->destroyed = true;
        return 0;
    default:
        break;
    }
    return defaultWindowProcedure(window, message, wParam, lParam);
}

// The rate of the display that shows the host: the preview never draws faster than it. Where the
// system knows no monitors, the one display's. The device names are ASCII.
uint32_t hostDisplayRate(HWND host) {
    MONITORINFOEXA monitor{};
    monitor.cbSize = sizeof monitor;
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    auto monitorOf = systemFunction<MonitorFromWindowFn>("user32.dll", "MonitorFromWindow");
    auto monitorInfo = systemFunction<GetMonitorInfoAFn>("user32.dll", "GetMonitorInfoA");
    const bool known = monitorOf && monitorInfo &&
                       monitorInfo(monitorOf(host, MONITOR_DEFAULTTOPRIMARY), reinterpret_cast<MONITORINFO*>(&monitor));
    if (!EnumDisplaySettingsA(known ? monitor.szDevice : nullptr, ENUM_CURRENT_SETTINGS, &mode)) return 0;
    return mode.dmDisplayFrequency;
}

// A handle that becomes signalled when the host window's process ends, or null where it cannot
// be had (the host is ours, or its process refuses us); the caller closes it.
HANDLE openHostProcess(HWND host) {
    DWORD processId = 0;
    GetWindowThreadProcessId(host, &processId);
    if (processId == 0 || processId == GetCurrentProcessId()) return nullptr;
    return OpenProcess(SYNCHRONIZE, FALSE, processId);
}

// Handles every waiting message; false once the thread was asked to quit.
bool handleMessages() {
    MSG msg;
    while (peekMessage(msg)) {
        if (msg.message == WM_QUIT) return false;
        TranslateMessage(&msg);
        dispatchMessage(msg);
    }
    return true;
}

// Sleeps until a message, the next frame, the end of the host's process or the next look at
// the host, and draws the frames that are due, until the preview or its host is gone. When the
// host's process dies without destroying its windows, the system may remove our window with them
// without sending it WM_DESTROY (Wine does), and its timers go with it: so the host is watched from here.
void runPreviewLoop(Preview& preview) {
    HANDLE hostProcess = openHostProcess(preview.host);
    const DWORD handleCount = hostProcess != nullptr ? 1 : 0;
    for (;;) {
        DWORD waitMs = HostWatchIntervalMs;
        if (preview.animating) waitMs = std::min<DWORD>(waitMs, preview.deadlines.msUntilNextFrame(timeGetTime()));
        const DWORD woken = MsgWaitForMultipleObjects(handleCount, &hostProcess, FALSE, waitMs, QS_ALLINPUT);
        if (handleCount != 0 && woken == WAIT_OBJECT_0) break;
        if (!handleMessages() || preview.destroyed) break;
        if (!IsWindow(preview.host) || !IsWindow(preview.window)) break;
        followHost(preview);
        if (preview.animating && preview.deadlines.msUntilNextFrame(timeGetTime()) == 0) drawFrame(preview);
    }
    if (hostProcess != nullptr) CloseHandle(hostProcess);
}

// Creates the preview window, hidden, as a borderless child covering the host's client area; false
// when it cannot be made.
bool createPreviewWindow(Preview& preview, HINSTANCE instance) {
    preview.window = createWindow(0, PreviewClassName, PreviewTitle, WS_POPUP, 0, 0, 0, 0, nullptr,
                                  nullptr, instance, &preview);
    if (!preview.window) return false;
    SetWindowLongA(preview.window, GWL_STYLE, GetWindowLongA(preview.window, GWL_STYLE) | WS_CHILD);
    SetParent(preview.window, preview.host);
    MoveWindow(preview.window, 0, 0, preview.imageWidth, preview.imageHeight, FALSE);
    return true;
}

}  // namespace

// The preview draws on its window's own WGL surface.
void runPreview(HINSTANCE instance, HWND host, const SceneSettings& scene) {
    WglSurface surface;
    runPreviewOn(instance, host, surface, scene);
}

// Plays the preview in the host window on the given surface until the host goes.
void runPreviewOn(HINSTANCE instance, HWND host, WglSurface& surface, const SceneSettings& scene) {
    // A handle that names no window would leave an invisible window nothing ever removes, and
    // the desktop as host a full-screen picture that nothing ever closes.
    if (!host || !IsWindow(host) || host == GetDesktopWindow()) return;
    Preview preview;
    preview.host = host;
    preview.surface = &surface;
    preview.run.scene.settings = withinRanges(scene);

    HDC screen = GetDC(nullptr);
    preview.twipsPerPixelX = twipsPerPixel(GetDeviceCaps(screen, LOGPIXELSX));
    preview.twipsPerPixelY = twipsPerPixel(GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    // Windows' rule: the preview fills the host's whole client area.
    const PreviewSize size = hostSize(preview);
    preview.imageWidth = size.widthPixels;
    preview.imageHeight = size.heightPixels;

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_OWNDC;  // the OpenGL context binds to the window's own device context
    windowClass.lpfnWndProc = previewProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = PreviewClassName;
    registerWindowClass(windowClass);
    if (!createPreviewWindow(preview, instance)) return;

    // OpenGL is set up once the window is the host's child at its final size.
    if (startAnimation(preview)) {
        preview.deadlines.framesPerSecond = previewFrameRate(hostDisplayRate(host));
    } else {
        // A window that took a pixel format may show nothing drawn with GDI (so under Wine): the
        // still gets a fresh window.
        if (preview.surface->pixelFormat != 0) {
            DestroyWindow(preview.window);
            preview.destroyed = false;
            if (!createPreviewWindow(preview, instance)) return;
        }
        loadStill(preview, instance);
    }
    ShowWindow(preview.window, SW_SHOWNA);
    UpdateWindow(preview.window);

    runPreviewLoop(preview);

    if (IsWindow(preview.window)) DestroyWindow(preview.window);
    stopAnimation(preview);
    if (preview.still) DeleteObject(preview.still);
}
