// Stand-in renderer for the shell's run tests: a window titled "Glimra_VC" that closes on a key,
// or (LUMIVANE_FAKE_RENDERER=nowindow) a process that never makes its window.
// With LUMIVANE_FAKE_RENDERER_LOG set it writes "argc startup-flags show-mode process-id" there.
#include <windows.h>

#include "common/names.h"

#include <cstdio>
#include <cstdlib>

namespace {
constexpr DWORD NoWindowLifetimeMs = 15000;  // outlasts any grace period, then ends by itself
constexpr DWORD VariableChars = 1024;

// Records how the shell started this process.
void recordStart() {
    char logPath[VariableChars];
    const DWORD length = GetEnvironmentVariableA("LUMIVANE_FAKE_RENDERER_LOG", logPath, VariableChars);
    if (length == 0 || length >= VariableChars) return;
    STARTUPINFOA startup{};
    GetStartupInfoA(&startup);
    if (FILE* log = std::fopen(logPath, "wb")) {
        std::fprintf(log, "%d %lu %u %lu\n", __argc, startup.dwFlags, startup.wShowWindow, GetCurrentProcessId());
        std::fclose(log);
    }
}

LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN) DestroyWindow(window);
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    recordStart();
    char mode[16] = {};
    GetEnvironmentVariableA("LUMIVANE_FAKE_RENDERER", mode, sizeof mode);
    if (lstrcmpA(mode, "nowindow") == 0) {
        Sleep(NoWindowLifetimeMs);
        return 0;
    }
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"FakeRenderer";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(WS_EX_TOPMOST, L"FakeRenderer", SaverRunningTitleW, WS_POPUP, 0, 0, 320, 240, nullptr,
                                  nullptr, instance, nullptr);
    ShowWindow(window, show);
    SetForegroundWindow(window);
    SetFocus(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}
