// Scoring of the device's pixel formats.
#include "renderer/frame/pixel_format.h"

#include <gtest/gtest.h>

namespace {
const uint32_t Good = PixelFlagSupportOpenGl | PixelFlagDrawToWindow | PixelFlagDoubleBuffer;
const uint32_t Generic = Good | PixelFlagGenericFormat;
}  // namespace

TEST(PixelFormat, ScoresUnderBothDepthPreferences) {
    struct Case {
        PixelFormatCandidate format;
        int shallowest, deepest;
    };
    const Case cases[] = {
        {{1, Good, PixelTypeRgba, 32, 24}, 2021, 2072},
        {{2, Good, PixelTypeRgba, 16, 16}, 2014, 2048},
        {{3, Generic, PixelTypeRgba, 32, 32}, 20, 88},
        {{4, Generic, PixelTypeRgba, 32, 0}, 24, 24},
        {{5, Generic | PixelFlagGenericAccelerated, PixelTypeRgba, 24, 24}, 1017, 1068},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format.index);
        EXPECT_EQ(scorePixelFormat(c.format, DepthPreference::Shallowest), c.shallowest);
        EXPECT_EQ(scorePixelFormat(c.format, DepthPreference::Deepest), c.deepest);
    }
}

TEST(PixelFormat, ChoosesByClassThenColourThenDepthAndKeepsTheEarlierOfEquals) {
    // Like the software formats Wine lists: 32 and 24 colour bits, each with and without depth.
    const PixelFormatCandidate wine[] = {
        {1, Generic, PixelTypeRgba, 24, 24}, {2, Generic, PixelTypeRgba, 32, 24}, {3, Generic, PixelTypeRgba, 32, 0},
        {4, Generic, PixelTypeRgba, 32, 0},  {5, Generic, PixelTypeRgba, 32, 32}, {6, Generic, PixelTypeRgba, 24, 0},
    };
    EXPECT_EQ(chooseBestPixelFormat(wine, 6, DepthPreference::Shallowest), 3);
    EXPECT_EQ(chooseBestPixelFormat(wine, 6, DepthPreference::Deepest), 5);

    // Deeper colour beats a missing depth buffer; a hardware format beats every generic one.
    const PixelFormatCandidate hardware[] = {
        {1, Good, PixelTypeRgba, 16, 0}, {2, Good, PixelTypeRgba, 32, 24}, {3, Generic, PixelTypeRgba, 32, 0}};
    EXPECT_EQ(chooseBestPixelFormat(hardware, 3, DepthPreference::Shallowest), 2);

    // A format missing one required property is never chosen, however deep; a device with
    // only generic, unaccelerated formats still gets the best of those.
    const PixelFormatCandidate software[] = {
        {1, PixelFlagSupportOpenGl | PixelFlagDrawToWindow, PixelTypeRgba, 32, 0},
        {2, PixelFlagDrawToWindow | PixelFlagDoubleBuffer, PixelTypeRgba, 32, 0},
        {3, Good, 1 /* colour-index */, 32, 0},
        {4, Generic, PixelTypeRgba, 16, 16},
        {5, Generic, PixelTypeRgba, 32, 24},
    };
    EXPECT_EQ(chooseBestPixelFormat(software, 3), 0);
    EXPECT_EQ(chooseBestPixelFormat(software, 5), 5);
}
