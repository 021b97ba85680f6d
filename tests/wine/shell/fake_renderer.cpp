// Stand-in renderer for the shell's run tests: a window titled "Glimra_VC" that closes on a key,
// or (LUMIVANE_FAKE_RENDERER=nowindow) a process that never makes its window.
// With LUMIVANE_FAKE_RENDERER_LOG set it records its command line, show mode and process id there.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {
constexpr DWORD NoWindowLifetimeMs = 15000;  // long enough for any grace period, short enough to clean up itself
constexpr DWORD VariableChars = 1024;

std::wstring variable(const wchar_t* name) {
    wchar_t value[VariableChars];
    const DWORD length = GetEnvironmentVariableW(name, value, VariableChars);
    return length > 0 && length < VariableChars ? std::wstring(value, length) : std::wstring();
}

// Writes what the shell handed over at start, one item per line.
void recordStart() {
    const std::wstring logPath = variable(L"LUMIVANE_FAKE_RENDERER_LOG");
    if (logPath.empty()) return;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    FILE* log = _wfopen(logPath.c_str(), L"wb");
    if (!log) return;
    std::fprintf(log, "%s\n%u %u\n%lu\n", GetCommandLineA(), static_cast<unsigned>(startup.dwFlags),
                  static_cast<unsigned>(startup.wShowWindow), GetCurrentProcessId());
    std::fclose(log);
}

LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KEYDOWN:
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    recordStart();
    if (variable(L"LUMIVANE_FAKE_RENDERER") == L"nowindow") {
        Sleep(NoWindowLifetimeMs);
        return 0;
    }
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = L"FakeRenderer";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(WS_EX_TOPMOST, L"FakeRenderer", L"Glimra_VC", WS_POPUP, 0, 0, 320, 240, nullptr,
                                  nullptr, instance, nullptr);
    ShowWindow(window, show);
    SetForegroundWindow(window);
    SetFocus(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
