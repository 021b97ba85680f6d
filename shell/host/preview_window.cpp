// The preview: the scene's picture (Glimra_R, shell/host/scene_picture.h) as a borderless child that
// covers the client area of the window Windows hands us, following it as it changes, playing the
// renderer's animation or, where OpenGL cannot be set up, its still scaled to the host; and the loop
// that draws it until the host goes.
#include "shell/host/preview_window.h"

#include <algorithm>
#include <ctime>

#include "common/names.h"
#include "renderer/win32/power_source.h"
#include "renderer/win32/wgl_surface.h"
#include "shell/host/preview_layout.h"
#include "shell/host/scene_picture.h"
#include "shell/system/system_text.h"
#include "shell/system/window_calls.h"

namespace {

// Longest sleep between two looks at the host (ms): a host that vanishes without destroying the
// preview (its thread or process ended), or changes its size, is noticed within this time.
constexpr DWORD HostWatchIntervalMs = 250;

// The monitor functions, which Windows 95 and NT 4 lack, are looked up at run time.
using MonitorFromWindowFn = HMONITOR(WINAPI*)(HWND, DWORD);
using GetMonitorInfoAFn = BOOL(WINAPI*)(HMONITOR, MONITORINFO*);

// Everything the preview keeps: its host, the screen's twips per pixel, and the picture that covers it.
struct Preview {
    HWND host = nullptr;
    int twipsPerPixelX = 0;  // the screen's, for the sizes the preview holds in twips
    int twipsPerPixelY = 0;
    ScenePicture picture;
};

// The host's client area, as the preview holds sizes: in twips, and in pixels taken back from them.
PreviewSize hostSize(const Preview& preview) {
    RECT client{};
    GetClientRect(preview.host, &client);
    return previewSizeFor(client.right, client.bottom, preview.twipsPerPixelX, preview.twipsPerPixelY);
}

// Follows the host's client area; a host without one (minimised) keeps the last size until it grows again.
void followHost(Preview& preview) {
    const PreviewSize size = hostSize(preview);
    if (size.widthPixels <= 0 || size.heightPixels <= 0) return;
    resizeScenePicture(preview.picture, size.widthPixels, size.heightPixels);
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
        const DWORD waitMs = std::min<DWORD>(HostWatchIntervalMs, msUntilNextPicture(preview.picture, timeGetTime()));
        const DWORD woken = MsgWaitForMultipleObjects(handleCount, &hostProcess, FALSE, waitMs, QS_ALLINPUT);
        if (handleCount != 0 && woken == WAIT_OBJECT_0) break;
        if (!handleMessages() || preview.picture.destroyed) break;
        if (!IsWindow(preview.host) || !IsWindow(preview.picture.window)) break;
        followHost(preview);
        drawDuePicture(preview.picture, timeGetTime());
    }
    if (hostProcess != nullptr) CloseHandle(hostProcess);
}

}  // namespace

// The preview draws on its window's own WGL surface. It lives as long as the system's settings show
// it, so the power source it starts on holds for it.
void runPreview(HINSTANCE instance, HWND host, const SceneSettings& scene, FrameRateRule rule) {
    WglSurface surface;
    rule.onBattery = systemOnBattery();
    runPreviewOn(instance, host, surface, scene, frameRateCap(rule));
}

// Plays the preview in the host window on the given surface until the host goes.
void runPreviewOn(HINSTANCE instance, HWND host, WglSurface& surface, const SceneSettings& scene, int32_t capFps) {
    // A handle that names no window would leave an invisible window nothing ever removes, and
    // the desktop as host a full-screen picture that nothing ever closes.
    if (!host || !IsWindow(host) || host == GetDesktopWindow()) return;
    Preview preview;
    preview.host = host;
    HDC screen = GetDC(nullptr);
    preview.twipsPerPixelX = twipsPerPixel(GetDeviceCaps(screen, LOGPIXELSX));
    preview.twipsPerPixelY = twipsPerPixel(GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    // Windows' rule: the preview fills the host's whole client area.
    const PreviewSize size = hostSize(preview);
    PicturePlace place;
    place.parent = host;
    place.area = RECT{0, 0, size.widthPixels, size.heightPixels};
    place.imageWidth = size.widthPixels;
    place.imageHeight = size.heightPixels;
    // Seeded from the calendar time, like the renderer: every preview shows another scene.
    const auto seed = static_cast<uint32_t>(std::time(nullptr));
    if (!openScenePicture(preview.picture, instance, place, surface, scene, seed,
                          previewFrameRate(hostDisplayRate(host), capFps)))
        return;
    showScenePicture(preview.picture);

    runPreviewLoop(preview);

    closeScenePicture(preview.picture);
}
