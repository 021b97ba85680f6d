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
