// Shared by the preview tests: a stand-in host window, the stored still, and what a window shows.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/win_test_support.h"

namespace previewtest {

constexpr int StillWidth = 152;
constexpr int StillHeight = 112;
constexpr COLORREF HostColour = RGB(255, 0, 255);  // never part of the still
constexpr DWORD ShowTimeoutMs = 5000;
constexpr DWORD EndTimeoutMs = 1000;

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<RGBQUAD> data;  // top-down
    const RGBQUAD& at(int x, int y) const { return data[static_cast<size_t>(y) * width + x]; }
};

inline Pixels readBitmap(HDC dc, HBITMAP bitmap, int width, int height) {
    Pixels p;
    p.width = width;
    p.height = height;
    p.data.resize(static_cast<size_t>(width) * height);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    GetDIBits(dc, bitmap, 0, height, p.data.data(), &info, DIB_RGB_COLORS);
    return p;
}

// What a window shows, its children included, as the user sees it.
inline Pixels grabWindow(HWND window, int width, int height) {
    HDC source = GetDC(window);
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateCompatibleBitmap(source, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    Pixels p = readBitmap(memory, bitmap, width, height);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, source);
    return p;
}

inline Pixels storedStill() {
    std::wstring path = wintest::sourceDir() + L"\\assets\\preview.bmp";
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    HDC screen = GetDC(nullptr);
    Pixels p = bitmap ? readBitmap(screen, bitmap, StillWidth, StillHeight) : Pixels{};
    ReleaseDC(nullptr, screen);
    if (bitmap) DeleteObject(bitmap);
    return p;
}

inline int channelDistance(const RGBQUAD& a, const RGBQUAD& b) {
    return std::max({std::abs(a.rgbRed - b.rgbRed), std::abs(a.rgbGreen - b.rgbGreen),
                     std::abs(a.rgbBlue - b.rgbBlue)});
}

inline bool isHostColour(const RGBQUAD& q) {
    return q.rgbRed == GetRValue(HostColour) && q.rgbGreen == GetGValue(HostColour) &&
           q.rgbBlue == GetBValue(HostColour);
}

// A borderless top-level window standing in for the system's preview monitor.
class HostWindow {
public:
    HostWindow(int left, int top, int width, int height) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = CreateSolidBrush(HostColour);
        wc.lpszClassName = L"PreviewTestHost";
        RegisterClassW(&wc);  // fails harmlessly for every host after the first
        window_ = CreateWindowExW(WS_EX_TOPMOST, L"PreviewTestHost", L"host", WS_POPUP | WS_VISIBLE,
                                  left, top, width, height, nullptr, nullptr, GetModuleHandleW(nullptr),
                                  nullptr);
        wintest::pump(100);
    }
    ~HostWindow() { destroy(); }
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;
    void destroy() {
        if (window_ && IsWindow(window_)) DestroyWindow(window_);
        window_ = nullptr;
    }
    HWND handle() const { return window_; }
    std::wstring arg() const {
        return L"/p " + std::to_wstring(static_cast<long long>(reinterpret_cast<LONG_PTR>(window_)));
    }
    HWND previewChild() const { return FindWindowExW(window_, nullptr, nullptr, L"Preview Window"); }
    // Waits for the preview child to appear and be shown.
    HWND waitForPreview() const {
        DWORD start = GetTickCount();
        while (GetTickCount() - start < ShowTimeoutMs) {
            HWND child = previewChild();
            if (child && IsWindowVisible(child)) return child;
            wintest::pump(20);
        }
        return nullptr;
    }
private:
    HWND window_ = nullptr;
};

}  // namespace previewtest
