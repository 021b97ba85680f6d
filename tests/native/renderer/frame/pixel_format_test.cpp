// Scoring of the device's pixel formats.
#include "renderer/frame/pixel_format.h"

#include <gtest/gtest.h>

TEST(PixelFormat, ScoresTiesFilterAndSoftwareOnlyDevices) {
    const uint32_t good = PixelFlagSupportOpenGl | PixelFlagDrawToWindow | PixelFlagDoubleBuffer;
    const uint32_t generic = good | PixelFlagGenericFormat;
    const PixelFormatCandidate hw16{1, good, PixelTypeRgba, 16, 16}, hw32{2, good, PixelTypeRgba, 32, 24};
    EXPECT_EQ(scorePixelFormat(hw32), 2072);
    EXPECT_EQ(scorePixelFormat(hw16), 2048);
    EXPECT_EQ(scorePixelFormat({3, generic, PixelTypeRgba, 32, 32}), 88);
    EXPECT_EQ(scorePixelFormat({4, generic | PixelFlagGenericAccelerated, PixelTypeRgba, 24, 24}), 1068);

    const PixelFormatCandidate hardware[] = {hw16, hw32, {3, good, PixelTypeRgba, 32, 24}};
    EXPECT_EQ(chooseBestPixelFormat(hardware, 3), 2);  // the best, and the earlier of two equals

    // A format missing one required property is never chosen, however deep; a device with
    // only generic, unaccelerated formats still gets the best of those.
    const PixelFormatCandidate software[] = {
        {1, PixelFlagSupportOpenGl | PixelFlagDrawToWindow, PixelTypeRgba, 32, 32},
        {2, PixelFlagDrawToWindow | PixelFlagDoubleBuffer, PixelTypeRgba, 32, 32},
        {3, good, 1 /* colour-index */, 32, 32},
        {4, generic, PixelTypeRgba, 16, 16},
        {5, generic, PixelTypeRgba, 32, 24},
    };
    EXPECT_EQ(chooseBestPixelFormat(software, 3), 0);
    EXPECT_EQ(chooseBestPixelFormat(software, 5), 5);
}
