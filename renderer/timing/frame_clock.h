// The frame clock, the time of the last frame, and frame deadlines at a steady rate, both on a
// millisecond counter that may wrap.
#pragma once
#include <cstdint>

struct FrameClock {
    float dt = 0;          // duration of the last frame, seconds
    uint32_t last = 0;     // counter value of the previous tick, milliseconds
    bool started = false;  // false until the first tick has taken its start time

    // Measures the time since the previous tick; a counter that went backwards keeps the previous dt.
    void tick(uint32_t nowMs);
};

// Frame deadlines at an exact average rate: for a program that paces itself, where nothing holds
// its presents to the display.
struct FrameDeadlines {
    uint32_t framesPerSecond = 60;
    uint32_t originMs = 0;  // counter value of the first frame of the current run of deadlines
    uint64_t frames = 0;    // frames drawn since originMs
    bool started = false;   // false until the first frame

    // Milliseconds to wait before the next frame is due; 0 when it is due now.
    uint32_t msUntilNextFrame(uint32_t nowMs) const;
    // Notes that a frame was drawn at nowMs.
    void frameDrawn(uint32_t nowMs);
};
