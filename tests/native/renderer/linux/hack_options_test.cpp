#include "renderer/linux/hack_options.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

TEST(HackOptions, WhereItDrawsWhetherItCountsOrWhatItRefuses) {
    constexpr auto Own = DrawTarget::OwnWindow, Root = DrawTarget::RootWindow, Given = DrawTarget::GivenWindow;
    // Arguments and XSCREENSAVER_WINDOW, then where it draws, in which window, -fps, or the argument it refuses.
    const struct { std::vector<const char*> argv; const char* variable; DrawTarget target; unsigned long id; bool fps;
                   const char* refused; } cases[] = {
        {{"--root", "--fps"}, nullptr, Root, 0, true, nullptr},
        {{"-window", "--root"}, "4194305", Given, 4194305, false, nullptr},  // as XScreenSaver runs it; the later one counts
        {{"-window"}, "garbage", Own, 0, false, nullptr},                       // not read when not needed
        {{"-root"}, "", Root, 0, false, nullptr},                               // empty: as if unset
        {{"-window-id"}, nullptr, Own, 0, false, "-window-id"},
        {{"-window-id", "12abc"}, nullptr, Own, 0, false, "12abc"},
        {{"-window-id", "0x100000000"}, nullptr, Own, 0, false, "0x100000000"},  // wider than an X id
        {{"--root"}, "window", Own, 0, false, "XSCREENSAVER_WINDOW"},
    };
    for (auto c : cases) {
        c.argv.insert(c.argv.begin(), "lumivane");
        const HackOptions options = parseHackOptions(static_cast<int>(c.argv.size()), c.argv.data(), c.variable);
        if (c.refused) {
            EXPECT_TRUE(options.verdict == OptionsVerdict::Refuse && options.refused && std::string(options.refused) == c.refused) << c.argv[1];
        } else {
            EXPECT_TRUE(options.verdict == OptionsVerdict::Run && options.target == c.target && options.showFps == c.fps &&
                        (c.target != Given || options.windowId == c.id)) << c.argv[1];
        }
    }
    // How the scene fills the monitors, by name only; the later option counts.
    const struct { std::vector<const char*> argv; ScreensChoice screens; const char* refused; } screens[] = {
        {{"lumivane", "--root"}, ScreensChoice::EveryMonitor, nullptr},
        {{"lumivane", "-screens", "span", "--root"}, ScreensChoice::Span, nullptr},
        {{"lumivane", "--screens", "primary", "-screens", "own"}, ScreensChoice::OwnScenes, nullptr},
        {{"lumivane", "-screens", "own", "-screens", "same"}, ScreensChoice::EveryMonitor, nullptr},
        {{"lumivane", "-screens", "primary"}, ScreensChoice::PrimaryOnly, nullptr},
        {{"lumivane", "-screens"}, ScreensChoice::EveryMonitor, "-screens"},
        {{"lumivane", "-screens", "2"}, ScreensChoice::EveryMonitor, "2"},
        {{"lumivane", "-screens", "all"}, ScreensChoice::EveryMonitor, "all"},
    };
    for (const auto& c : screens) {
        const HackOptions options = parseHackOptions(static_cast<int>(c.argv.size()), c.argv.data(), nullptr);
        EXPECT_TRUE(c.refused ? options.verdict == OptionsVerdict::Refuse && std::string(options.refused) == c.refused
                              : options.verdict == OptionsVerdict::Run && options.screens == c.screens)
            << c.argv.back();
    }
    // -maxfps takes the nearest of 0, 30 and 60, as the Windows saver's frame-rate choice does.
    const struct { std::vector<const char*> argv; int32_t maxFps; const char* refused; } caps[] = {
        {{"lumivane", "--root"}, 0, nullptr},          {{"lumivane", "-maxfps", "30"}, 30, nullptr},
        {{"lumivane", "--maxfps", "10"}, 0, nullptr},  {{"lumivane", "-maxfps", "45"}, 60, nullptr},
        {{"lumivane", "-maxfps", "fast"}, 0, "fast"},  {{"lumivane", "-maxfps"}, 0, "-maxfps"},
    };
    for (const auto& c : caps) {
        const HackOptions options = parseHackOptions(static_cast<int>(c.argv.size()), c.argv.data(), nullptr);
        EXPECT_TRUE(c.refused ? options.refused && std::string(options.refused) == c.refused
                              : options.verdict == OptionsVerdict::Run && options.maxFps == c.maxFps)
            << c.argv.back() << ": " << options.maxFps;
    }
    const char* help[] = {"lumivane", "--root", "--help"};
    EXPECT_EQ(parseHackOptions(3, help, "junk").verdict, OptionsVerdict::ShowHelp);
}

TEST(HackOptions, TheScenesSettingsInOrderEachHeldToItsRange) {
    // Arguments, then the scene they give (particles, size, speed, camera, trails, emitters, absorbers, colours),
    // or the argument refused.
    const struct { std::vector<const char*> argv; SceneSettings scene; const char* refused; } cases[] = {
        {{"--root"}, SceneSettings{}, nullptr},
        {{"-particles", "4000", "--trails", "0", "-colours", "warm"}, SceneSettings{3, 3, 4000, 10, 10, 10, 0, Palette::Warm}, nullptr},
        {{"-particles", "9", "-emitters", "99", "-camera", "-3"}, SceneSettings{8, 3, 50, 10, 10, 0, 10}, nullptr},
        {{"-preset", "calm", "-size", "30"}, SceneSettings{2, 2, 600, 30, 5, 4, 40, Palette::Cold}, nullptr},
        {{"-size", "30", "--preset", "calm"}, SceneSettings{2, 2, 600, 14, 5, 4, 40, Palette::Cold}, nullptr},  // the later counts
        {{"-particles", "many"}, {}, "many"},
        {{"-speed", "2.5"}, {}, "2.5"},
        {{"-absorbers"}, {}, "-absorbers"},
        {{"-colours", "Warm"}, {}, "Warm"},
        {{"-preset", "loud"}, {}, "loud"},
    };
    for (auto c : cases) {
        c.argv.insert(c.argv.begin(), "lumivane");
        const HackOptions options = parseHackOptions(static_cast<int>(c.argv.size()), c.argv.data(), nullptr);
        if (c.refused) {
            EXPECT_EQ(options.verdict, OptionsVerdict::Refuse) << c.argv[1];
            EXPECT_STREQ(options.refused, c.refused);
            continue;
        }
        ASSERT_EQ(options.verdict, OptionsVerdict::Run) << c.argv[1];
        for (int k = 0; k < SceneKnobCount; ++k) {
            EXPECT_EQ(knobValue(options.scene, static_cast<SceneKnob>(k)), knobValue(c.scene, static_cast<SceneKnob>(k)))
                << c.argv.size() - 1 << " arguments from " << c.argv[1] << ": " << SceneKnobs[k].option;
        }
    }
    // Every knob is listed for -help.
    for (const SceneKnobInfo& knob : SceneKnobs) {
        EXPECT_NE(std::strstr(OptionList, (std::string("-") + knob.option + " ").c_str()), nullptr) << knob.option;
    }
}
