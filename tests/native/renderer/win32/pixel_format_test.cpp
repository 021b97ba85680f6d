#include "renderer/win32/pixel_format.h"

#include <gtest/gtest.h>

#include <vector>

TEST(PixelFormat, ChoosesByClassThenColourThenDepthAndKeepsTheEarlierOfEquals) {
    const uint32_t Good = PixelFlagSupportOpenGl | PixelFlagDrawToWindow | PixelFlagDoubleBuffer;
    const uint32_t Generic = Good | PixelFlagGenericFormat, Accelerated = Generic | PixelFlagGenericAccelerated;
    const int Rgba = PixelTypeRgba;
    // A caller's own rule: the deepest depth buffer wins.
    const PixelFormatScore Deepest = [](const PixelFormatCandidate& c) { return c.depthBits; };
    const PixelFormatScore Shallowest = scorePixelFormat;
    const struct { const char* what; std::vector<PixelFormatCandidate> formats; PixelFormatScore score; int chosen; } cases[] = {
        {"Wine's software formats, no depth wanted", {{1, Generic, Rgba, 24, 24}, {2, Generic, Rgba, 32, 24},
          {3, Generic, Rgba, 32, 0}, {4, Generic, Rgba, 32, 0}, {5, Generic, Rgba, 32, 32}, {6, Generic, Rgba, 24, 0}}, Shallowest, 3},
        {"the caller's rule decides", {{1, Generic, Rgba, 32, 0}, {2, Generic, Rgba, 16, 8}}, Deepest, 2},
        {"deep colour costs a little", {{1, Generic, Rgba, 24, 0}, {2, Generic, Rgba, 32, 32}}, Shallowest, 1},
        {"deeper colour beats a missing depth buffer", {{1, Good, Rgba, 16, 0}, {2, Good, Rgba, 32, 24}}, Shallowest, 2},
        {"accelerated beats generic", {{1, Generic, Rgba, 32, 0}, {2, Accelerated, Rgba, 16, 0}}, Shallowest, 2},
        {"a required property missing", {{1, PixelFlagSupportOpenGl | PixelFlagDrawToWindow, Rgba, 32, 0},
          {2, PixelFlagDrawToWindow | PixelFlagDoubleBuffer, Rgba, 32, 0}, {3, Good, 1 /* colour-index */, 32, 0}}, Shallowest, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(chooseBestPixelFormat(c.formats.data(), static_cast<int>(c.formats.size()), c.score), c.chosen) << c.what;
    }
}
