// The saver window: its three chained handlers translate messages into the renderer's rules.
#include "renderer/frame/window.h"

#include <ctime>

#include "common/names.h"
#include "common/window_record.h"
#include "renderer/frame/password.h"
#include "renderer/frame/renderer.h"
#include "renderer/win32/monitor_list.h"
#include "renderer/win32/test_hooks.h"

namespace {

// Current pointer position in screen pixels.
CursorPoint readCursor() {
    POINT p{};
    GetCursorPos(&p);
    return {p.x, p.y};
}

// Asks the window to close; the close handler decides whether it really does.
void postClose(HWND window, InputReaction reaction) {
    if (reaction == InputReaction::PostClose) PostMessageA(window, WM_CLOSE, 0, 0);
}

// Input, close and password rules; the last handler of the chain.
LRESULT inputHandler(Renderer& renderer, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        const CloseDecision decision = onCloseRequest(
            renderer.input, renderer.passwordDialogOpen,
            [&] { return verifyPassword(window, renderer.passwordDialogOpen) != FALSE; }, readCursor);
        if (decision != CloseDecision::Destroy) return 0;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    // The password dialog owns the input while it is open.
    if (renderer.passwordDialogOpen) return DefWindowProcA(window, message, wParam, lParam);

    switch (message) {
    case WM_SHOWWINDOW:
        if (wParam) SetCursor(nullptr);
        break;
    case WM_ACTIVATEAPP:
        if (!wParam) postClose(window, onUserPress(renderer.input));
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        postClose(window, onUserPress(renderer.input));
        break;
    case WM_SETCURSOR:
        SetCursor(nullptr);
        return TRUE;
    case WM_MOUSEMOVE:
        postClose(window, onMouseMove(renderer.input, readCursor()));
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Applies a change of visibility; frames start again at once when the screen shows again. The
// system sends its notifications, and a loop waiting in GetMessage goes on waiting after a sent
// message: a posted null message wakes it.
template <typename Change>
void changeVisibility(Renderer& renderer, HWND window, Change change) {
    const bool wasVisible = screenVisible(renderer.visibility);
    change(renderer.visibility);
    if (!wasVisible && screenVisible(renderer.visibility)) {
        resumeFrames(renderer);
        PostMessageA(window, WM_NULL, 0, 0);
    }
}

// Builds the scene when the window is created and frees it when the window is destroyed; pauses
// and resumes it as the display and the session come and go, and follows the power source. A scene
// that cannot be set up fails the window's creation, which ends the program.
LRESULT lifecycleHandler(Renderer& renderer, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    uint32_t displayState = 0;
    PowerNews power = PowerNews::None;
    if (message == WM_CREATE) {
        SetWindowTextA(window, SaverRunningTitle);
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST);
        // Seeded from the calendar time, so every run shows another scene.
        if (!setUpScene(renderer, window, benchmarkSeed(static_cast<uint32_t>(std::time(nullptr))))) return -1;
        registerVisibilityNotifications(renderer.notifications, window);
        registerPowerSourceNotification(renderer.powerNotification, window);
        renderer.sceneReady = true;
    } else if (message == WM_DESTROY) {
        renderer.sceneReady = false;
        unregisterVisibilityNotifications(renderer.notifications, window);
        unregisterPowerSourceNotification(renderer.powerNotification);
        tearDownScene(renderer);
    } else if (message == WM_POWERBROADCAST && readDisplayState(wParam, lParam, displayState)) {
        changeVisibility(renderer, window, [&](Visibility& v) { onDisplayState(v, displayState); });
    } else if (message == WM_POWERBROADCAST && (power = readPowerNews(wParam, lParam)) != PowerNews::None) {
        const bool battery = power == PowerNews::StatusChanged ? renderer.onBattery() : power == PowerNews::OnBattery;
        if (renderer.sceneReady) followPowerSource(renderer, battery);
    } else if (message == WM_WTSSESSION_CHANGE) {
        changeVisibility(renderer, window, [&](Visibility& v) { onSessionChange(v, static_cast<uint32_t>(wParam)); });
    }
    return inputHandler(renderer, window, message, wParam, lParam);
}

}  // namespace

// Lays the saver's views out over the monitors as the command line's screens choice says.
void layOutSaverWindow(Renderer& renderer, const char* commandLine) {
    MonitorArea monitors[MaxSceneViews];
    const int count = listMonitors(monitors, MaxSceneViews);
    const ScreenRect primary{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    renderer.layout = layOutMonitors(monitors, count, screensChoiceOf(commandLine), primary);
}

// Only the instance and the window's place are taken from the record; the class's procedure finds
// the record through the creation parameter.
HWND createSaverWindow(Renderer& renderer) {
    WNDCLASSA saverClass{};
    if (!GetClassInfoA(renderer.instance, SaverClassName, &saverClass)) {
        saverClass.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;  // the OpenGL context binds to the own DC
        saverClass.lpfnWndProc = saverClassProc;
        saverClass.hInstance = renderer.instance;
        saverClass.hIcon = LoadIconA(renderer.instance, MAKEINTRESOURCEA(RENDERER_ICON_ID));
        saverClass.hCursor = nullptr;  // no pointer over the saver
        saverClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        saverClass.lpszClassName = SaverClassName;
        if (!RegisterClassA(&saverClass)) return nullptr;
    }
    if (renderer.layout.viewCount == 0) layOutSaverWindow(renderer, "");
    const ScreenRect& place = renderer.layout.window;
    return CreateWindowExA(WS_EX_TOPMOST, SaverClassName, SaverCreationTitle,
                           WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, place.left, place.top,
                           place.right - place.left, place.bottom - place.top, nullptr, nullptr,
                           renderer.instance, &renderer);
}

// The saver window's procedure: turns messages into calls of the input, frame and exit rules.
LRESULT CALLBACK saverClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* renderer = windowRecord<Renderer>(window, message, lParam);
    if (renderer == nullptr) return DefWindowProcA(window, message, wParam, lParam);

    switch (message) {
    case WM_CREATE:
        startTracking(renderer->input, readCursor());
        SetCursor(nullptr);
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        break;
    case WM_SYSCOMMAND:
        if (isSwallowedSysCommand(static_cast<uintptr_t>(wParam))) return 0;
        break;
    default:
        break;
    }
    return lifecycleHandler(*renderer, window, message, wParam, lParam);
}
