// The preview's drawing read back in this process (Wine shows no OpenGL child, nor another process's).
#include "shell/host/preview_window.h"

#include <GL/gl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "common/names.h"
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

// A preview run: at each read this process's processor time and any OpenGL frame; the host at the last.
struct PreviewRun {
    int readsToCome = 0;
    std::vector<double> cpuSeconds;
    std::vector<Pixels> frames;
    GLint viewport[4] = {};
    RECT hostRect{}, previewRect{};
    Pixels shown;
};

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
        glGetIntegerv(GL_VIEWPORT, run.viewport);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, Width, Height, GL_RGBA, GL_UNSIGNED_BYTE, run.frames.back().data());
    }
    GetWindowRect(host, &run.hostRect);
    GetWindowRect(FindWindowExW(host, nullptr, nullptr, PreviewTitle), &run.previewRect);
    if (--run.readsToCome > 0) return;
    HDC dc = GetDC(host);
    run.shown = pixelsOf(dc);
    ReleaseDC(host, dc);
    DestroyWindow(host);
}

// Runs the preview in a magenta host of the system's size, reading it at these times (ms after the start).
PreviewRun runAndRead(std::initializer_list<UINT> readTimes, WglSurface& surface) {
    PreviewRun run;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = CreateSolidBrush(RGB(255, 0, 255));  // never part of the still
    windowClass.lpszClassName = L"PreviewTestHost";
    if (!RegisterClassW(&windowClass)) DeleteObject(windowClass.hbrBackground);  // registered by an earlier run
    HWND host = CreateWindowExW(WS_EX_TOPMOST, windowClass.lpszClassName, L"host", WS_POPUP | WS_VISIBLE, 400, 300,
                                Width, Height, nullptr, nullptr, windowClass.hInstance, nullptr);
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
        EXPECT_TRUE(EqualRect(&run.hostRect, &run.previewRect)) << "the preview does not lie exactly on its host";
        ASSERT_EQ(run.shown.size(), still.size()) << "the preview ended before its host";
        if (failure) {
            EXPECT_TRUE(run.frames.empty()) << "an OpenGL context is current";
            int differ = 0;
            for (size_t n = 0; n < still.size(); ++n) differ += (still[n] ^ run.shown[n]) & 0xFFFFFF ? 1 : 0;
            EXPECT_EQ(differ, 0) << "pixels of the host that do not show the still";
            continue;
        }
        ASSERT_EQ(run.frames.size(), 3u) << "the preview drew no animation";
        EXPECT_EQ(std::vector<GLint>(run.viewport, run.viewport + 4), (std::vector<GLint>{0, 0, Width, Height}))
            << "the picture does not fill the host";
        EXPECT_GT(countPixels(run.frames[2]), EnoughPixels) << "no particles to be seen";
        EXPECT_GT(countPixels(run.frames[2], &run.frames[1]), EnoughPixels) << "the picture does not move";
        const double cpu = run.cpuSeconds[2] - run.cpuSeconds[0];
        std::printf("processor time of 10 s of preview at %d x %d: %.2f s\n", Width, Height, cpu);
        EXPECT_LE(cpu, TenSecondCpuBound) << "the preview keeps the processor busy";
    }
}

}  // namespace
