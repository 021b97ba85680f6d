#include "shell/host/frame_pacing.h"

namespace {
constexpr uint64_t MsPerSecond = 1000;

// Counter value at which frame number `frame` of the run is due (wraps with the counter).
uint32_t deadlineOf(const FramePacer& pacer, uint64_t frame) {
    return pacer.originMs + static_cast<uint32_t>(frame * MsPerSecond / pacer.framesPerSecond);
}
}  // namespace

// A slower display sets the pace: drawing frames it never shows would only cost processor time.
uint32_t previewFrameRate(uint32_t refreshHz) {
    return refreshHz > 1 && refreshHz < PreviewFramesPerSecond ? refreshHz : PreviewFramesPerSecond;
}

// Signed distance, so that a deadline just past the counter's wrap still counts as ahead.
uint32_t FramePacer::msUntilNextFrame(uint32_t nowMs) const {
    if (!started) return 0;
    const int32_t ahead = static_cast<int32_t>(deadlineOf(*this, frames) - nowMs);
    return ahead > 0 ? static_cast<uint32_t>(ahead) : 0;
}

// Deadlines are counted from an origin, so rounding never adds up; a frame later than a whole
// interval (the machine was busy, or the process was stopped) starts a new run instead of a burst
// of catch-up frames.
void FramePacer::frameDrawn(uint32_t nowMs) {
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
