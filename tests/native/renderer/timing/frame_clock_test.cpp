#include "renderer/timing/frame_clock.h"

#include <gtest/gtest.h>

TEST(FrameClock, FrameTimesAndDeadlinesOnACounterThatWraps) {
    FrameClock clock;  // the first tick measures near zero; a wrap keeps the previous frame time
    const struct { uint32_t nowMs; float dt; } ticks[] = {{5000, 0}, {5016, 0.016f}, {5026, 0.01f}, {20, 0.01f}, {45, 0.025f}, {45, 0}};
    for (const auto& t : ticks) EXPECT_FLOAT_EQ((clock.tick(t.nowMs), clock.dt), t.dt) << t.nowMs;
    // Deadlines give the rate exactly: {frames per second, start, oversleep per wait (a 15.6 ms system timer)}.
    const uint32_t cases[][3] = {{30, 0, 0}, {30, 0, 15}, {24, 0, 0}, {30, 0xFFFFF000u, 0}, {30, 0xFFFFF000u, 15}};
    for (const auto& c : cases) {
        FrameDeadlines pacer{c[0]};
        int frames = 0;
        for (uint32_t now = c[1]; now - c[1] < 10000; now += 1, ++frames) {  // a frame takes a millisecond
            while (const uint32_t wait = pacer.msUntilNextFrame(now)) now += wait + c[2];
            pacer.frameDrawn(now);
        }
        EXPECT_NEAR(frames, static_cast<int>(c[0]) * 10, 1) << c[0] << " fps from " << c[1] << ", oversleeping " << c[2];
    }
    FrameDeadlines pacer{30};  // each frame waits a whole interval, across the wrap and after a stall
    pacer.frameDrawn(0xFFFFFFF0u);
    EXPECT_EQ(pacer.msUntilNextFrame(0xFFFFFFFFu), 18u);
    pacer.frameDrawn(5000);  // seconds late
    EXPECT_TRUE(pacer.msUntilNextFrame(5000) == 33u && pacer.msUntilNextFrame(5040) == 0u) << "no burst to catch up";
}
