// Stand-in renderer for the shell's tests: a window titled "Glimra_VC" that ends on a key. With
// LUMIVANE_FAKE_RENDERER set, it is instead
//   "nowindow":       a process that never makes its window;
//   "late":           one that makes it only after twice the shell's former grace period;
//   "preview:<path>": a host like the system's settings page, a window titled "Preview host" with
//                     <path> /p <its handle> started as its preview, ended from outside.
#include <windows.h>

#include <string>

#include "common/names.h"

constexpr DWORD NoWindowLifetimeMs = 8000;  // then it ends by itself
constexpr DWORD LateWindowMs = 10000;       // twice the 5 s the shell once waited for a window
constexpr int Width = 320, Height = 240;
constexpr int PreviewWidth = 152, PreviewHeight = 112;
constexpr wchar_t PreviewMode[] = L"preview:";

// Pumps the window's messages until a key or the quit message.
int runWindow() {
    MSG message;  // key presses are posted to the window: the loop sees them first
    while (GetMessageW(&message, nullptr, 0, 0) > 0 && message.message != WM_KEYDOWN) DispatchMessageW(&message);
    return 0;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    wchar_t mode[MAX_PATH + 16] = {};
    const DWORD length = GetEnvironmentVariableW(L"LUMIVANE_FAKE_RENDERER", mode, MAX_PATH + 16);
    if (length != 0 && std::wstring(mode).rfind(PreviewMode, 0) == 0) {
        HWND host = CreateWindowExW(0, L"STATIC", L"Preview host", WS_POPUP | WS_VISIBLE, 600, 400, PreviewWidth,
                                    PreviewHeight, nullptr, nullptr, nullptr, nullptr);
        std::wstring commandLine = L"\"" + std::wstring(mode + wcslen(PreviewMode)) + L"\" /p " +
                                   std::to_wstring(reinterpret_cast<LONG_PTR>(host));
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
            return 1;
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return runWindow();
    }
    if (length != 0 && std::wstring(mode) == L"late") {
        Sleep(LateWindowMs);
    } else if (length != 0) {
        Sleep(NoWindowLifetimeMs);
        return 0;
    }
    CreateWindowExW(WS_EX_TOPMOST, L"STATIC", SaverRunningTitleW, WS_POPUP | WS_VISIBLE, 0, 0, Width, Height, nullptr,
                    nullptr, nullptr, nullptr);
    return runWindow();
}
