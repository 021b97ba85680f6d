// The real renderer over two monitors: the session nests Xephyr, a 1024x768 primary with an
// 800x600 monitor to its right, and a white window stands on the second before the saver starts.
#include "renderer/frame/saver_session.h"

#include <algorithm>
#include <vector>

using namespace savertest;

namespace {

constexpr DWORD SceneLightsMs = 5000;  // the first particles are out and coloured by then
constexpr int LitLevel = 40;           // a channel above this counts as lit
constexpr int WhiteLevel = 250;

// The monitors, the primary first.
std::vector<RECT> monitorRects() {
    std::vector<RECT> found;
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR monitor, HDC, LPRECT, LPARAM list) -> BOOL {
            MONITORINFO info{};
            info.cbSize = sizeof info;
            GetMonitorInfoW(monitor, &info);
            auto& rects = *reinterpret_cast<std::vector<RECT>*>(list);
            rects.insert(info.dwFlags & MONITORINFOF_PRIMARY ? rects.begin() : rects.end(), info.rcMonitor);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// How the pixels of one monitor look on the screen.
struct Look {
    int lit = 0, white = 0, nonBlack = 0;
};

Look lookOf(const RECT& r) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, picture);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    Look look;
    for (int k = 0; k < w * h; ++k) {
        const auto* p = static_cast<const BYTE*>(bits) + 4 * k;
        const int top = std::max({p[0], p[1], p[2]}), low = std::min({p[0], p[1], p[2]});
        look.lit += top > LitLevel;
        look.white += low >= WhiteLevel;
        look.nonBlack += top > 0;
    }
    SelectObject(memory, old);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return look;
}

// A plain white window over a monitor, as a document left open there.
HWND whiteWindowOver(const RECT& r) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = L"LumivaneWhiteDocument";
    RegisterClassW(&wc);
    HWND w = CreateWindowExW(0, wc.lpszClassName, L"document", WS_POPUP | WS_VISIBLE, r.left, r.top,
                             r.right - r.left, r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);
    wintest::pump(300);
    return w;
}

TEST(SaverMonitors, EveryMonitorIsCoveredAndTheChoiceSaysWhereTheScenePlays) {
    const std::vector<RECT> monitors = monitorRects();
    ASSERT_EQ(monitors.size(), 2u) << "the session must give two monitors";
    const RECT &primary = monitors[0], &second = monitors[1];
    const RECT desktop{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                       GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                       GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    for (const wchar_t* args : {L"", L"/screens:primary"}) {
        const bool everyMonitor = args[0] == L'\0';
        SCOPED_TRACE(everyMonitor ? "every monitor" : "primary only");
        HWND document = whiteWindowOver(second);
        ASSERT_GT(lookOf(second).white, 0) << "the document shows before the saver starts";

        // The pointer rests on the second monitor, where the moves that end the saver will be made.
        const int x = (second.left + second.right) / 2 + 37, y = (second.top + second.bottom) / 2 + 23;
        Saver saver;
        ASSERT_TRUE(saver.start(args, rendererPath(), true, POINT{x, y}));
        ASSERT_TRUE(saver.waitReady());
        RECT window{};
        GetWindowRect(saver.window(), &window);
        EXPECT_TRUE(EqualRect(&window, &desktop)) << "one window over the whole desktop";
        Sleep(SceneLightsMs);
        const Look onPrimary = lookOf(primary), onSecond = lookOf(second);
        EXPECT_GT(onPrimary.lit, 50);
        EXPECT_EQ(onSecond.white, 0) << "nothing of the document is left";
        if (everyMonitor) {
            EXPECT_GT(onSecond.lit, 50);
        } else {
            EXPECT_EQ(onSecond.nonBlack, 0) << "the second monitor is all black";
        }

        // A first move, then one of five pixels, both on the second monitor.
        ASSERT_TRUE(placeCursor(x + 1, y));
        ASSERT_TRUE(placeCursor(x + 6, y));
        EXPECT_TRUE(saver.endsCleanlyWithin(CloseWithinMs));
        DestroyWindow(document);
    }
}

}  // namespace
