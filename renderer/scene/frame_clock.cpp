#include "renderer/scene/frame_clock.h"

namespace {
// Seconds per millisecond.
constexpr float SecondsPerMs = 0.001f;
}

// The very first tick measures from itself, so the first frame runs with dt close to 0.
void FrameClock::tick(uint32_t nowMs) {
    if (!started) {
        last = nowMs;
        started = true;
    }
    const uint32_t previous = last;
    last = nowMs;
    if (nowMs >= previous) dt = static_cast<float>(nowMs - previous) * SecondsPerMs;
}
