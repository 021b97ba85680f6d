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

// How the depth buffer counts. The drawing never tests depth, and a depth buffer makes a software
// rasterizer take its slower road, so the renderer prefers none (Shallowest); Deepest is the earlier
// rule (2 points per bit), kept so that the earlier drawing can be measured as it ran.
enum class DepthPreference { Shallowest, Deepest };

// Score of one format, or -1 when it is not a double-buffered RGBA OpenGL window format.
int scorePixelFormat(const PixelFormatCandidate& candidate, DepthPreference depth = DepthPreference::Shallowest);
// Index of the best-scoring format (the earlier one on equal scores), or 0 when none passes.
int chooseBestPixelFormat(const PixelFormatCandidate* candidates, int count,
                          DepthPreference depth = DepthPreference::Shallowest);
