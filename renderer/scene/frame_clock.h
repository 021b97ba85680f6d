// The frame clock: the time of the last frame, from a millisecond counter that may wrap.
#pragma once
#include <cstdint>

struct FrameClock {
    float dt = 0;          // duration of the last frame, seconds
    uint32_t last = 0;     // counter value of the previous tick, milliseconds
    bool started = false;  // false until the first tick has taken its start time

    // Measures the time since the previous tick; a counter that went backwards keeps the previous dt.
    void tick(uint32_t nowMs);
};
