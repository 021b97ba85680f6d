// The run host's music choice, close steps and renderer watch.
#include <gtest/gtest.h>

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

TEST(CloseSteps, MusicStopsAndPointer) {
    EXPECT_EQ(steps(planClose(true, settingsOf(1, ""), L'S')), "cd pointer ");
    EXPECT_EQ(steps(planClose(false, settingsOf(1, ""), L'S')), "pointer ") << "CD control that ended is left alone";
    EXPECT_EQ(steps(planClose(false, settingsOf(2, "a.WAV"), 0)), "wav ") << "an empty command line never hid it";
    EXPECT_EQ(steps(planClose(false, settingsOf(2, "a.mp3"), L'C')), "mp3 ");
    EXPECT_EQ(steps(planClose(false, settingsOf(1, "a.mp3"), 0)), "");
}

TEST(RendererWatch, GracePeriodThenFirstMissEnds) {
    RendererWatch slowStart(1000);
    EXPECT_TRUE(slowStart.keepRunning(false, 1050));
    EXPECT_TRUE(slowStart.keepRunning(false, 1000 + RendererGraceMs - 1));
    EXPECT_TRUE(slowStart.keepRunning(true, 1000 + RendererGraceMs + 100)) << "a late window is still welcome";
    EXPECT_FALSE(slowStart.keepRunning(false, 1000 + RendererGraceMs + 150)) << "once seen, the first miss ends";

    RendererWatch gone(0);
    EXPECT_TRUE(gone.keepRunning(true, 50));
    EXPECT_FALSE(gone.keepRunning(false, 100)) << "a miss within the grace period ends a run once seen";

    RendererWatch never(0);
    EXPECT_FALSE(never.keepRunning(false, RendererGraceMs));

    RendererWatch acrossWrap(0xFFFFFF00u);
    EXPECT_TRUE(acrossWrap.keepRunning(false, 0x00000100u)) << "the tick count rolled over";
    EXPECT_FALSE(acrossWrap.keepRunning(false, 0xFFFFFF00u + RendererGraceMs));
}

}  // namespace
