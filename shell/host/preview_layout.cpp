#include "shell/host/preview_layout.h"

#include <algorithm>
#include <cmath>

#include "renderer/timing/frame_rate.h"

namespace {

// Pixels to twips, held to the range of a 16-bit twips value.
int16_t toTwips(int pixels, int perPixel) {
    double twips = std::nearbyint(static_cast<double>(pixels) * perPixel);
    return static_cast<int16_t>(std::clamp(twips, -32768.0, 32767.0));
}

}  // namespace

// Twips per pixel at a screen resolution; 96 dots per inch where none is known.
int twipsPerPixel(int dotsPerInch) {
    return dotsPerInch > 0 ? std::max(1, TwipsPerInch / dotsPerInch) : TwipsPerInch / 96;
}

// The preview's size in twips and pixels for a host of the given size.
PreviewSize previewSizeFor(int width, int height, int twipsPerPixelX, int twipsPerPixelY) {
    PreviewSize size;
    size.widthTwips = toTwips(width, twipsPerPixelX);
    size.heightTwips = toTwips(height, twipsPerPixelY);
    size.widthPixels = std::max(0, size.widthTwips / twipsPerPixelX);
    size.heightPixels = std::max(0, size.heightTwips / twipsPerPixelY);
    return size;
}

// A slower display sets the pace: drawing frames it never shows would only cost processor time.
// On a known rate the preview shows every n-th refresh, as the saver does, rounded down to whole
// frames a second, the unit its deadlines count in.
uint32_t previewFrameRate(uint32_t refreshHz, int32_t capFps) {
    const int32_t cap = capFps > 0 && capFps < static_cast<int32_t>(PreviewFramesPerSecond)
                            ? capFps : static_cast<int32_t>(PreviewFramesPerSecond);
    if (refreshHz <= 1) return static_cast<uint32_t>(cap);
    const auto hz = static_cast<int32_t>(refreshHz);
    return static_cast<uint32_t>(hz / refreshesPerFrame(hz, cap));
}
