// The preview window's rules: host pixels to twips and back, as the shell's
// 16-bit window geometry holds them, and the rate its animation is drawn at.
#pragma once

#include <cstdint>

constexpr int TwipsPerInch = 1440;

struct PreviewSize {
    int16_t widthTwips = 0;
    int16_t heightTwips = 0;
    int widthPixels = 0;
    int heightPixels = 0;
};

// Twips per pixel for a display of `dotsPerInch` (15 at 96 dpi); never below 1.
int twipsPerPixel(int dotsPerInch);

// The preview's size for a host client area of `width` × `height` pixels. Twips are rounded to the
// nearest integer and clamped to the 16-bit range, so a host wider than 32767 twips gets the
// widest preview that 16 bits can hold instead of a wrapped, negative one.
PreviewSize previewSizeFor(int width, int height, int twipsPerPixelX, int twipsPerPixelY);

// Frames per second of the preview where the display is at least as fast.
constexpr uint32_t PreviewFramesPerSecond = 30;

// The preview's frame rate for a display refreshing `refreshHz` times a second, within the saver's
// cap (frames a second, 0 none): each frame stays up for whole refreshes. 0 and 1 Hz mean the
// system does not know (the driver's default), which counts as fast enough.
uint32_t previewFrameRate(uint32_t refreshHz, int32_t capFps);
