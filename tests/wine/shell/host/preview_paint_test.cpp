// What the preview window paints, read back from its host: the preview code runs in this
// process with the shell's own still, inside test host windows.
#include "shell/host/preview_pixels.h"
#include "shell/host/preview_window.h"

#include <gtest/gtest.h>

namespace {

using namespace previewtest;

constexpr UINT GrabDelayMs = 700;
constexpr int LitLevel = 64;  // brightest channel of a pixel that shows a particle or its trail

HWND grabbedHost;
SIZE grabbedSize;
Pixels grabbed;

// Reads the host back once the preview has painted, then removes the host as Windows would.
void CALLBACK grabAndClose(HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
    grabbed = grabWindow(grabbedHost, grabbedSize.cx, grabbedSize.cy);
    DestroyWindow(grabbedHost);
}

TEST(PreviewPaint, TheHostShowsTheStillScaledToItsSize) {
    Pixels still = storedStill();
    ASSERT_EQ(still.width, StillWidth) << "assets/preview.bmp could not be read";
    // At its own size the still is copied exactly; at twice the size each still pixel covers
    // a 2 × 2 block, and the halftone filter blends the block edges a little.
    for (int scale : {1, 2}) {
        grabbedSize = SIZE{StillWidth * scale, StillHeight * scale};
        HostWindow host(100, 100, grabbedSize.cx, grabbedSize.cy);
        grabbedHost = host.handle();
        SetTimer(grabbedHost, 1, GrabDelayMs, grabAndClose);
        runPreview(GetModuleHandleW(nullptr), grabbedHost);
        ASSERT_EQ(grabbed.width, grabbedSize.cx);

        // Each lit pixel of the still is compared with the mean of the block it was scaled to
        // (the still is mostly black, so black pixels would prove little).
        const int tolerance = scale == 1 ? 0 : 64;
        int hostPixels = 0, offPixels = 0, litPixels = 0;
        for (int y = 0; y < grabbedSize.cy; ++y)
            for (int x = 0; x < grabbedSize.cx; ++x) hostPixels += isHostColour(grabbed.at(x, y));
        for (int y = 0; y < StillHeight; ++y) {
            for (int x = 0; x < StillWidth; ++x) {
                int sum[3] = {0, 0, 0};
                for (int dy = 0; dy < scale; ++dy) {
                    for (int dx = 0; dx < scale; ++dx) {
                        const RGBQUAD& q = grabbed.at(x * scale + dx, y * scale + dy);
                        sum[0] += q.rgbRed, sum[1] += q.rgbGreen, sum[2] += q.rgbBlue;
                    }
                }
                RGBQUAD mean{};
                mean.rgbRed = static_cast<BYTE>(sum[0] / (scale * scale));
                mean.rgbGreen = static_cast<BYTE>(sum[1] / (scale * scale));
                mean.rgbBlue = static_cast<BYTE>(sum[2] / (scale * scale));
                const RGBQUAD& want = still.at(x, y);
                if (std::max({want.rgbRed, want.rgbGreen, want.rgbBlue}) < LitLevel) continue;
                ++litPixels;
                offPixels += channelDistance(mean, want) > tolerance;
            }
        }
        EXPECT_EQ(hostPixels, 0) << "part of the host is not covered at scale " << scale;
        EXPECT_GT(litPixels, StillWidth * StillHeight / 20) << "the still shows too little";
        EXPECT_LE(offPixels, scale == 1 ? 0 : litPixels / 10)
            << "the picture does not follow the still at scale " << scale;
    }
}

}  // namespace
