// A stand-in for the system's settings page in another process: one 152 x 112 window to host a
// preview. WM_APP makes it end with ExitProcess, leaving its window to the system, as a crash would.
#include <windows.h>

namespace {
constexpr wchar_t HostClassName[] = L"LumivanePreviewHost";
constexpr int HostWidth = 152;
constexpr int HostHeight = 112;

LRESULT CALLBACK hostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) ExitProcess(0);
    return DefWindowProcW(window, message, wParam, lParam);
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = hostProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    windowClass.lpszClassName = HostClassName;
    RegisterClassW(&windowClass);
    CreateWindowExW(0, HostClassName, L"preview host", WS_POPUP | WS_VISIBLE, 600, 100, HostWidth, HostHeight,
                    nullptr, nullptr, instance, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
