// Entry of the renderer: one full-screen, top-most saver window and the idle-driven frame loop.
#include <windows.h>

#include "common/names.h"
#include "renderer/frame/renderer.h"
#include "renderer/frame/window.h"

namespace {
// Exit code when the window class or the window cannot be made, OpenGL set-up included.
constexpr int StartFailedExitCode = 1;
}  // namespace

// Opens the saver window and draws a frame whenever the message queue is empty.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    Renderer renderer;  // the program's one record; the window reaches it through its creation parameter
    renderer.instance = instance;

    WNDCLASSA saverClass{};
    saverClass.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;  // the OpenGL context binds to the own DC
    saverClass.lpfnWndProc = saverClassProc;
    saverClass.hInstance = instance;
    saverClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(RENDERER_ICON_ID));
    saverClass.hCursor = nullptr;  // no pointer over the saver
    saverClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    saverClass.lpszClassName = SaverClassName;

    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);

    // Another renderer is still setting up: let it have the screen.
    HWND starting = FindWindowA(SaverClassName, SaverCreationTitle);
    if (starting && IsWindow(starting)) {
        SetForegroundWindow(starting);
        return 0;
    }

    if (!RegisterClassA(&saverClass)) return StartFailedExitCode;
    HWND window = CreateWindowExA(WS_EX_TOPMOST, SaverClassName, SaverCreationTitle,
                                  WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, width,
                                  height, nullptr, nullptr, instance, &renderer);
    if (!window) return StartFailedExitCode;
    SetForegroundWindow(window);

    MSG msg{};
    for (;;) {
        // Messages always come first; a frame is drawn only when the queue is empty.
        while (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            frameTick(renderer);
            Sleep(0);
        }
        if (GetMessageA(&msg, nullptr, 0, 0) <= 0) break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
