// Scoring of the device's pixel formats, free of Win32: the caller describes each format.
#pragma once
#include <cstdint>

// Flag values as the Win32 pixel-format descriptor carries them (PFD_*).
enum PixelFlag : uint32_t {
    PixelFlagDoubleBuffer = 0x1, PixelFlagDrawToWindow = 0x4, PixelFlagSupportOpenGl = 0x20,
    PixelFlagGenericFormat = 0x40, PixelFlagGenericAccelerated = 0x1000,
};
// The descriptor's pixel type of an RGBA format (PFD_TYPE_RGBA).
constexpr int PixelTypeRgba = 0;

struct PixelFormatCandidate {
    int index;       // 1-based pixel-format number
    uint32_t flags;  // PixelFlag* bits
    int pixelType;   // PixelTypeRgba or another type
    int colourBits;
    int depthBits;
};

// A rule that scores one format: -1 where it cannot be used, otherwise higher is better.
using PixelFormatScore = int (*)(const PixelFormatCandidate& candidate);

// Score of one format, or -1 when it is not a double-buffered RGBA OpenGL window format. The
// drawing never tests depth, and a depth buffer makes a software rasterizer take its slower road,
// so every depth bit costs a little.
int scorePixelFormat(const PixelFormatCandidate& candidate);
// Index of the best-scoring format (the earlier one on equal scores), or 0 when none passes.
int chooseBestPixelFormat(const PixelFormatCandidate* candidates, int count, PixelFormatScore score = scorePixelFormat);
