// The frame clock and the frame deadlines.
#include "renderer/scene/frame_clock.h"

#include <gtest/gtest.h>

TEST(FrameClock, FirstTickNearZeroAndWrapKeepsThePreviousFrameTime) {
    const struct { uint32_t nowMs; float dt; } ticks[] = {
        {5000, 0.0f}, {5016, 0.016f}, {5026, 0.01f}, {20, 0.01f} /* the counter wrapped */, {45, 0.025f},
        {45, 0.0f} /* no time passed */};
    FrameClock clock;
    for (const auto& tick : ticks) {
        clock.tick(tick.nowMs);
        EXPECT_FLOAT_EQ(clock.dt, tick.dt) << tick.nowMs;
    }
}

namespace {

// Runs a pacer that sleeps exactly as told, plus `extraSleepMs` of oversleep per wait (a coarse
// system timer), for `durationMs`; returns the number of frames drawn.
int framesDrawn(uint32_t framesPerSecond, uint32_t startMs, uint32_t durationMs, uint32_t extraSleepMs) {
    FrameDeadlines pacer;
    pacer.framesPerSecond = framesPerSecond;
    int frames = 0;
    for (uint32_t now = startMs; now - startMs < durationMs;) {
        const uint32_t wait = pacer.msUntilNextFrame(now);
        if (wait > 0) {
            now += wait + extraSleepMs;
            continue;
        }
        pacer.frameDrawn(now);
        ++frames;
        now += 1;  // the frame itself takes a millisecond
    }
    return frames;
}

}  // namespace

TEST(FrameDeadlines, TenSecondsGiveTheRateExactlyWhateverTheTimerDoes) {
    const struct { uint32_t framesPerSecond, startMs, extraSleepMs; } cases[] = {
        {30, 0, 0},
        {30, 0, 15},            // a 15.6 ms system timer oversleeps every wait
        {24, 0, 0},
        {30, 0xFFFFF000u, 0},   // the millisecond counter wraps during the run
        {30, 0xFFFFF000u, 15},
    };
    for (const auto& c : cases) {
        const int frames = framesDrawn(c.framesPerSecond, c.startMs, 10000, c.extraSleepMs);
        EXPECT_NEAR(frames, static_cast<int>(c.framesPerSecond) * 10, 1)
            << c.framesPerSecond << " fps from " << c.startMs << " oversleeping " << c.extraSleepMs;
    }
}

TEST(FrameDeadlines, ALongStallIsNotMadeUpWithABurst) {
    FrameDeadlines pacer;
    pacer.framesPerSecond = 30;
    pacer.frameDrawn(1000);
    EXPECT_EQ(pacer.msUntilNextFrame(1000), 33u);
    EXPECT_EQ(pacer.msUntilNextFrame(1020), 13u);
    pacer.frameDrawn(5000);  // four seconds late
    EXPECT_EQ(pacer.msUntilNextFrame(5000), 33u) << "the next frame must wait a whole interval again";
    EXPECT_EQ(pacer.msUntilNextFrame(5040), 0u);
}
