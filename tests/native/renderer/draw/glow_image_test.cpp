#include "renderer/draw/glow_image.h"

#include <gtest/gtest.h>

#include <vector>

// Mean brightness of one mipmap level.
static double levelMean(const uint8_t* level, int side) {
    double sum = 0;
    for (int i = 0; i < side * side; ++i) sum += level[i];
    return sum / (side * side);
}

TEST(GlowImage, SpotFallsOffToABlackRimAndSmallerLevelsKeepItsBrightness) {
    std::vector<uint8_t> chain(GlowMipmapTexels, 0xAB);  // the black rim must be written too
    buildGlowMipmaps(chain.data());
    const struct { int level, i, j, value; } texels[] = {
        {0, 32, 32, 255}, {0, 32, 33, 239}, {0, 33, 33, 232}, {0, 32, 40, 143}, {0, 40, 40, 106}, {0, 32, 48, 63},
        {0, 32, 63, 0}, {0, 0, 0, 0},
        // The rounded mean of the four texels above: 965 / 4, 915 / 4 and 594 / 4, where truncating would lose one.
        {1, 16, 16, 241}, {1, 16, 15, 229}, {1, 16, 12, 149}, {1, 0, 0, 0},
    };
    for (const auto& t : texels) {
        const int side = GlowImageSize >> t.level;
        EXPECT_EQ(chain[glowMipmapOffset(t.level) + t.i * side + t.j], t.value) << "level " << t.level << ", " << t.i << "," << t.j;
    }
    // A sprite seen from afar must glow as brightly on the whole as one seen close up.
    const double fullMean = levelMean(chain.data(), GlowImageSize);
    for (int level = 1, side = GlowImageSize / 2; level < GlowMipmapLevels; ++level, side /= 2) {
        EXPECT_NEAR(levelMean(chain.data() + glowMipmapOffset(level), side), fullMean, 0.4) << "level " << level;
    }
    EXPECT_NEAR(chain[glowMipmapOffset(GlowMipmapLevels - 1)], fullMean, 3.0) << "the last level is one texel";
}
