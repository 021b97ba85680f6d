// The record a window was created for: the creation parameter, kept in the window's user data.
#pragma once

#include <windows.h>

// Stores the creation parameter at WM_NCCREATE and returns the window's record for every
// message; null for the few messages that come before WM_NCCREATE. The ANSI calls serve every
// window, wide or not, and exist on the 9x family too.
template <typename Record>
Record* windowRecord(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    return reinterpret_cast<Record*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}
