// The run host's music choice, close steps and renderer watch.
#include <gtest/gtest.h>

#include "shell/host/run_host_rules.h"

namespace {

ShellSettings settingsOf(int16_t kind, const std::string& file = "") {
    ShellSettings s;
    s.BGM_Kind = kind;
    s.BGM_File = file;
    return s;
}

TEST(MusicChoice, FileSourceByItsLastThreeLetters) {
    const LoadPlan mp3 = planLoad(settingsOf(2, "C:\\m\\Song.Mp3"));
    EXPECT_TRUE(mp3.mp3Play && mp3.startTimer1);
    EXPECT_FALSE(mp3.wavPlay || mp3.cdOpen || mp3.startTimer2);

    const LoadPlan wav = planLoad(settingsOf(2, "C:\\m\\loop.wav"));
    EXPECT_TRUE(wav.wavPlay);
    EXPECT_FALSE(wav.mp3Play || wav.startTimer1 || wav.startTimer2 || wav.cdOpen);

    for (const char* other : {"C:\\m\\tune.mid", "C:\\m\\x.mp4", "av", ""}) {
        const LoadPlan none = planLoad(settingsOf(2, other));
        EXPECT_FALSE(none.wavPlay || none.mp3Play || none.startTimer1 || none.startTimer2 || none.cdOpen) << other;
    }
    EXPECT_EQ(musicFileKind("xWAV"), MusicFile::Wav) << "only the letters count, not a dot";
}

TEST(MusicChoice, CdSourceAndOtherKinds) {
    const LoadPlan cd = planLoad(settingsOf(1, "C:\\m\\a.mp3"));
    EXPECT_TRUE(cd.cdOpen && cd.startTimer2);
    EXPECT_FALSE(cd.mp3Play || cd.startTimer1 || cd.wavPlay);
    for (int16_t kind : {0, 3, -1}) {
        const LoadPlan none = planLoad(settingsOf(kind, "C:\\m\\a.mp3"));
        EXPECT_FALSE(none.cdOpen || none.mp3Play || none.wavPlay || none.startTimer1 || none.startTimer2);
    }
}

TEST(CloseSteps, MusicStopsAndPointer) {
    EXPECT_TRUE(planClose(true, settingsOf(1), L'S').stopTimer2AndCd);
    EXPECT_FALSE(planClose(false, settingsOf(1), L'S').stopTimer2AndCd) << "CD control that ended itself is left alone";

    const ClosePlan wav = planClose(false, settingsOf(2, "a.WAV"), 0);
    EXPECT_TRUE(wav.wavStop);
    EXPECT_FALSE(wav.mp3Stop);
    const ClosePlan mp3 = planClose(false, settingsOf(2, "a.mp3"), 0);
    EXPECT_TRUE(mp3.mp3Stop);
    EXPECT_FALSE(mp3.wavStop);
    const ClosePlan cdWithMp3Path = planClose(false, settingsOf(1, "a.mp3"), 0);
    EXPECT_FALSE(cdWithMp3Path.mp3Stop || cdWithMp3Path.wavStop);

    EXPECT_TRUE(planClose(false, settingsOf(0), L'S').showPointer);
    EXPECT_FALSE(planClose(false, settingsOf(0), 0).showPointer) << "an empty command line never hid it";
}

TEST(RendererWatch, GracePeriodThenFirstMissEnds) {
    RendererWatch slowStart(1000);
    EXPECT_TRUE(slowStart.keepRunning(false, 1050));
    EXPECT_TRUE(slowStart.keepRunning(false, 1000 + RendererGraceMs - 1));
    EXPECT_TRUE(slowStart.keepRunning(true, 1000 + RendererGraceMs + 100)) << "a late window is still welcome once it shows";
    EXPECT_FALSE(slowStart.keepRunning(false, 1000 + RendererGraceMs + 150));

    RendererWatch gone(0);
    EXPECT_TRUE(gone.keepRunning(true, 50));
    EXPECT_FALSE(gone.keepRunning(false, 100)) << "once seen, the first miss ends the run";

    RendererWatch never(0);
    EXPECT_FALSE(never.keepRunning(false, RendererGraceMs));
}

TEST(RendererWatch, TickCountWrapAround) {
    RendererWatch watch(0xFFFFFF00u);
    EXPECT_TRUE(watch.keepRunning(false, 0x00000100u));
    EXPECT_FALSE(watch.keepRunning(false, 0xFFFFFF00u + RendererGraceMs));
}

}  // namespace
