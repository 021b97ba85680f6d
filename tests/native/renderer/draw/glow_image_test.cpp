// The glow spot's texels.
#include "renderer/draw/glow_image.h"

#include <gtest/gtest.h>

#include <vector>

TEST(GlowImage, TexelValuesFallOffToABlackRim) {
    struct Texel { int i, j, value; };
    const Texel listed[] = {{32, 32, 255}, {32, 33, 239}, {33, 33, 232}, {32, 40, 143},
                            {40, 40, 106}, {32, 48, 63},  {32, 63, 0},   {0, 0, 0}};
    std::vector<uint8_t> image(GlowImageSize * GlowImageSize, 0xAB);  // the black rim must be written too
    buildGlowImage(image.data());
    for (const Texel& t : listed) EXPECT_EQ(image[t.i * GlowImageSize + t.j], t.value) << t.i << "," << t.j;
}

// Every level keeps the brightness of the whole spot (a wrong stride or offset would not), the
// brightest 2 x 2 block averages into the next level's centre, and the chain ends in one texel.
TEST(GlowImage, MipmapLevelsKeepTheSpotsMeanBrightnessDownToOneTexel) {
    std::vector<uint8_t> chain(GlowMipmapTexels, 0xAB);
    buildGlowMipmaps(chain.data());
    auto levelMean = [&](int level) {
        const int side = GlowImageSize >> level;
        double sum = 0;
        for (int k = 0; k < side * side; ++k) sum += chain[glowMipmapOffset(level) + k];
        return sum / (side * side);
    };
    const double mean = levelMean(0);
    for (int level = 1; level < GlowMipmapLevels; ++level) EXPECT_NEAR(levelMean(level), mean, 1.0) << "level " << level;
    EXPECT_EQ(glowMipmapOffset(GlowMipmapLevels - 1), GlowMipmapTexels - 1) << "the 1 x 1 level is the last texel";
    // (255 + 239 + 239 + 232) / 4 = 241.25 at level 0's (32, 32) block.
    EXPECT_EQ(chain[glowMipmapOffset(1) + 16 * 32 + 16], 241);
    EXPECT_EQ(chain[glowMipmapOffset(1)], 0) << "the black rim stays black";
}
