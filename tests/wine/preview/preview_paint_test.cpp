// What the preview window paints, read back from its host: the preview code runs in this
// process with the shell's own still, inside test host windows.
#include "preview/preview_pixels.h"
#include "shell/host/preview_window.h"

#include <gtest/gtest.h>

namespace {

using namespace previewtest;

constexpr UINT GrabDelayMs = 700;

struct Grab {
    HWND host = nullptr;
    int width = 0;
    int height = 0;
    Pixels pixels;
    HWND child = nullptr;
};
Grab grab;

// Reads the host back once the preview has painted, then removes the host as Windows would.
void CALLBACK grabAndClose(HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
    grab.child = FindWindowExW(grab.host, nullptr, nullptr, L"Preview Window");
    grab.pixels = grabWindow(grab.host, grab.width, grab.height);
    DestroyWindow(grab.host);
}

// Runs the preview inside a host of the given size until the timer removes the host.
Pixels previewIn(HostWindow& host, int width, int height) {
    grab = Grab{host.handle(), width, height, {}, nullptr};
    SetTimer(host.handle(), 1, GrabDelayMs, grabAndClose);
    runPreview(GetModuleHandleW(nullptr), host.handle());
    return grab.pixels;
}

TEST(PreviewPaint, AHostOfTheStillsSizeShowsTheStoredStillExactly) {
    Pixels still = storedStill();
    ASSERT_EQ(still.width, StillWidth) << "assets/preview.bmp could not be read";
    HostWindow host(200, 150, StillWidth, StillHeight);
    Pixels shown = previewIn(host, StillWidth, StillHeight);
    ASSERT_NE(grab.child, nullptr);
    ASSERT_EQ(shown.width, StillWidth);
    int worst = 0;
    for (int y = 0; y < StillHeight; ++y)
        for (int x = 0; x < StillWidth; ++x) worst = std::max(worst, channelDistance(shown.at(x, y), still.at(x, y)));
    EXPECT_EQ(worst, 0) << "the host does not show the stored still";
}

TEST(PreviewPaint, ALargerHostIsCoveredByTheScaledStill) {
    Pixels still = storedStill();
    ASSERT_EQ(still.width, StillWidth);
    constexpr int Width = StillWidth * 2, Height = StillHeight * 2;
    HostWindow host(100, 100, Width, Height);
    Pixels shown = previewIn(host, Width, Height);
    ASSERT_EQ(shown.width, Width);
    int hostPixels = 0, farOff = 0;
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x) {
            if (isHostColour(shown.at(x, y))) ++hostPixels;
            // Each still pixel covers a 2 × 2 block; the halftone filter blends edges a little.
            if (channelDistance(shown.at(x, y), still.at(x / 2, y / 2)) > 48) ++farOff;
        }
    }
    EXPECT_EQ(hostPixels, 0) << "part of the host is not covered";
    EXPECT_LT(farOff, Width * Height / 50) << "the picture does not follow the scaled still";
}

}  // namespace
