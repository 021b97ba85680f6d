// The soft round glow spot that every particle sprite is textured with, and its mipmap chain.
#pragma once
#include <cstdint>

// Side of the square luminance image (texels).
constexpr int GlowImageSize = 64;
// Levels of the mipmap chain, 64 x 64 down to 1 x 1.
constexpr int GlowMipmapLevels = 7;
// Texels of the whole chain: 64² + 32² + ... + 1².
constexpr int GlowMipmapTexels = 5461;

// Fills the image row after row: row i, column j at image[i * GlowImageSize + j].
void buildGlowImage(uint8_t image[GlowImageSize * GlowImageSize]);

// Fills the chain with the glow image followed by each smaller level, every texel the rounded mean
// of the 2 x 2 texels above it; level n is (GlowImageSize >> n) texels square and starts at
// glowMipmapOffset(n).
void buildGlowMipmaps(uint8_t chain[GlowMipmapTexels]);
// Where level n starts in the chain (texels).
int glowMipmapOffset(int level);
