// Pacing to the display and pausing while no one can see the screen.
#include "renderer/frame/frame_schedule.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

namespace {
constexpr int64_t Second = 1000000;  // microseconds

// Frames a loop shows in one second when a frame started at `start` takes drawUs(start) to draw and
// present, and each wait the pacer asks for lasts as long as the system makes it (waitAs).
int framesInASecond(FramePacer& pacer, const std::function<int64_t(int64_t)>& drawUs,
                    const std::function<int64_t(int64_t)>& waitAs = [](int64_t us) { return us; }) {
    int64_t now = 0;
    int frames = 0;
    while (now < Second) {
        const int64_t start = now;
        now += drawUs(start);
        now += waitAs(waitAfterFrame(pacer, start, now));
        ++frames;
    }
    return frames;
}

// A driver that draws in 3 ms and then holds the present until the display's next refresh.
int64_t presentOnRefresh(int64_t start) {
    constexpr int64_t Period = Second / 60;
    const int64_t drawn = start + 3000;
    return drawn + (Period - drawn % Period) % Period - start;
}
}  // namespace

TEST(FramePacing, UnknownRefreshRatesMeanSixtyHertz) {
    EXPECT_EQ(pacingRefreshHz(0), 60);
    EXPECT_EQ(pacingRefreshHz(1), 60);
    EXPECT_EQ(pacingRefreshHz(75), 75);
    EXPECT_EQ(pacingRefreshHz(144), 144);
}

TEST(FramePacing, OnlyPresentsFarAboveTheRefreshRateAreHeldToIt) {
    struct Case {
        const char* what;
        int refreshHz;
        bool enabled;
        std::function<int64_t(int64_t)> drawUs;
        int low, high;  // frames in the second
    };
    auto takes = [](int64_t us) { return [us](int64_t) { return us; }; };
    const Case cases[] = {
        {"fast driver, 60 Hz", 60, true, takes(3000), 59, 61},
        {"fast driver, 75 Hz", 75, true, takes(3000), 74, 76},
        {"pacing switched off", 60, false, takes(3000), 333, 334},
        {"presents 1.4 times the refresh rate", 60, true, takes(12000), 59, 61},
        {"presents 1.2 times the refresh rate: left alone", 60, true, takes(14000), 71, 72},
        {"slower than the display: left alone", 60, true, takes(25000), 40, 40},
        {"a driver that waits for the display loses no frame", 60, true, presentOnRefresh, 60, 61},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FramePacer pacer;
        startPacing(pacer, c.refreshHz, c.enabled);
        const int frames = framesInASecond(pacer, c.drawUs);
        EXPECT_GE(frames, c.low);
        EXPECT_LE(frames, c.high);
    }
}

// The system's timers round and overshoot; deadlines a whole period apart keep the rate.
TEST(FramePacing, WaitsRoundedToMillisecondsOrOvershootingStillGiveTheRefreshRate) {
    FramePacer pacer;
    startPacing(pacer, 60, true);
    EXPECT_NEAR(framesInASecond(pacer, [](int64_t) { return 2500; },
                                [](int64_t us) { return (us + 500) / 1000 * 1000; }),
                60, 1);
    startPacing(pacer, 60, true);
    EXPECT_NEAR(framesInASecond(pacer, [](int64_t) { return 2500; }, [](int64_t us) { return us + 900; }), 60, 1);
}

// A frame that overruns (a close-up, a busy moment) is followed by paced frames, not by a burst
// that catches up, and does not switch pacing off.
TEST(FramePacing, AnOverrunFrameRestartsTheCountInsteadOfCatchingUp) {
    FramePacer pacer;
    startPacing(pacer, 60, true);
    int64_t now = 0;
    for (int frame = 0; frame < 10; ++frame) {
        const int64_t start = now;
        now += 3000;
        now += waitAfterFrame(pacer, start, now);
    }
    const int64_t start = now;
    now += 200000;  // one frame of 200 ms, far from the usual 3 ms
    EXPECT_EQ(waitAfterFrame(pacer, start, now), 0);
    const int64_t next = now;
    now += 3000;
    EXPECT_EQ(waitAfterFrame(pacer, next, now), Second / 60 - 3000) << "the next frame is due a period after the overrun";
}

TEST(Visibility, DisplayAndSessionNotificationsDecideWhetherFramesAreDrawn) {
    struct Step {
        const char* what;
        std::function<void(Visibility&)> event;
        bool visible;
    };
    const Step steps[] = {
        {"display dimmed", [](Visibility& v) { onDisplayState(v, DisplayStateDimmed); }, true},
        {"display off", [](Visibility& v) { onDisplayState(v, DisplayStateOff); }, false},
        {"session locked while off", [](Visibility& v) { onSessionChange(v, SessionLock); }, false},
        {"display on, still locked", [](Visibility& v) { onDisplayState(v, DisplayStateOn); }, false},
        {"unlocked", [](Visibility& v) { onSessionChange(v, SessionUnlock); }, true},
        {"remote session disconnected", [](Visibility& v) { onSessionChange(v, SessionRemoteDisconnect); }, false},
        {"a logon event changes nothing", [](Visibility& v) { onSessionChange(v, 0x5); }, false},
        {"connected at the console", [](Visibility& v) { onSessionChange(v, SessionConsoleConnect); }, true},
        {"console disconnected", [](Visibility& v) { onSessionChange(v, SessionConsoleDisconnect); }, false},
        {"remote connect", [](Visibility& v) { onSessionChange(v, SessionRemoteConnect); }, true},
    };
    Visibility visibility;
    EXPECT_TRUE(screenVisible(visibility));
    for (const Step& step : steps) {
        step.event(visibility);
        EXPECT_EQ(screenVisible(visibility), step.visible) << step.what;
    }
}
