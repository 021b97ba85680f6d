#include "renderer/timing/frame_clock.h"

namespace {
// Seconds per millisecond, and milliseconds per second.
constexpr float SecondsPerMs = 0.001f;
constexpr uint64_t MsPerSecond = 1000;

// Counter value at which frame number `frame` of the run is due (wraps with the counter).
uint32_t deadlineOf(const FrameDeadlines& deadlines, uint64_t frame) {
    return deadlines.originMs + static_cast<uint32_t>(frame * MsPerSecond / deadlines.framesPerSecond);
}
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

// Signed distance, so that a deadline just past the counter's wrap still counts as ahead.
uint32_t FrameDeadlines::msUntilNextFrame(uint32_t nowMs) const {
    if (!started) return 0;
    const int32_t ahead = static_cast<int32_t>(deadlineOf(*this, frames) - nowMs);
    return ahead > 0 ? static_cast<uint32_t>(ahead) : 0;
}

// Deadlines are counted from an origin, so rounding never adds up; a frame later than a whole
// interval (the machine was busy, or the process was stopped) starts a new run instead of a burst
// of catch-up frames.
void FrameDeadlines::frameDrawn(uint32_t nowMs) {
    const uint32_t interval = static_cast<uint32_t>(MsPerSecond / framesPerSecond);
    const bool late = started && static_cast<int32_t>(nowMs - deadlineOf(*this, frames)) >
                                     static_cast<int32_t>(interval);
    if (!started || late) {
        originMs = nowMs;
        frames = 0;
        started = true;
    }
    ++frames;
}
