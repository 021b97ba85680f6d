// The preview window Glimra_R: a borderless child that covers the window Windows hands us
// and shows a still of the animation, scaled to the host, until the host removes it.
#include "shell/host/preview_window.h"

#include "common/names.h"
#include "common/window_record.h"
#include "shell/host/preview_layout.h"

namespace {

constexpr UINT_PTR HostWatchTimer = 1;
constexpr UINT HostWatchIntervalMs = 250;  // how soon a vanished host is noticed at worst

// Everything the preview window keeps.
struct Preview {
    HWND host = nullptr;
    HBITMAP still = nullptr;
    int stillWidth = 0;
    int stillHeight = 0;
    int imageWidth = 0;   // the picture's size: the host's size in pixels
    int imageHeight = 0;
};

// Draws the still over the whole image area.
void paintStill(const Preview& preview, HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (preview.still) {
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(source, preview.still);
        if (preview.imageWidth == preview.stillWidth && preview.imageHeight == preview.stillHeight) {
            BitBlt(dc, 0, 0, preview.stillWidth, preview.stillHeight, source, 0, 0, SRCCOPY);
        } else {
            SetStretchBltMode(dc, HALFTONE);
            SetBrushOrgEx(dc, 0, 0, nullptr);
            StretchBlt(dc, 0, 0, preview.imageWidth, preview.imageHeight, source, 0, 0,
                       preview.stillWidth, preview.stillHeight, SRCCOPY);
        }
        SelectObject(source, old);
        DeleteDC(source);
    }
    EndPaint(window, &ps);
}

// The preview's window procedure: paint, watch the host, end with the window.
LRESULT CALLBACK previewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto* preview = windowRecord<const Preview>(window, message, lParam);
    if (preview == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_PAINT:
        paintStill(*preview, window);
        return 0;
    case WM_TIMER:
        // The host may vanish without destroying us first (another process, or a crash).
        if (wParam == HostWatchTimer && !IsWindow(preview->host)) DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        // However the window goes, the shell has nothing left to show: end the loop.
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

void runPreview(HINSTANCE instance, HWND host) {
    // A handle that names no window would leave an invisible window nothing ever removes.
    if (!host || !IsWindow(host)) return;
    Preview preview;
    preview.host = host;

    RECT hostRect{};
    GetWindowRect(host, &hostRect);
    HDC screen = GetDC(nullptr);
    int perPixelX = twipsPerPixel(GetDeviceCaps(screen, LOGPIXELSX));
    int perPixelY = twipsPerPixel(GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    PreviewSize size = previewSizeFor(hostRect.right - hostRect.left, hostRect.bottom - hostRect.top,
                                      perPixelX, perPixelY);

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = previewProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = PreviewClassName;
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, PreviewClassName, PreviewTitle, WS_POPUP, 0, 0, 0, 0, nullptr,
                                  nullptr, instance, &preview);
    if (!window) return;

    SetWindowLongW(window, GWL_STYLE, GetWindowLongW(window, GWL_STYLE) | WS_CHILD);
    SetParent(window, host);
    MoveWindow(window, 0, 0, size.widthTwips / perPixelX, size.heightTwips / perPixelY, FALSE);

    preview.still = static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(PREVIEW_STILL_ID), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    BITMAP info{};
    if (preview.still && GetObjectW(preview.still, sizeof info, &info)) {
        preview.stillWidth = info.bmWidth;
        preview.stillHeight = info.bmHeight;
    }
    preview.imageWidth = size.widthPixels;
    preview.imageHeight = size.heightPixels;

    SetTimer(window, HostWatchTimer, HostWatchIntervalMs, nullptr);
    ShowWindow(window, SW_SHOWNA);
    UpdateWindow(window);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (preview.still) DeleteObject(preview.still);
}
