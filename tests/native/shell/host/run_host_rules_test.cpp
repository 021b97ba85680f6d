#include "shell/host/run_host_rules.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

// The steps a plan asks for, named in a fixed order.
static std::string steps(const LoadPlan& p) {
    return std::string(p.cdOpen ? "cd " : "") + (p.startCdTimer ? "cd-timer " : "") + (p.wavPlay ? "wav " : "") +
           (p.mp3Play ? "mp3 " : "") + (p.startMp3Timer ? "mp3-timer " : "");
}
static std::string steps(const ClosePlan& p) {
    return std::string(p.stopCdAndTimer ? "cd " : "") + (p.wavStop ? "wav " : "") + (p.mp3Stop ? "mp3 " : "") + (p.showPointer ? "pointer " : "");
}

TEST(RunHost, MusicByTheSourceAndTheFilesLastThreeLettersStoppedAtTheCloseAndTheRendererWatch) {
    const struct { int16_t source; const char* file; const char* steps; } loads[] = {
        {1, "C:\\m\\a.mp3", "cd cd-timer "}, {2, "C:\\m\\Song.Mp3", "mp3 mp3-timer "}, {2, "xWAV", "wav "},
        {2, "C:\\m\\tune.mid", ""}, {2, "av", ""}, {0, "a.mp3", ""}, {3, "a.mp3", ""},
    };
    for (const auto& c : loads) EXPECT_EQ(steps(planLoad({c.source, 0, c.file})), c.steps) << c.source << " " << c.file;
    EXPECT_EQ(steps(planClose(true, true, {1, 0, ""}, L'S')), "cd pointer ");
    EXPECT_EQ(steps(planClose(true, false, {1, 0, "a.mp3"}, L'S')), "pointer ") << "CD control that ended is left alone";
    EXPECT_EQ(steps(planClose(true, false, {2, 0, "a.WAV"}, 0)), "wav ") << "an empty command line never hid it";
    EXPECT_EQ(steps(planClose(true, false, {2, 0, "a.mp3"}, L'C')), "mp3 ");
    EXPECT_EQ(steps(planClose(false, false, {2, 0, "a.mp3"}, L'S')), "pointer ") << "no music was started";
    EXPECT_TRUE(rendererArguments({}) == L"" && rendererArguments({0, 0, "", ScreensPrimaryOnly}) == L" /screens:primary");
    // The renderer watch: from the load time, ticks of (window found, time) and the watch's answer to each.
    using W = WatchResult;
    struct Tick { bool found; uint32_t atMs; WatchResult want; };
    const uint32_t grace = RendererGraceMs;
    const std::pair<uint32_t, std::vector<Tick>> runs[] = {
        {1000, {{false, 999 + grace, W::Waiting}, {true, 1100 + grace, W::Appeared}, {true, 1150 + grace, W::Running},
                {false, 1200 + grace, W::Gone}, {false, 1250 + grace, W::Gone}}},
        {0, {{false, 50, W::Waiting}, {false, grace, W::NeverShown}}},
        {0xFFFFFF00u, {{false, 0xFFFFFF80u, W::Waiting}, {false, 0x100, W::Waiting}, {false, 0xFFFFFF00u + grace, W::NeverShown}}},
    };
    for (const auto& [loadMs, ticks] : runs) {
        RendererWatch watch(loadMs);
        for (const Tick& t : ticks) EXPECT_EQ(watch.tick(t.found, t.atMs), t.want) << "loaded at " << loadMs << ", tick at " << t.atMs;
    }
}

// The end of a run waits for the music's stop, but never longer than its bound.
TEST(RunHost, TheMusicsStopIsWaitedForOnlyUpToItsBound) {
    using Clock = std::chrono::steady_clock;
    const struct { const char* what; bool blocks; } stops[] = {{"a stop that returns", false},
                                                              {"a stop that never returns by itself", true}};
    for (const auto& stop : stops) {
        std::atomic<bool> released{false};
        bool lateCalled = false;
        long lateAtMs = -1;
        const auto start = Clock::now();
        const auto sinceStartMs = [&] {
            return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
        };
        runWithin(
            MusicStopBoundMs,
            [&, blocks = stop.blocks] {
                while (blocks && !released) std::this_thread::sleep_for(std::chrono::milliseconds(5));
            },
            [&] {
                lateCalled = true;
                lateAtMs = sinceStartMs();
                released = true;  // in the shell the process ends here
            });
        EXPECT_EQ(lateCalled, stop.blocks) << stop.what;
        if (stop.blocks) {
            EXPECT_GE(lateAtMs, static_cast<long>(MusicStopBoundMs)) << "gave up before the bound";
            EXPECT_LT(lateAtMs, static_cast<long>(MusicStopBoundMs) + 400) << "waited past the bound";
        } else {
            EXPECT_LT(sinceStartMs(), 400) << "a stop that returned was waited for";
        }
    }
}
