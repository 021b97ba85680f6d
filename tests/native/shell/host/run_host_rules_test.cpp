#include "shell/host/run_host_rules.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(rendererArguments({}, 0), L"");
    const std::pair<int16_t, const wchar_t*> screens[] = {{ScreensEveryMonitor, L""}, {ScreensPrimaryOnly, L" /screens:primary"},
        {ScreensSpan, L" /screens:span"}, {ScreensOwnScenes, L" /screens:own"}, {4, L""}, {-1, L""}};
    for (const auto& [stored, option] : screens) EXPECT_EQ(rendererArguments({0, 0, "", stored}, 0), option) << stored;
    EXPECT_EQ(rendererArguments({0, 0, "", ScreensPrimaryOnly}, 0x1F4), L" /screens:primary /shell:500");
    ShellSettings own;
    own.screens = ScreensPrimaryOnly;
    own.scene.ParticleCount = 4000;
    own.scene.Colours = Palette::Cold;
    EXPECT_EQ(rendererArguments(own, 0x1F4), L" /screens:primary /shell:500 /scene:4000,10,10,10,10,3,3,2");
    own.frameRate = 30;
    own.batterySaver = false;
    EXPECT_EQ(rendererArguments(own, 0), L" /screens:primary /scene:4000,10,10,10,10,3,3,2 /fps:30 /battery:0");
    // The renderer watch: from the load time, ticks of (window found, process lives, time) and the watch's
    // answer to each. A slow renderer is waited for as long as its process lives, up to the bound.
    using W = WatchResult;
    struct Tick { bool found; bool lives; uint32_t atMs; WatchResult want; };
    const uint32_t bound = RendererShowBoundMs;
    const std::pair<uint32_t, std::vector<Tick>> runs[] = {
        {1000, {{false, true, 999 + bound, W::Waiting}, {true, true, 1100 + bound, W::Appeared},
                {true, true, 1150 + bound, W::Running}, {false, true, 1200 + bound, W::Gone}, {false, false, 1250 + bound, W::Gone}}},
        {0, {{false, true, 50, W::Waiting}, {false, true, 10000, W::Waiting} /* twice the former grace */,
             {true, true, 10050, W::Appeared}}},
        {0, {{false, true, 50, W::Waiting}, {false, false, 100, W::NeverShown}}},  // ended without a window
        {0, {{true, false, 50, W::Appeared}, {false, false, 100, W::Gone}}},  // a window seen as its process ends
        {0, {{false, true, 50, W::Waiting}, {false, true, bound, W::NeverShown}}},
        {0xFFFFFF00u, {{false, true, 0xFFFFFF80u, W::Waiting}, {false, true, 0x100, W::Waiting},
                       {false, true, 0xFFFFFF00u + bound, W::NeverShown}}},
    };
    for (const auto& [loadMs, ticks] : runs) {
        RendererWatch watch(loadMs);
        for (const Tick& t : ticks) EXPECT_EQ(watch.tick(t.found, t.lives, t.atMs), t.want) << "loaded at " << loadMs << ", tick at " << t.atMs;
    }
}
