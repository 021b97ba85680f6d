#include "shell/host/preview_layout.h"

#include <gtest/gtest.h>

TEST(PreviewLayout, TheSystemMonitorPictureAt96Dpi) {
    PreviewSize s = previewSizeFor(152, 112, twipsPerPixel(96), twipsPerPixel(96));
    EXPECT_EQ(s.widthTwips, 2280);
    EXPECT_EQ(s.heightTwips, 1680);
    EXPECT_EQ(s.widthPixels, 152);
    EXPECT_EQ(s.heightPixels, 112);
}

TEST(PreviewLayout, OtherDpiAndEmptyHosts) {
    EXPECT_EQ(twipsPerPixel(96), 15);
    EXPECT_EQ(twipsPerPixel(120), 12);
    EXPECT_EQ(twipsPerPixel(144), 10);
    EXPECT_EQ(twipsPerPixel(0), 15);
    PreviewSize s = previewSizeFor(0, 0, 15, 15);
    EXPECT_EQ(s.widthPixels, 0);
    EXPECT_EQ(s.heightPixels, 0);
}

TEST(PreviewLayout, HostsBeyondSixteenBitsAreClampedNotWrapped) {
    // 3000 px × 15 = 45000 twips, which a 16-bit value cannot hold.
    PreviewSize s = previewSizeFor(3000, 2500, 15, 15);
    EXPECT_EQ(s.widthTwips, 32767);
    EXPECT_EQ(s.widthPixels, 2184);
    EXPECT_EQ(s.heightPixels, 2184);
    PreviewSize edge = previewSizeFor(2184, 2185, 15, 15);
    EXPECT_EQ(edge.widthPixels, 2184);
    EXPECT_EQ(edge.heightPixels, 2184);
}

TEST(PreviewLayout, RateFollowsASlowerDisplayOnly) {
    const struct { uint32_t refreshHz, framesPerSecond; } cases[] = {
        {0, 30}, {1, 30}, {24, 24}, {29, 29}, {30, 30}, {60, 30}, {144, 30},
    };
    for (const auto& c : cases) EXPECT_EQ(previewFrameRate(c.refreshHz), c.framesPerSecond) << c.refreshHz << " Hz";
}
