#include "renderer/timing/frame_rate.h"

#include <gtest/gtest.h>

#include <cmath>

#include "renderer/timing/frame_schedule.h"

// Every reported rate with each choice: how many refreshes a frame stays up, and that the pacer then
// shows each frame for exactly that many refreshes, never more often than the choice allows.
TEST(FrameRate, EachChoiceShowsEveryFrameForWholeRefreshesAtEveryReportedRate) {
    // Reported Hz, then refreshes per frame for " 0", " 60" and " 30"; 0 and 1 Hz are paced as 60.
    const struct { int reportedHz, asDisplayAllows, sixty, thirty; } rates[] = {
        {0, 1, 1, 2},   {1, 1, 1, 2},   {50, 1, 1, 2},   {59, 1, 1, 2},   {60, 1, 1, 2},
        {75, 1, 2, 3},  {120, 1, 2, 4}, {144, 1, 3, 5},  {165, 1, 3, 6},  {240, 1, 4, 8},
    };
    constexpr int64_t Second = 1000000, DrawUs = 1000;  // microseconds; presents far faster than any display
    for (const auto& r : rates) {
        const int hz = pacingRefreshHz(r.reportedHz);
        for (const auto& [choice, refreshes] : {std::pair{0, r.asDisplayAllows}, {60, r.sixty}, {30, r.thirty}}) {
            const int n = refreshesPerFrame(hz, frameRateCap({choice, true, false}));
            EXPECT_EQ(n, refreshes) << r.reportedHz << " Hz, choice " << choice;
            FramePacer pacer;
            startPacing(pacer, hz, true, n);
            EXPECT_LT(std::fabs(pacer.periodUs - n * 1e6 / hz), 1.0) << r.reportedHz << " Hz, choice " << choice;
            int frames = 0;
            for (int64_t now = 0, start = 0; now < 2 * Second; ++frames, start = now) {
                now += DrawUs + waitAfterFrame(pacer, start, now + DrawUs);
                if (frames > 0) {
                    ASSERT_EQ(now - start, pacer.periodUs) << r.reportedHz << " Hz, choice " << choice;
                }
            }
            if (choice != 0) {
                EXPECT_LE(frames, 2 * choice + 1) << r.reportedHz << " Hz, choice " << choice;
            }
        }
    }
}

// On battery the saver keeps to 30 frames a second unless it is switched off; on mains the choice stands.
TEST(FrameRate, TheBatterySaverLowersTheCapOnlyOnBattery) {
    const struct { int choice; bool saver, onBattery; int cap; } cases[] = {
        {0, true, false, 0},  {60, true, false, 60}, {30, true, false, 30}, {0, true, true, 30},
        {60, true, true, 30}, {30, true, true, 30},  {0, false, true, 0},   {60, false, true, 60},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(frameRateCap({c.choice, c.saver, c.onBattery}), c.cap)
            << c.choice << (c.saver ? " saver" : " no saver") << (c.onBattery ? " on battery" : " on mains");
    }
    EXPECT_EQ(refreshesPerFrame(144, frameRateCap({0, true, true})), 5) << "28.8 frames a second at 144 Hz";
}

// Other numbers are the nearest choice, half-way up; the command line carries only what is not the default.
TEST(FrameRate, NumbersAndCommandLinesGiveTheNearestChoice) {
    const std::pair<double, int> numbers[] = {{-5, 0}, {0, 0}, {10, 0}, {14.9, 0}, {15, 30}, {29, 30}, {44, 30},
                                              {45, 60}, {61, 60}, {240, 60}, {NAN, 0}};
    for (const auto& [number, choice] : numbers) EXPECT_EQ(nearestFrameRate(number), choice) << number;
    const struct { const char* line; int choice; bool saver; } lines[] = {
        {"", 0, true},          {"/fps:30", 30, true},         {"/S /FPS:60 /Battery:0", 60, false},
        {"/fps:10", 0, true},   {"/fps:x /battery:x", 0, true}, {"x/fps:30 a/battery:0", 0, true},
        {"/fps:25 /battery:2", 30, true}, {"\"/fps:60\" /battery:0", 60, false}, {"/fps:30x", 0, true},
    };
    for (const auto& c : lines) {
        const FrameRateRule rule = frameRateRuleOf(c.line);
        EXPECT_TRUE(rule.choice == c.choice && rule.batterySaver == c.saver && !rule.onBattery)
            << c.line << ": " << rule.choice << " " << rule.batterySaver;
    }
    EXPECT_EQ(frameRateArguments(0, true), "");
    EXPECT_EQ(frameRateArguments(30, true), " /fps:30");
    EXPECT_EQ(frameRateArguments(50, false), " /fps:60 /battery:0");
    const FrameRateRule back = frameRateRuleOf(frameRateArguments(60, false).c_str());
    EXPECT_TRUE(back.choice == 60 && !back.batterySaver);
}
