// What the preview draws, read back while it runs: the shell's preview code in this process (Wine
// shows no OpenGL child, and no child of another process), inside test host windows.
#include "shell/host/preview_pixels.h"
#include "shell/host/preview_window.h"

#include <GL/gl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

using namespace previewtest;

constexpr int LitLevel = 64;      // brightest channel of a pixel that shows a particle or its trail
constexpr int EnoughPixels = 5;   // of 17024, lit or changed: more than noise, fewer than a sparse scene gives
constexpr DWORD EndMs = 1000;     // the preview's end after its host's
// Processor time (seconds) that 10 s of a 152 x 112 preview may take, all threads counted:
// measured 0.4-0.6 s under Wine on llvmpipe (twice that leaves room for a busy machine), against
// 3.9 s for frames drawn without pause.
constexpr double TenSecondCpuBound = 1.2;

// One look at the preview from inside its message loop.
struct Read {
    std::vector<uint8_t> drawn;  // the OpenGL frame, when a context was current
    double cpuSeconds = 0;       // this process's processor time so far
};

// What the test saw of one preview run.
struct PreviewRun {
    SIZE size{};
    int readCount = 0;
    std::vector<Read> reads;
    bool glCurrent = false;
    GLint viewport[4] = {};
    RECT childRect{}, hostRect{};
    Pixels shown;  // the host as GDI shows it, at the last read
    DWORD destroyedAt = 0;
};

// Kernel and user time of this process, every thread counted (Wine sums llvmpipe's threads only
// for the current process).
double processorSeconds() {
    FILETIME created, ended, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    const auto seconds = [](const FILETIME& t) {
        return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

// The RGB bytes of the frame the current context (the preview's) last drew. Each frame leaves its
// picture in the back buffer (a copying swap keeps it, an exchanging one gets a second pass); Wine
// reads a child window's front buffer as black.
std::vector<uint8_t> readFrame(int width, int height) {
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
}

// Host timer: one read of what the preview shows; after the last, the host goes as Windows removes it.
void CALLBACK readPreview(HWND host, UINT, UINT_PTR id, DWORD) {
    KillTimer(host, id);
    PreviewRun& run = *reinterpret_cast<PreviewRun*>(GetWindowLongPtrW(host, GWLP_USERDATA));
    Read read;
    read.cpuSeconds = processorSeconds();
    run.glCurrent = wglGetCurrentContext() != nullptr;
    if (run.glCurrent) {
        glGetIntegerv(GL_VIEWPORT, run.viewport);
        read.drawn = readFrame(run.size.cx, run.size.cy);
    }
    run.reads.push_back(std::move(read));
    GetWindowRect(host, &run.hostRect);
    GetWindowRect(FindWindowExW(host, nullptr, nullptr, L"Preview Window"), &run.childRect);
    if (static_cast<int>(run.reads.size()) < run.readCount) return;
    run.shown = grabWindow(host, run.size.cx, run.size.cy);
    run.destroyedAt = GetTickCount();
    DestroyWindow(host);
}

// Runs the preview in a host of the given size, reading it at the given times (ms after the start).
PreviewRun runAndRead(SIZE size, std::initializer_list<UINT> readTimes) {
    PreviewRun run;
    run.size = size;
    HostWindow host(100, 100, size.cx, size.cy);
    SetWindowLongPtrW(host.handle(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&run));
    for (UINT at : readTimes) SetTimer(host.handle(), ++run.readCount, at, readPreview);
    runPreview(GetModuleHandleW(nullptr), host.handle());
    return run;
}

// Pixels whose brightest channel reaches LitLevel, and pixels that changed that much between two frames.
int litPixels(const std::vector<uint8_t>& rgb) {
    int lit = 0;
    for (size_t n = 0; n < rgb.size(); n += 3) lit += std::max({rgb[n], rgb[n + 1], rgb[n + 2]}) >= LitLevel;
    return lit;
}
int changedPixels(const std::vector<uint8_t>& before, const std::vector<uint8_t>& after) {
    int changed = 0;
    for (size_t n = 0; n < before.size() && n < after.size(); n += 3) {
        changed += std::max({std::abs(before[n] - after[n]), std::abs(before[n + 1] - after[n + 1]),
                             std::abs(before[n + 2] - after[n + 2])}) >= LitLevel;
    }
    return changed;
}

// The preview window lies exactly on the host.
void expectCoversTheHost(const PreviewRun& run) {
    EXPECT_EQ(run.childRect.left, run.hostRect.left);
    EXPECT_EQ(run.childRect.top, run.hostRect.top);
    EXPECT_EQ(run.childRect.right, run.hostRect.right);
    EXPECT_EQ(run.childRect.bottom, run.hostRect.bottom);
}

// At the system's size the preview runs for ten seconds between the first read and the last,
// which also gives its processor time; at twice the size, two reads half a second apart.
TEST(PreviewWindow, PlaysTheAnimationOverTheWholeHostAtLittleCostAndEndsWithIt) {
    const struct { SIZE size; std::initializer_list<UINT> readTimes; } cases[] = {
        {{StillWidth, StillHeight}, {1000, 10500, 11000}},
        {{StillWidth * 2, StillHeight * 2}, {2000, 2500}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.size.cx << " x " << c.size.cy);
        const PreviewRun run = runAndRead(c.size, c.readTimes);
        const DWORD endedAfter = GetTickCount() - run.destroyedAt;
        ASSERT_EQ(run.reads.size(), c.readTimes.size());
        ASSERT_TRUE(run.glCurrent) << "the preview drew no animation";
        expectCoversTheHost(run);
        EXPECT_EQ(run.viewport[0], 0);
        EXPECT_EQ(run.viewport[1], 0);
        EXPECT_EQ(run.viewport[2], c.size.cx) << "the picture does not fill the host's width";
        EXPECT_EQ(run.viewport[3], c.size.cy) << "the picture does not fill the host's height";

        const std::vector<uint8_t>& before = run.reads[run.reads.size() - 2].drawn;
        const std::vector<uint8_t>& after = run.reads.back().drawn;
        EXPECT_GT(litPixels(after), EnoughPixels) << "no particles to be seen";
        EXPECT_GT(changedPixels(before, after), EnoughPixels) << "the picture does not move";
        EXPECT_LE(endedAfter, EndMs) << "the preview outlived its host";
        if (c.readTimes.size() == 3) {
            const double cpu = run.reads.back().cpuSeconds - run.reads.front().cpuSeconds;
            std::printf("processor time of 10 s of preview at %ld x %ld: %.2f s\n", c.size.cx, c.size.cy, cpu);
            EXPECT_LE(cpu, TenSecondCpuBound) << "the preview keeps the processor busy";
        }
    }
}

TEST(PreviewWindow, ShowsTheStillWhereOpenGlCannotBeSetUp) {
    const Pixels still = storedStill();
    ASSERT_EQ(still.width, StillWidth) << "assets/preview.bmp could not be read";
    // At its own size the still is copied exactly; at twice the size each still pixel covers a
    // 2 x 2 block, and the halftone filter blends the block edges a little.
    const struct { const char* failure; int scale; } cases[] = {{"pixel-format", 1}, {"context", 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.failure << " refused, scale " << c.scale);
        _putenv_s("LUMIVANE_TEST_GL_FAILURE", c.failure);
        const PreviewRun run = runAndRead(SIZE{StillWidth * c.scale, StillHeight * c.scale}, {700});
        _putenv_s("LUMIVANE_TEST_GL_FAILURE", "");
        ASSERT_EQ(run.reads.size(), 1u);
        EXPECT_FALSE(run.glCurrent);
        expectCoversTheHost(run);

        // Each lit pixel of the still is compared with the mean of the block it was scaled to
        // (the still is mostly black, so black pixels would prove little).
        const int tolerance = c.scale == 1 ? 0 : 64;
        int hostPixels = 0, offPixels = 0, lit = 0;
        for (const RGBQUAD& q : run.shown.data) hostPixels += isHostColour(q);
        for (int y = 0; y < StillHeight; ++y) {
            for (int x = 0; x < StillWidth; ++x) {
                const RGBQUAD& want = still.at(x, y);
                if (std::max({want.rgbRed, want.rgbGreen, want.rgbBlue}) < LitLevel) continue;
                int sum[3] = {0, 0, 0};
                for (int dy = 0; dy < c.scale; ++dy) {
                    for (int dx = 0; dx < c.scale; ++dx) {
                        const RGBQUAD& q = run.shown.at(x * c.scale + dx, y * c.scale + dy);
                        sum[0] += q.rgbRed, sum[1] += q.rgbGreen, sum[2] += q.rgbBlue;
                    }
                }
                const int cells = c.scale * c.scale;
                RGBQUAD mean{};
                mean.rgbRed = static_cast<BYTE>(sum[0] / cells);
                mean.rgbGreen = static_cast<BYTE>(sum[1] / cells);
                mean.rgbBlue = static_cast<BYTE>(sum[2] / cells);
                ++lit;
                offPixels += channelDistance(mean, want) > tolerance;
            }
        }
        EXPECT_EQ(hostPixels, 0) << "part of the host is not covered";
        EXPECT_GT(lit, StillWidth * StillHeight / 20) << "the still shows too little";
        EXPECT_LE(offPixels, c.scale == 1 ? 0 : lit / 10) << "the picture does not follow the still";
    }
}

}  // namespace
