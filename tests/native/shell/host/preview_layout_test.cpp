#include "shell/host/preview_layout.h"

#include <gtest/gtest.h>

TEST(PreviewLayout, SizesAtEachResolutionHostsBeyondSixteenBitsClampedAndTheRate) {
    EXPECT_EQ(twipsPerPixel(96), 15);
    EXPECT_EQ(twipsPerPixel(120), 12);
    EXPECT_EQ(twipsPerPixel(0), 15);  // unknown: 96 dpi
    const struct { int width, height, perPixelX, perPixelY, widthTwips, heightTwips, widthPixels, heightPixels; } cases[] = {
        {152, 112, 15, 15, 2280, 1680, 152, 112},  // the system's monitor picture at 96 dpi
        {152, 112, 15, 12, 2280, 1344, 152, 112},
        {3000, 2500, 15, 15, 32767, 32767, 2184, 2184},  // 45000 twips do not fit into 16 bits
    };
    for (const auto& c : cases) {
        const PreviewSize s = previewSizeFor(c.width, c.height, c.perPixelX, c.perPixelY);
        EXPECT_TRUE(s.widthTwips == c.widthTwips && s.heightTwips == c.heightTwips && s.widthPixels == c.widthPixels &&
                    s.heightPixels == c.heightPixels) << &c - cases;
    }
    // Refresh rate, the saver's cap, frames per second: every n-th refresh, never above 30 a second.
    const uint32_t rates[][3] = {{0, 0, 30}, {1, 60, 30}, {24, 0, 24}, {60, 0, 30}, {60, 30, 30},
                                 {75, 0, 25}, {120, 60, 30}, {144, 30, 28}, {50, 0, 25}};
    for (const auto& r : rates) {
        EXPECT_EQ(previewFrameRate(r[0], static_cast<int32_t>(r[1])), r[2]) << r[0] << " Hz, cap " << r[1];
    }
}
