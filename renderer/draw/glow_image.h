// The soft round glow spot that every particle sprite is textured with.
#pragma once
#include <cstdint>

// Side of the square luminance image (texels).
constexpr int GlowImageSize = 64;

// Fills the image row after row: row i, column j at image[i * GlowImageSize + j].
void buildGlowImage(uint8_t image[GlowImageSize * GlowImageSize]);
