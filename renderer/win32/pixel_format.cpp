#include "renderer/win32/pixel_format.h"

namespace {
// Flags a format must have all of.
constexpr uint32_t RequiredFlags = PixelFlagSupportOpenGl | PixelFlagDrawToWindow | PixelFlagDoubleBuffer;
// Colour depth above which deeper colour costs score (bits).
constexpr int PreferredColourBits = 16;
// Bonus for a hardware driver's own format, and for a generic but accelerated one.
constexpr int HardwareBonus = 2000;
constexpr int GenericAcceleratedBonus = 1000;
// Depth bits per point of score lost where no depth buffer is wanted: even 32 bits weigh no more
// than the step from 16 to 24 colour bits, so colour decides first.
constexpr int DepthBitsPerPoint = 8;
}  // namespace

// Colour beyond 16 bits is slightly penalised, depth costs a little, and hardware formats win by far.
int scorePixelFormat(const PixelFormatCandidate& c) {
    if ((c.flags & RequiredFlags) != RequiredFlags || c.pixelType != PixelTypeRgba) return -1;
    int score = c.colourBits - c.depthBits / DepthBitsPerPoint;
    if (c.colourBits > PreferredColourBits) score += (PreferredColourBits - c.colourBits) / 2;
    if (!(c.flags & PixelFlagGenericFormat)) {
        score += HardwareBonus;
    } else if (c.flags & PixelFlagGenericAccelerated) {
        score += GenericAcceleratedBonus;
    }
    return score;
}

// Only a strictly better score replaces the choice, so ties keep the lower index.
int chooseBestPixelFormat(const PixelFormatCandidate* candidates, int count, PixelFormatScore score) {
    int bestScore = 0;
    int chosen = 0;
    for (int n = 0; n < count; ++n) {
        const int points = score(candidates[n]);
        if (points > bestScore) {
            bestScore = points;
            chosen = candidates[n].index;
        }
    }
    return chosen;
}
