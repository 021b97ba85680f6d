#include "renderer/linux/hack_options.h"

#include <gtest/gtest.h>

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
    const char* help[] = {"lumivane", "--root", "--help"};
    EXPECT_EQ(parseHackOptions(3, help, "junk").verdict, OptionsVerdict::ShowHelp);
}
