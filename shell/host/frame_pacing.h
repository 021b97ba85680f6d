// When the preview draws its next frame: a steady rate, no faster than the display, with sleeps between.
#pragma once

#include <cstdint>

// Frames per second of the preview where the display is at least as fast.
constexpr uint32_t PreviewFramesPerSecond = 30;

// The preview's frame rate for a display refreshing `refreshHz` times a second; 0 and 1 mean the
// system does not know (the driver's default), which counts as fast enough.
uint32_t previewFrameRate(uint32_t refreshHz);

// Frame deadlines at an exact average rate, on a millisecond counter that may wrap.
struct FramePacer {
    uint32_t framesPerSecond = PreviewFramesPerSecond;
    uint32_t originMs = 0;  // counter value of the first frame of the current run of deadlines
    uint64_t frames = 0;    // frames drawn since originMs
    bool started = false;   // false until the first frame

    // Milliseconds to sleep before the next frame is due; 0 when it is due now.
    uint32_t msUntilNextFrame(uint32_t nowMs) const;
    // Notes that a frame was drawn at nowMs.
    void frameDrawn(uint32_t nowMs);
};
