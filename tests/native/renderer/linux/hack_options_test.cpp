// The Linux program's options and XScreenSaver's window variable.
#include "renderer/linux/hack_options.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

// The options of a command line given without the program's name.
HackOptions parse(std::initializer_list<const char*> arguments, const char* screensaverWindow = nullptr) {
    std::vector<const char*> argv{"lumivane"};
    argv.insert(argv.end(), arguments);
    return parseHackOptions(static_cast<int>(argv.size()), argv.data(), screensaverWindow);
}

TEST(HackOptions, WhereItDrawsAndWhetherItCounts) {
    const struct {
        std::initializer_list<const char*> arguments;
        const char* screensaverWindow;
        DrawTarget target;
        unsigned long windowId;
        bool showFps;
    } cases[] = {
        {{}, nullptr, DrawTarget::OwnWindow, 0, false},
        {{"-root"}, nullptr, DrawTarget::RootWindow, 0, false},
        {{"--root", "--fps"}, nullptr, DrawTarget::RootWindow, 0, true},
        {{"-root", "-window"}, nullptr, DrawTarget::OwnWindow, 0, false},  // the later one counts
        {{"-window", "-root"}, nullptr, DrawTarget::RootWindow, 0, false},
        {{"-window-id", "0x2a00007"}, nullptr, DrawTarget::GivenWindow, 0x2a00007, false},
        {{"-window-id", "123", "-fps"}, nullptr, DrawTarget::GivenWindow, 123, true},
        // XScreenSaver: --root with its window in the variable; its settings preview adds --window-id.
        {{"--root"}, "0x400001", DrawTarget::GivenWindow, 0x400001, false},
        {{}, "4194305", DrawTarget::GivenWindow, 4194305, false},
        {{"--root", "--window-id", "0x600002"}, "0x400001", DrawTarget::GivenWindow, 0x600002, false},
        {{"-window"}, "0x400001", DrawTarget::OwnWindow, 0, false},
        {{"-window"}, "garbage", DrawTarget::OwnWindow, 0, false},  // not read when not needed
        {{"-root"}, "", DrawTarget::RootWindow, 0, false},          // empty: as if unset
    };
    for (const auto& c : cases) {
        const HackOptions options = parse(c.arguments, c.screensaverWindow);
        std::string line;
        for (const char* a : c.arguments) line += std::string(a) + " ";
        SCOPED_TRACE(line + "with XSCREENSAVER_WINDOW=" + (c.screensaverWindow ? c.screensaverWindow : "(unset)"));
        EXPECT_EQ(options.verdict, OptionsVerdict::Run);
        EXPECT_EQ(options.target, c.target);
        if (c.target == DrawTarget::GivenWindow) {
            EXPECT_EQ(options.windowId, c.windowId);
        }
        EXPECT_EQ(options.showFps, c.showFps);
    }
}

TEST(HackOptions, HelpAndRefusals) {
    EXPECT_EQ(parse({"-help"}).verdict, OptionsVerdict::ShowHelp);
    EXPECT_EQ(parse({"--root", "--help"}, "junk").verdict, OptionsVerdict::ShowHelp);

    const struct {
        std::initializer_list<const char*> arguments;
        const char* screensaverWindow;
        std::string refused;
    } refusals[] = {
        {{"-bogus"}, nullptr, "-bogus"},
        {{"-root", "--fps", "-Root"}, nullptr, "-Root"},
        {{"root"}, nullptr, "root"},
        {{"-window-id"}, nullptr, "-window-id"},
        {{"--window-id", "-fps"}, nullptr, "-fps"},
        {{"-window-id", "0x"}, nullptr, "0x"},
        {{"-window-id", "0"}, nullptr, "0"},
        {{"-window-id", "0x100000000"}, nullptr, "0x100000000"},  // wider than an X id
        {{"-help", "-bogus"}, nullptr, "-bogus"},
        {{"--root"}, "window", "XSCREENSAVER_WINDOW"},
    };
    for (const auto& r : refusals) {
        const HackOptions options = parse(r.arguments, r.screensaverWindow);
        EXPECT_EQ(options.verdict, OptionsVerdict::Refuse) << r.refused;
        ASSERT_NE(options.refused, nullptr) << r.refused;
        EXPECT_EQ(options.refused, r.refused);
        EXPECT_NE(options.reason, nullptr);
    }
}

}  // namespace
