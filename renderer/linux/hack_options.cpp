#include "renderer/linux/hack_options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

const char UsageLine[] = "usage: lumivane [-root | -window | -window-id ID] [-fps] [-help]";
const char OptionList[] =
    "  -root           draw on the root window (XScreenSaver's own window when it names one)\n"
    "  -window         draw in a window of its own (the default); a key or the close button ends it\n"
    "  -window-id ID   draw in the X window ID (decimal or 0x hexadecimal)\n"
    "  -fps            print the frame rate once a second on stderr\n"
    "  -help           list these options\n"
    "Options may also start with two dashes (--root). XSCREENSAVER_WINDOW names the window to\n"
    "draw in when neither -window nor -window-id is given.\n";
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
