// The frame clock.
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
