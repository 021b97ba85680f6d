// The run host's music choice, close steps and renderer watch.
#include <gtest/gtest.h>

#include <vector>

#include "shell/host/run_host_rules.h"

namespace {

ShellSettings settingsOf(int16_t kind, const std::string& file) {
    ShellSettings s;
    s.musicSource = kind;
    s.musicFile = file;
    return s;
}

// The steps a plan asks for, named in a fixed order.
std::string steps(const LoadPlan& p) {
    return std::string(p.cdOpen ? "cd " : "") + (p.wavPlay ? "wav " : "") + (p.mp3Play ? "mp3 " : "") +
           (p.startMp3Timer ? "mp3-timer " : "") + (p.startCdTimer ? "cd-timer " : "");
}
std::string steps(const ClosePlan& p) {
    return std::string(p.stopCdAndTimer ? "cd " : "") + (p.wavStop ? "wav " : "") + (p.mp3Stop ? "mp3 " : "") +
           (p.showPointer ? "pointer " : "");
}

TEST(MusicChoice, SourceAndLastThreeLettersOfTheFile) {
    struct Case { int16_t kind; const char* file; const char* steps; };
    for (const Case& c : {Case{1, "C:\\m\\a.mp3", "cd cd-timer "}, Case{2, "C:\\m\\Song.Mp3", "mp3 mp3-timer "},
                          Case{2, "C:\\m\\loop.wav", "wav "}, Case{2, "xWAV", "wav "}, Case{2, "C:\\m\\tune.mid", ""},
                          Case{2, "C:\\m\\x.mp4", ""}, Case{2, "av", ""}, Case{2, "", ""}, Case{0, "a.mp3", ""},
                          Case{3, "a.mp3", ""}, Case{-1, "a.wav", ""}})
        EXPECT_EQ(steps(planLoad(settingsOf(c.kind, c.file))), c.steps) << c.kind << " " << c.file;
}

TEST(RendererCommandLine, ThePrimaryOnlyChoiceIsPassedOn) {
    ShellSettings settings;
    for (int16_t screens : {ScreensEveryMonitor, int16_t{7}}) {
        settings.screens = screens;
        EXPECT_EQ(rendererArguments(settings), L"");
    }
    settings.screens = ScreensPrimaryOnly;
    EXPECT_EQ(rendererArguments(settings), L" /screens:primary");
}

TEST(CloseSteps, MusicStopsAndPointer) {
    EXPECT_EQ(steps(planClose(true, true, settingsOf(1, ""), L'S')), "cd pointer ");
    EXPECT_EQ(steps(planClose(true, false, settingsOf(1, ""), L'S')), "pointer ") << "CD control that ended is left alone";
    EXPECT_EQ(steps(planClose(true, false, settingsOf(2, "a.WAV"), 0)), "wav ") << "an empty command line never hid it";
    EXPECT_EQ(steps(planClose(true, false, settingsOf(2, "a.mp3"), L'C')), "mp3 ");
    EXPECT_EQ(steps(planClose(true, false, settingsOf(1, "a.mp3"), 0)), "");
    EXPECT_EQ(steps(planClose(false, false, settingsOf(2, "a.mp3"), L'S')), "pointer ")
        << "no renderer window ever appeared, so no music was started";
}

// The watch's answers tick by tick: (window found, time) -> result.
TEST(RendererWatch, MusicAtTheFirstSightingThenTheFirstMissEndsAndNoWindowInTheGracePeriodFails) {
    struct Tick { bool found; uint32_t atMs; WatchResult want; };
    struct Case { const char* name; uint32_t loadMs; std::vector<Tick> ticks; };
    const uint32_t grace = RendererGraceMs;
    const Case cases[] = {
        {"slow start", 1000, {{false, 1050, WatchResult::Waiting}, {false, 1000 + grace - 1, WatchResult::Waiting},
                              {true, 1000 + grace + 100, WatchResult::Appeared}, {true, 1000 + grace + 150, WatchResult::Running},
                              {false, 1000 + grace + 200, WatchResult::Gone}}},
        {"gone at once", 0, {{true, 50, WatchResult::Appeared}, {false, 100, WatchResult::Gone}}},
        {"never shown", 0, {{false, 50, WatchResult::Waiting}, {false, grace, WatchResult::NeverShown}}},
        {"across the tick count's wrap", 0xFFFFFF00u,
         {{false, 0x00000100u, WatchResult::Waiting}, {false, 0xFFFFFF00u + grace, WatchResult::NeverShown}}},
    };
    for (const Case& c : cases) {
        RendererWatch watch(c.loadMs);
        for (size_t i = 0; i < c.ticks.size(); ++i)
            EXPECT_EQ(watch.tick(c.ticks[i].found, c.ticks[i].atMs), c.ticks[i].want) << c.name << ", tick " << i;
    }
}

}  // namespace
