// Stand-in renderer for the shell's tests: a window titled "Glimra_VC" that ends on a key, or
// (LUMIVANE_FAKE_RENDERER set) a process that never makes its window.
#include <windows.h>

#include "common/names.h"

constexpr DWORD NoWindowLifetimeMs = 8000;  // outlasts the shell's grace period, then ends by itself
constexpr int Width = 320, Height = 240;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (GetEnvironmentVariableW(L"LUMIVANE_FAKE_RENDERER", nullptr, 0) != 0) {
        Sleep(NoWindowLifetimeMs);
        return 0;
    }
    CreateWindowExW(WS_EX_TOPMOST, L"STATIC", SaverRunningTitleW, WS_POPUP | WS_VISIBLE, 0, 0, Width, Height, nullptr,
                    nullptr, nullptr, nullptr);
    MSG message;  // key presses are posted to the window: the loop sees them first
    while (GetMessageW(&message, nullptr, 0, 0) > 0 && message.message != WM_KEYDOWN) DispatchMessageW(&message);
    return 0;
}
