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
