#include "renderer/draw/glow_image.h"

#include <cmath>

namespace {
// Centre texel of the spot, and the distance per texel in units of the spot's radius.
constexpr int GlowCentre = 32;
constexpr float TexelStep = 0.03125f;
}

// Brightness falls with the square of (1 - distance), reaching 0 at 32 texels from the centre.
void buildGlowImage(uint8_t image[GlowImageSize * GlowImageSize]) {
    for (int i = 0; i < GlowImageSize; ++i) {
        for (int j = 0; j < GlowImageSize; ++j) {
            const float x = static_cast<float>(i - GlowCentre) * TexelStep;
            const float y = static_cast<float>(j - GlowCentre) * TexelStep;
            float v = 1.0f - std::sqrt(x * x + y * y);
            if (v < 0.0f) v = 0.0f;
            if (v > 1.0f) v = 1.0f;
            image[i * GlowImageSize + j] = static_cast<uint8_t>(v * v * 255.0f);
        }
    }
}

// Each level follows the one before it.
int glowMipmapOffset(int level) {
    int offset = 0;
    for (int n = 0; n < level; ++n) offset += (GlowImageSize >> n) * (GlowImageSize >> n);
    return offset;
}

// A box filter over powers of two: every texel of a level stands for a 2 x 2 block of the level above.
void buildGlowMipmaps(uint8_t chain[GlowMipmapTexels]) {
    buildGlowImage(chain);
    for (int level = 1; level < GlowMipmapLevels; ++level) {
        const int side = GlowImageSize >> level;
        const uint8_t* above = chain + glowMipmapOffset(level - 1);
        uint8_t* texels = chain + glowMipmapOffset(level);
        for (int i = 0; i < side; ++i) {
            for (int j = 0; j < side; ++j) {
                const uint8_t* block = above + 2 * i * (2 * side) + 2 * j;
                const int sum = block[0] + block[1] + block[2 * side] + block[2 * side + 1];
                texels[i * side + j] = static_cast<uint8_t>((sum + 2) / 4);
            }
        }
    }
}
