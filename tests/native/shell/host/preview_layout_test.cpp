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
    const uint32_t rates[][2] = {{0, 30}, {1, 30}, {24, 24}, {60, 30}};  // refresh rate, frames per second
    for (const auto& r : rates) EXPECT_EQ(previewFrameRate(r[0]), r[1]) << r[0] << " Hz";
}
