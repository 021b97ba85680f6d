// The Linux program's command line and environment as XScreenSaver hands them over: where to
// draw, the scene's settings, how it fills several monitors, whether to print the frame rate, or a request for the option list. Plain C++: the entry
// point passes argv and the environment variable, and this rule decides.
#pragma once

#include <cstdint>

#include "renderer/scene/scene_settings.h"
#include "renderer/screens/monitor_layout.h"

// Where the program draws.
enum class DrawTarget {
    OwnWindow,    // a window of its own, which ends on a key or its close button
    RootWindow,   // the screen's root window
    GivenWindow,  // a window made by someone else (XScreenSaver, its settings preview, a test)
};

// What the command line asks for.
enum class OptionsVerdict { Run, ShowHelp, Refuse };

struct HackOptions {
    OptionsVerdict verdict = OptionsVerdict::Run;
    DrawTarget target = DrawTarget::OwnWindow;
    unsigned long windowId = 0;     // the X window of GivenWindow
    bool showFps = false;           // print the frame rate once a second on stderr
    int32_t maxFps = 0;             // most frames a second: 0 (as the display allows), 60 or 30
    SceneSettings scene;            // the scene to play, each knob within its range
    ScreensChoice screens = ScreensChoice::EveryMonitor;  // how the scene fills the monitors X reports
    const char* refused = nullptr;  // Refuse: the argument (or variable) that was not understood
    const char* reason = nullptr;   // Refuse: why, as a short phrase
};

// The options as one line, printed after a refusal.
extern const char UsageLine[];
// One line per option, printed for -help.
extern const char OptionList[];
// The variable in which XScreenSaver names the window a hack is to draw on.
extern const char ScreensaverWindowVariable[];

// Reads argv[1..argc-1]; every option is accepted with one dash or two (-root, --root).
// screensaverWindow is the value of XSCREENSAVER_WINDOW, or null when it is not set.
HackOptions parseHackOptions(int argc, const char* const argv[], const char* screensaverWindow);
