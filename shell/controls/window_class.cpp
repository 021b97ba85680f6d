// Window-class registration and window text for the shell's windows.
#include "shell/controls/window_class.h"

// An existing class is left as it is, so nothing made for a second registration could leak.
bool registerClassOnce(HINSTANCE instance, const wchar_t* name, WNDPROC procedure, UINT style, HBRUSH background,
                       HICON big, HICON small) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    if (GetClassInfoExW(instance, name, &wc)) return true;
    wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = background;
    wc.hIcon = big;
    wc.hIconSm = small;
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0;
}

// The whole text of a window.
std::wstring windowText(HWND window) {
    int n = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(n > 0 ? n : 0) + 1, L'\0');
    n = GetWindowTextW(window, &text[0], static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(n > 0 ? n : 0));
    return text;
}
