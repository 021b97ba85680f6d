#include "renderer/frame/window.h"

#include "renderer/frame/gl_scene.h"
#include "renderer/frame/input_rules.h"
#include "renderer/frame/password.h"
#include "renderer/frame/renderer_state.h"

const char* const SaverClassName = "WindowsScreenSaverClass";
const char* const SaverCreationTitle = "Screensaver";
const char* const SaverRunningTitle = "Glimra_VC";

HINSTANCE programInstance = nullptr;
int sceneReady = 0;
int passwordDialogOpen = 0;

namespace {

lumivane::InputState inputState;

// Current pointer position in screen pixels.
lumivane::CursorPoint readCursor() {
    POINT p{};
    GetCursorPos(&p);
    return {p.x, p.y};
}

// Asks the window to close; the close handler decides whether it really does.
void postClose(HWND window, lumivane::InputReaction reaction) {
    if (reaction == lumivane::InputReaction::PostClose) PostMessageA(window, WM_CLOSE, 0, 0);
}

// Input, close and password rules; the last handler of the chain.
LRESULT inputHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        lumivane::CloseDecision decision = lumivane::onCloseRequest(
            inputState, passwordDialogOpen != 0, [window] { return verifyPassword(window) != FALSE; },
            readCursor);
        if (decision != lumivane::CloseDecision::Destroy) return 0;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    // The password dialog owns the input while it is open.
    if (passwordDialogOpen) return DefWindowProcA(window, message, wParam, lParam);

    switch (message) {
    case WM_SHOWWINDOW:
        if (wParam) SetCursor(nullptr);
        break;
    case WM_ACTIVATEAPP:
        if (!wParam) postClose(window, lumivane::onUserPress(inputState));
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        postClose(window, lumivane::onUserPress(inputState));
        break;
    case WM_SETCURSOR:
        SetCursor(nullptr);
        return TRUE;
    case WM_MOUSEMOVE:
        postClose(window, lumivane::onMouseMove(inputState, readCursor()));
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Builds the scene when the window is created and frees it when the window is destroyed.
LRESULT lifecycleHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        // The scene settings are fixed: the scene starts from its default values.
        SetWindowTextA(window, SaverRunningTitle);
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST);
        setUpScene(window);
        sceneReady = 1;
    } else if (message == WM_DESTROY) {
        sceneReady = 0;
        tearDownScene(window);
    }
    return inputHandler(window, message, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK saverClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        lumivane::startTracking(inputState, readCursor());
        SetCursor(nullptr);
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        break;
    case WM_SYSCOMMAND:
        if (lumivane::isSwallowedSysCommand(static_cast<uintptr_t>(wParam))) return 0;
        break;
    default:
        break;
    }
    return lifecycleHandler(window, message, wParam, lParam);
}
