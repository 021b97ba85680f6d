// Window-class registration for the shell's windows.
#include "shell/controls/window_class.h"

#include "shell/system/window_calls.h"

// An existing class is left as it is, so nothing made for a second registration could leak.
bool registerClassOnce(HINSTANCE instance, const wchar_t* name, WNDPROC procedure, UINT style, HBRUSH background,
                       HICON big, HICON small) {
    if (windowClassExists(instance, name)) return true;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = background;
    wc.hIcon = big;
    wc.hIconSm = small;
    wc.lpszClassName = name;
    return registerWindowClass(wc);
}

