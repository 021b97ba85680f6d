// The preview's drawing read back in this process (Wine shows no OpenGL child, nor another process's), and the
// Scene dialog's picture where OpenGL refuses.
#include "shell/host/preview_window.h"

#include <GL/gl.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "common/names.h"
#include "shell/dialog/scene_dialog.h"
#include "shell/settings/settings_file.h"
#include "support/refusing_surface.h"
#include "support/win_test_support.h"

namespace {

constexpr int Width = 152;  // the system's preview size, and the still's
constexpr int Height = 112;
constexpr int LitLevel = 64;     // brightest channel of a pixel that shows a particle or its trail
constexpr int EnoughPixels = 5;  // of 17024, lit or changed: more than noise, fewer than a sparse scene gives
// Processor time (s) that 10 s of preview may take, all threads counted: 0.2-0.6 s measured under
// Wine on llvmpipe (twice the most leaves room for a busy machine), against 3.9 s unpaced.
constexpr double TenSecondCpuBound = 1.2;

using Pixels = std::vector<COLORREF>;  // the top row first; OpenGL's frames the bottom row first

// A preview run: at each read this process's processor time, any OpenGL frame and its viewport, the host's
// client area and the preview's place on the screen; what the host shows at the last. `act` may change the
// host after a read.
struct PreviewRun {
    int readsToCome = 0;
    std::vector<double> cpuSeconds;
    std::vector<Pixels> frames;
    std::vector<std::vector<GLint>> viewports;
    std::vector<RECT> hostClients, previewRects;
    std::function<void(HWND host, size_t read)> act;
    Pixels shown;
};

// A window's client area on the screen.
RECT clientOnScreen(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// What a device context shows.
Pixels pixelsOf(HDC dc) {
    Pixels pixels;
    for (int n = 0; n < Width * Height; ++n) pixels.push_back(GetPixel(dc, n % Width, n / Width));
    return pixels;
}

// Host timer: one look from inside the preview's loop; after the last, the host goes.
void CALLBACK readPreview(HWND host, UINT, UINT_PTR id, DWORD) {
    KillTimer(host, id);
    PreviewRun& run = *reinterpret_cast<PreviewRun*>(GetWindowLongPtrW(host, GWLP_USERDATA));
    FILETIME unused, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &unused, &unused, &kernel, &user);
    const auto seconds = [](const FILETIME& t) { return (ULONGLONG{t.dwHighDateTime} << 32 | t.dwLowDateTime) / 1e7; };
    run.cpuSeconds.push_back(seconds(kernel) + seconds(user));
    if (wglGetCurrentContext()) {
        // Each frame leaves its picture in the back buffer; Wine reads a child's front buffer as black.
        run.frames.emplace_back(Width * Height);
        run.viewports.emplace_back(4);
        glGetIntegerv(GL_VIEWPORT, run.viewports.back().data());
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, Width, Height, GL_RGBA, GL_UNSIGNED_BYTE, run.frames.back().data());
    }
    run.hostClients.push_back(clientOnScreen(host));
    run.previewRects.push_back(wintest::screenRect(FindWindowExW(host, nullptr, nullptr, PreviewTitle)));
    if (run.act) run.act(host, run.previewRects.size() - 1);
    if (--run.readsToCome > 0) return;
    HDC dc = GetDC(host);
    run.shown = pixelsOf(dc);
    ReleaseDC(host, dc);
    DestroyWindow(host);
}

// Runs the preview in a magenta host whose client area has the system's size (a borderless one, or one
// with `style`'s frame), reading it at these times (ms after the start).
PreviewRun runAndRead(std::initializer_list<UINT> readTimes, WglSurface& surface, DWORD style = WS_POPUP,
                      std::function<void(HWND, size_t)> act = {}) {
    PreviewRun run;
    run.act = std::move(act);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = CreateSolidBrush(RGB(255, 0, 255));  // never part of the still
    windowClass.lpszClassName = L"PreviewTestHost";
    if (!RegisterClassW(&windowClass)) DeleteObject(windowClass.hbrBackground);  // registered by an earlier run
    RECT outer{0, 0, Width, Height};
    AdjustWindowRectEx(&outer, style, FALSE, WS_EX_TOPMOST);
    HWND host = CreateWindowExW(WS_EX_TOPMOST, windowClass.lpszClassName, L"host", style | WS_VISIBLE, 400, 300,
                                outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                                windowClass.hInstance, nullptr);
    SetWindowLongPtrW(host, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&run));
    for (UINT at : readTimes) SetTimer(host, ++run.readsToCome, at, readPreview);
    runPreviewOn(windowClass.hInstance, host, surface);
    return run;
}

// Pixels of which a channel reaches LitLevel, or, given an earlier frame, changed that much since.
int countPixels(const Pixels& frame, const Pixels* before = nullptr) {
    int count = 0;
    for (size_t n = 0; n < frame.size(); ++n) {
        const COLORREF a = frame[n], b = before ? (*before)[n] : 0;
        count += std::max({std::abs(GetRValue(a) - GetRValue(b)), std::abs(GetGValue(a) - GetGValue(b)),
                           std::abs(GetBValue(a) - GetBValue(b))}) >= LitLevel;
    }
    return count;
}

// The animation plays (ten seconds from the first read to the last give its processor time, the last
// two a live picture), or, where the pixel format or the context is refused, the still; both on the host.
TEST(PreviewWindow, PlaysTheAnimationAtLittleCostOrShowsTheStillOverTheWholeHost) {
    HGDIOBJ bitmap = LoadImageW(nullptr, (wintest::sourceDir() + L"\\assets\\preview.bmp").c_str(), IMAGE_BITMAP, 0, 0,
                                LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, bitmap);
    const Pixels still = pixelsOf(dc);
    DeleteDC(dc);
    DeleteObject(bitmap);
    using Step = wintest::RefusingSurface::Step;
    for (const auto& [refused, why] : {std::pair{Step::Nothing, ""}, {Step::PixelFormat, "no pixel format"},
                                       {Step::Context, "no OpenGL context"}}) {
        SCOPED_TRACE(why);
        const bool failure = refused != Step::Nothing;
        wintest::RefusingSurface surface(refused);
        const PreviewRun run = failure ? runAndRead({700}, surface) : runAndRead({1000, 10500, 11000}, surface);
        if (failure) {
            EXPECT_NE(surface.log.find(std::string("OpenGL set-up failed: ") + why), std::string::npos) << surface.log;
        }
        EXPECT_TRUE(EqualRect(&run.hostClients.back(), &run.previewRects.back())) << "the preview does not lie exactly on its host";
        ASSERT_EQ(run.shown.size(), still.size()) << "the preview ended before its host";
        if (failure) {
            EXPECT_TRUE(run.frames.empty()) << "an OpenGL context is current";
            int differ = 0;
            for (size_t n = 0; n < still.size(); ++n) differ += (still[n] ^ run.shown[n]) & 0xFFFFFF ? 1 : 0;
            EXPECT_EQ(differ, 0) << "pixels of the host that do not show the still";
            continue;
        }
        ASSERT_EQ(run.frames.size(), 3u) << "the preview drew no animation";
        EXPECT_EQ(run.viewports.back(), (std::vector<GLint>{0, 0, Width, Height}))
            << "the picture does not fill the host";
        EXPECT_GT(countPixels(run.frames[2]), EnoughPixels) << "no particles to be seen";
        EXPECT_GT(countPixels(run.frames[2], &run.frames[1]), EnoughPixels) << "the picture does not move";
        const double cpu = run.cpuSeconds[2] - run.cpuSeconds[0];
        std::printf("processor time of 10 s of preview at %d x %d: %.2f s\n", Width, Height, cpu);
        EXPECT_LE(cpu, TenSecondCpuBound) << "the preview keeps the processor busy";
    }
}

}  // namespace

// A framed host (the system's settings page has a frame): the preview covers its client area only, and
// follows it as it is minimised and then restored larger, the animation's viewport and the still alike.
TEST(PreviewWindow, CoversAFramedHostsClientAreaAndFollowsItAfterMinimising) {
    constexpr int GrownWidth = 200, GrownHeight = 150;
    const auto minimiseThenGrow = [](HWND host, size_t read) {
        if (read == 0) ShowWindow(host, SW_MINIMIZE);
        if (read != 1) return;
        ShowWindow(host, SW_RESTORE);
        RECT outer{0, 0, GrownWidth, GrownHeight};
        AdjustWindowRectEx(&outer, GetWindowLongW(host, GWL_STYLE), FALSE, GetWindowLongW(host, GWL_EXSTYLE));
        SetWindowPos(host, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top, SWP_NOMOVE | SWP_NOZORDER);
    };
    using Step = wintest::RefusingSurface::Step;
    for (const auto& [refused, what] : {std::pair{Step::Nothing, "the animation"}, {Step::PixelFormat, "the still"}}) {
        SCOPED_TRACE(what);
        wintest::RefusingSurface surface(refused);
        const PreviewRun run = runAndRead({700, 1200, 2000}, surface, WS_OVERLAPPEDWINDOW, minimiseThenGrow);
        ASSERT_EQ(run.previewRects.size(), 3u) << "the preview ended before its host";
        const RECT& first = run.hostClients[0];
        EXPECT_EQ(first.right - first.left, Width) << "the host's client area is not the system's size";
        EXPECT_TRUE(EqualRect(&first, &run.previewRects[0])) << "the preview does not cover the client area only";
        const RECT& grown = run.hostClients[2];
        EXPECT_EQ(grown.right - grown.left, GrownWidth) << "the host did not grow";
        EXPECT_TRUE(EqualRect(&grown, &run.previewRects[2])) << "the preview did not follow its host";
        if (refused == Step::Nothing) {
            ASSERT_EQ(run.viewports.size(), 3u) << "the preview drew no animation";
            EXPECT_EQ(run.viewports[2], (std::vector<GLint>{0, 0, GrownWidth, GrownHeight}));
        }
    }
}

// Where OpenGL cannot be set up, the Scene dialog's live picture is the still, scaled to the picture as the
// system scales it; it stays the still when a count changes, and no context is left current.
TEST(ScenePictureInTheSceneDialog, IsTheStillWhereOpenGlRefuses) {
    struct Look {
        Pixels shown, expected;
        bool contextCurrent = true;
        bool stillAfterRestart = false;
    };
    static Look look;  // the timer callbacks' only way to the test, for this one run
    look = Look{};
    wintest::RefusingSurface surface(wintest::RefusingSurface::Step::PixelFormat);
    ShellSettings settings;
    SetTimer(nullptr, 0, 1500, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        HWND picture = FindWindowW(PreviewClassName, nullptr);
        HWND dialog = FindWindowW(SceneDialogClassName, nullptr);
        look.contextCurrent = wglGetCurrentContext() != nullptr;
        if (!picture || !dialog) return;
        RECT r{};
        GetClientRect(picture, &r);
        HDC screen = GetDC(nullptr), dc = GetDC(picture), memory = CreateCompatibleDC(screen);
        auto still = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(PREVIEW_STILL_ID),
                                                     IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        BITMAP info{};
        GetObjectW(still, sizeof info, &info);
        HGDIOBJ old = SelectObject(memory, still);
        HDC scaled = CreateCompatibleDC(screen);
        HBITMAP target = CreateCompatibleBitmap(screen, r.right, r.bottom);
        HGDIOBJ oldTarget = SelectObject(scaled, target);
        SetStretchBltMode(scaled, HALFTONE);
        SetBrushOrgEx(scaled, 0, 0, nullptr);
        StretchBlt(scaled, 0, 0, r.right, r.bottom, memory, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
        for (int y = 0; y < r.bottom; y += 7) {
            for (int x = 0; x < r.right; x += 7) {
                look.shown.push_back(GetPixel(dc, x, y));
                look.expected.push_back(GetPixel(scaled, x, y));
            }
        }
        SelectObject(scaled, oldTarget);
        DeleteObject(target);
        DeleteDC(scaled);
        SelectObject(memory, old);
        DeleteObject(still);
        DeleteDC(memory);
        ReleaseDC(picture, dc);
        ReleaseDC(nullptr, screen);
        // The most particles restart the picture, which must come back as the still.
        HWND particles = FindWindowExW(dialog, nullptr, L"msctls_trackbar32", nullptr);
        SendMessageW(particles, TBM_SETPOS, TRUE, 5000);
        SendMessageW(dialog, WM_HSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), reinterpret_cast<LPARAM>(particles));
        SetTimer(nullptr, 0, 700, [](HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            HWND shown = FindWindowW(PreviewClassName, nullptr);
            look.stillAfterRestart = shown && IsWindowVisible(shown) && wglGetCurrentContext() == nullptr;
            PostMessageW(FindWindowW(SceneDialogClassName, nullptr), WM_COMMAND, IDCANCEL, 0);
        });
    });
    showSceneDialogOn(GetModuleHandleW(nullptr), nullptr, settings, surface);
    EXPECT_NE(surface.log.find("OpenGL set-up failed: no pixel format"), std::string::npos) << surface.log;
    EXPECT_FALSE(look.contextCurrent) << "an OpenGL context is current";
    ASSERT_FALSE(look.shown.empty()) << "the dialog showed no picture";
    int differ = 0;
    for (size_t n = 0; n < look.shown.size(); ++n) differ += ((look.shown[n] ^ look.expected[n]) & 0xFFFFFF) != 0;
    EXPECT_LE(differ, int(look.shown.size() / 50))
        << "of " << look.shown.size() << " pixels sampled, these differ from the still";
    EXPECT_TRUE(look.stillAfterRestart) << "a restart left no still";
    EXPECT_EQ(settings.scene.ParticleCount, 1000) << "Cancel kept a change";
}
