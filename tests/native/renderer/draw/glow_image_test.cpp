#include "renderer/draw/glow_image.h"

#include <gtest/gtest.h>

#include <vector>

TEST(GlowImage, SpotFallsOffToABlackRimAndEachLevelIsTheRoundedMeanOfTheOneAbove) {
    std::vector<uint8_t> chain(GlowMipmapTexels, 0xAB);  // the black rim must be written too
    buildGlowMipmaps(chain.data());
    const struct { int i, j, value; } texels[] = {{32, 32, 255}, {32, 33, 239}, {33, 33, 232}, {32, 40, 143},
                                                  {40, 40, 106}, {32, 48, 63},  {32, 63, 0},   {0, 0, 0}};
    for (const auto& t : texels) EXPECT_EQ(chain[t.i * GlowImageSize + t.j], t.value) << t.i << "," << t.j;
    for (int level = 1, side = GlowImageSize / 2; level < GlowMipmapLevels; ++level, side /= 2) {
        const uint8_t* above = chain.data() + glowMipmapOffset(level - 1);
        for (int i = 0; i < side * side; ++i) {
            const uint8_t* block = above + i / side * 4 * side + i % side * 2;
            const int sum = block[0] + block[1] + block[2 * side] + block[2 * side + 1];
            ASSERT_EQ(chain[glowMipmapOffset(level) + i], (sum + 2) / 4) << "level " << level << ", texel " << i;
        }
    }
}
