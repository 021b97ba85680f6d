#include "renderer/linux/hack_options.h"

#include "renderer/timing/frame_rate.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

const char UsageLine[] =
    "usage: lumivane [-root | -window | -window-id ID] [-preset NAME] [-particles N] [-size N] [-speed N]\n"
    "                [-camera N] [-trails N] [-emitters N] [-absorbers N] [-colours NAME]\n"
    "                [-screens same|primary|span|own] [-maxfps N] [-fps] [-help]";
const char OptionList[] =
    "  -root           draw on the root window (XScreenSaver's own window when it names one)\n"
    "  -window         draw in a window of its own (the default); a key or the close button ends it\n"
    "  -window-id ID   draw in the X window ID (decimal or 0x hexadecimal)\n"
    "  -preset NAME    default, calm, swarm, embers, aurora or nebula: all the scene's settings at once\n"
    "  -particles N    how many particles flow, 50 to 5000 (1000)\n"
    "  -size N         how large they are, 1 to 30 (10)\n"
    "  -speed N        how fast they and the poles move, 1 to 30 (10)\n"
    "  -camera N       how fast the camera moves and the scene turns, 0 (still) to 30 (10)\n"
    "  -trails N       how long the trails are, 0 (none) to 100 (10)\n"
    "  -emitters N     how many poles send particles, 1 to 8 (3)\n"
    "  -absorbers N    how many poles take them in, 1 to 8 (3)\n"
    "  -colours NAME   every-hue, warm, cold, green or violet (every-hue)\n"
    "  -screens NAME   where X reports several monitors: the same scene on each (same), the primary\n"
    "                  only (primary), one picture across all (span) or a scene of its own on each (own)\n"
    "  -maxfps N       at most 60 or 30 frames a second; 0 as the display allows (0); other numbers\n"
    "                  are taken as the nearest of these\n"
    "  -fps            print the frame rate once a second on stderr\n"
    "  -help           list these options\n"
    "Options may also start with two dashes (--root); a number outside its range is taken as the\n"
    "nearest one, and of the scene's options the later one counts. XSCREENSAVER_WINDOW names the\n"
    "window to draw in when neither -window nor -window-id is given.\n";
const char ScreensaverWindowVariable[] = "XSCREENSAVER_WINDOW";

namespace {
// The window a text names, or 0 when it is not a whole number (decimal, 0x hex) of an X id's 32 bits.
unsigned long windowIdFrom(const char* text) {
    if (text == nullptr || *text == '\0' || *text == '-') return 0;
    char* end = nullptr;
    errno = 0;
    const unsigned long long id = std::strtoull(text, &end, 0);
    if (errno != 0 || *end != '\0' || id > 0xFFFFFFFFull) return 0;
    return static_cast<unsigned long>(id);
}

// The knob an option name sets, or -1 for a name that is no knob's. Colours take a name, not a number.
int knobNamed(const char* name) {
    for (int k = 0; k < SceneKnobCount; ++k) {
        if (std::strcmp(name, SceneKnobs[k].option) == 0) return k;
    }
    return -1;
}

// A whole decimal number, with its sign; false for anything else.
bool wholeNumber(const char* text, double& value) {
    if (text == nullptr || *text == '\0') return false;
    char* end = nullptr;
    value = std::strtod(text, &end);
    if (*end != '\0') return false;
    for (const char* c = text; *c != '\0'; ++c) {
        if ((*c < '0' || *c > '9') && !(c == text && (*c == '-' || *c == '+'))) return false;
    }
    return true;
}

// The refusal of one argument.
HackOptions refusal(const char* argument, const char* reason) {
    HackOptions options;
    options.verdict = OptionsVerdict::Refuse;
    options.refused = argument;
    options.reason = reason;
    return options;
}
}  // namespace

// XScreenSaver runs hacks with --root and names its own window in the environment; its settings
// preview adds --window-id, which wins. Of -root and -window the later one counts; an empty
// variable counts as unset.
HackOptions parseHackOptions(int argc, const char* const argv[], const char* screensaverWindow) {
    HackOptions options;
    bool root = false, ownWindow = false, help = false;
    for (int k = 1; k < argc; ++k) {
        const char* argument = argv[k];
        const char* name = std::strncmp(argument, "--", 2) == 0 ? argument + 1 : argument;
        if (std::strcmp(name, "-root") == 0) {
            root = true;
            ownWindow = false;
        } else if (std::strcmp(name, "-window") == 0) {
            ownWindow = true;
            root = false;
        } else if (std::strcmp(name, "-window-id") == 0) {
            if (k + 1 == argc) return refusal(argument, "a window id must follow");
            options.windowId = windowIdFrom(argv[++k]);
            if (options.windowId == 0) return refusal(argv[k], "not a window id");
        } else if (std::strcmp(name, "-preset") == 0) {
            if (k + 1 == argc) return refusal(argument, "a preset name must follow");
            int found = -1;
            for (int p = 0; p < ScenePresetCount; ++p) {
                if (std::strcmp(argv[k + 1], ScenePresets[p].name) == 0) found = p;
            }
            if (found < 0) return refusal(argv[k + 1], "not a preset: default, calm, swarm, embers, aurora or nebula");
            options.scene = ScenePresets[found].settings;
            ++k;
        } else if (std::strcmp(name, "-colours") == 0) {
            if (k + 1 == argc) return refusal(argument, "a palette name must follow");
            int found = -1;
            for (int p = 0; p < PaletteCount; ++p) {
                if (std::strcmp(argv[k + 1], paletteName(static_cast<Palette>(p))) == 0) found = p;
            }
            if (found < 0) return refusal(argv[k + 1], "not a palette: every-hue, warm, cold, green or violet");
            options.scene.Colours = static_cast<Palette>(found);
            ++k;
        } else if (name[0] == '-' && knobNamed(name + 1) >= 0) {
            if (k + 1 == argc) return refusal(argument, "a number must follow");
            double value = 0;
            if (!wholeNumber(argv[k + 1], value)) return refusal(argv[k + 1], "not a whole number");
            setKnobValue(options.scene, static_cast<SceneKnob>(knobNamed(name + 1)), value);
            ++k;
        } else if (std::strcmp(name, "-screens") == 0) {
            if (k + 1 == argc) return refusal(argument, "a screens name must follow");
            const char* choice = argv[++k];
            const bool digit = choice[0] >= '0' && choice[0] <= '9';
            if (digit || !screensChoiceNamed(choice, static_cast<int>(std::strlen(choice)), options.screens)) {
                return refusal(choice, "not a screens choice: same, primary, span or own");
            }
        } else if (std::strcmp(name, "-maxfps") == 0) {
            if (k + 1 == argc) return refusal(argument, "a number must follow");
            double value = 0;
            if (!wholeNumber(argv[k + 1], value)) return refusal(argv[k + 1], "not a whole number");
            options.maxFps = nearestFrameRate(value);
            ++k;
        } else if (std::strcmp(name, "-fps") == 0) {
            options.showFps = true;
        } else if (std::strcmp(name, "-help") == 0) {
            help = true;
        } else {
            return refusal(argument, "unknown option");
        }
    }
    if (help) {
        options.verdict = OptionsVerdict::ShowHelp;
        return options;
    }
    if (options.windowId != 0) {
        options.target = DrawTarget::GivenWindow;
    } else if (!ownWindow && screensaverWindow != nullptr && *screensaverWindow != '\0') {
        options.windowId = windowIdFrom(screensaverWindow);
        if (options.windowId == 0) return refusal(ScreensaverWindowVariable, "not a window id");
        options.target = DrawTarget::GivenWindow;
    } else {
        options.target = root ? DrawTarget::RootWindow : DrawTarget::OwnWindow;
    }
    return options;
}
