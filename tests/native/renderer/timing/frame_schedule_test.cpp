#include "renderer/timing/frame_schedule.h"

#include <gtest/gtest.h>

constexpr int64_t Second = 1000000, Period = Second / 60;  // microseconds

TEST(FramePacing, OnlyPresentsFarAboveTheRefreshRateAreHeldToItAndASlowFrameCausesNoBurst) {
    // Frames of drawUs to draw and present, and waits that last oversleepUs longer than asked.
    const struct { const char* what; int refreshHz; bool enabled; int64_t drawUs, oversleepUs; int low, high; } cases[] = {
        {"an unknown rate (1 Hz) means 60", 1, true, 3000, 0, 59, 61}, {"pacing switched off", 60, false, 3000, 0, 333, 334},
        {"presents 1.2 times the refresh rate", 60, true, 14000, 0, 71, 72}, {"waits that oversleep", 60, true, 2500, 900, 59, 61},
    };
    for (const auto& c : cases) {
        FramePacer pacer;
        startPacing(pacer, pacingRefreshHz(c.refreshHz), c.enabled);
        int frames = 0;
        for (int64_t now = 0, start = 0; now < Second; ++frames, start = now) {
            now += c.drawUs + waitAfterFrame(pacer, start, now + c.drawUs) + c.oversleepUs;
        }
        EXPECT_TRUE(frames >= c.low && frames <= c.high) << c.what << ": " << frames;
    }
    // Fast frames, a slow one (a close-up) and an overrun (a busy moment): still paced, and no burst after it.
    FramePacer pacer;
    startPacing(pacer, 60, true);
    for (int64_t n = 0, now = 0, start = 0; n < 11; ++n, start = now) {
        const int64_t drawUs = n == 8 ? 15000 : n == 9 ? 200000 : 3000;
        now += drawUs + waitAfterFrame(pacer, start, now + drawUs);
        EXPECT_EQ(now - start, drawUs > Period ? drawUs : Period) << "frame " << n;
    }
}

TEST(Visibility, DisplayAndSessionNotificationsDecideWhetherFramesAreDrawn) {
    // Display states and session events in turn, with whether the screen can be seen afterwards.
    const struct { bool display; uint32_t code; bool visible; } steps[] = {
        {true, DisplayStateDimmed, true}, {true, DisplayStateOff, false}, {false, SessionLock, false},
        {true, DisplayStateOn, false}, {false, SessionUnlock, true}, {false, SessionRemoteDisconnect, false},
        {false, SessionConsoleConnect, true},
    };
    Visibility visibility;
    for (const auto& step : steps) {
        step.display ? onDisplayState(visibility, step.code) : onSessionChange(visibility, step.code);
        EXPECT_EQ(screenVisible(visibility), step.visible) << &step - steps;
    }
}
