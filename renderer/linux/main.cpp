// Entry of the Linux program, an XScreenSaver hack: the options, the window to draw on, the frame
// loop with its pacing, and a clean end on a key, the close button, SIGTERM or SIGINT.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xinerama.h>

#include <poll.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "renderer/linux/glx_surface.h"
#include "renderer/linux/hack_options.h"
#include "renderer/screens/monitor_layout.h"
#include "renderer/timing/frame_clock.h"
#include "renderer/scene/scene.h"

namespace {
// Largest size of the program's own window (pixels); a smaller screen makes it smaller.
constexpr int OwnWindowWidth = 1024;
constexpr int OwnWindowHeight = 768;
constexpr char OwnWindowTitle[] = "Lumivane";
// Frame rate the program keeps where no swap interval holds it to the display.
constexpr uint32_t PacedFramesPerSecond = 60;
// Period of the frame-rate lines that -fps prints (milliseconds).
constexpr uint32_t FrameRateReportPeriodMs = 1000;
constexpr long NsPerMs = 1000000L;
constexpr int FailedExitCode = 1;
// Tries at the display, and the pause between two (milliseconds).
constexpr int DisplayConnectTries = 10;
constexpr long DisplayRetryPauseMs = 50;
// Longest wait for an event while the window is unmapped (milliseconds): an end signal is seen within it.
constexpr int UnmappedPollMs = 100;

// The program's whole state: one record, owned by main.
struct Hack {
    HackOptions options;
    Display* display = nullptr;
    Window window = None;
    Colormap ownColormap = None;  // made with the own window, and freed with it
    Atom deleteWindow = None;     // WM_DELETE_WINDOW: the close button of the own window
    MonitorLayout layout;         // the window's views over the monitors, as its place was last seen
    GlxSurface surface;
    SceneRun run;
    sigset_t endSignals{};   // SIGTERM and SIGINT, held pending until the loop looks at them
    FrameDeadlines deadlines;  // where the program paces itself
    uint32_t framesCounted = 0;  // frames presented since rateSinceMs, for -fps
    uint32_t rateSinceMs = 0;
    bool running = true;
    bool mapped = true;  // nobody sees an unmapped window: nothing is drawn until it is mapped again
};

// Lets an X error pass without a word: the request that caused it reports the failure itself.
int ignoreXError(Display*, XErrorEvent*) { return 0; }

// The monotonic clock.
timespec now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t;
}

// Milliseconds of the monotonic clock, wrapping as the frame clock expects of a millisecond counter.
uint32_t milliseconds(const timespec& t) {
    return static_cast<uint32_t>(static_cast<uint64_t>(t.tv_sec) * 1000u + static_cast<uint64_t>(t.tv_nsec / NsPerMs));
}

// The display named by DISPLAY. A busy X server may refuse a new connection for a moment (Xvfb
// resets a few in a hundred), so a refusal is tried again for half a second before it counts.
Display* connectToDisplay() {
    Display* display = XOpenDisplay(nullptr);
    for (int tries = 1; display == nullptr && tries < DisplayConnectTries; ++tries) {
        const timespec pause{0, DisplayRetryPauseMs * NsPerMs};
        nanosleep(&pause, nullptr);
        display = XOpenDisplay(nullptr);
    }
    return display;
}

// A window of the program's own with an OpenGL visual, a title and a close button; not yet mapped.
bool makeOwnWindow(Hack& hack) {
    const int screen = DefaultScreen(hack.display);
    XVisualInfo* visual = chooseGlxVisual(hack.display, screen);
    if (visual == nullptr) {
        std::fprintf(stderr, "lumivane: no double-buffered OpenGL visual\n");
        return false;
    }
    const Window root = RootWindow(hack.display, screen);
    hack.ownColormap = XCreateColormap(hack.display, root, visual->visual, AllocNone);
    XSetWindowAttributes attributes{};
    attributes.colormap = hack.ownColormap;
    attributes.background_pixel = BlackPixel(hack.display, screen);
    attributes.border_pixel = 0;
    const int width = DisplayWidth(hack.display, screen) < OwnWindowWidth ? DisplayWidth(hack.display, screen)
                                                                          : OwnWindowWidth;
    const int height = DisplayHeight(hack.display, screen) < OwnWindowHeight ? DisplayHeight(hack.display, screen)
                                                                             : OwnWindowHeight;
    hack.window = XCreateWindow(hack.display, root, 0, 0, width, height, 0, visual->depth, InputOutput,
                                visual->visual, CWColormap | CWBackPixel | CWBorderPixel, &attributes);
    XFree(visual);
    XStoreName(hack.display, hack.window, OwnWindowTitle);
    hack.deleteWindow = XInternAtom(hack.display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(hack.display, hack.window, &hack.deleteWindow, 1);
    return true;
}

// The monitors X reports through Xinerama, the first one as the primary; none without it.
int listMonitors(Display* display, MonitorArea* areas, int capacity) {
    int eventBase = 0, errorBase = 0, count = 0;
    if (!XineramaQueryExtension(display, &eventBase, &errorBase) || !XineramaIsActive(display)) return 0;
    XineramaScreenInfo* screens = XineramaQueryScreens(display, &count);
    if (screens == nullptr) return 0;
    int listed = 0;
    for (int k = 0; k < count && listed < capacity; ++k) {
        const XineramaScreenInfo& s = screens[k];
        areas[listed++] = {{s.x_org, s.y_org, s.x_org + s.width, s.y_org + s.height}, k == 0};
    }
    XFree(screens);
    return listed;
}

// Lays the window's views out over the monitors it covers, for a window of width x height; a
// window over no monitor, or on a display without Xinerama, is one view of itself.
void layOutWindow(Hack& hack, int width, int height) {
    int x = 0, y = 0;
    Window child = None;
    XTranslateCoordinates(hack.display, hack.window, DefaultRootWindow(hack.display), 0, 0, &x, &y, &child);
    MonitorArea monitors[MaxSceneViews];
    const int count = listMonitors(hack.display, monitors, MaxSceneViews);
    hack.layout = layOutDrawable(monitors, count, hack.options.screens, ScreenRect{x, y, x + width, y + height});
}

// Finds or makes the window the options name and learns its size; only the own window takes keys.
bool openWindow(Hack& hack) {
    switch (hack.options.target) {
    case DrawTarget::GivenWindow: hack.window = hack.options.windowId; break;
    case DrawTarget::RootWindow: hack.window = DefaultRootWindow(hack.display); break;
    case DrawTarget::OwnWindow:
        if (!makeOwnWindow(hack)) return false;
        break;
    }
    // A window id that names no window would otherwise end the program with Xlib's own error text.
    XWindowAttributes attributes{};
    XSync(hack.display, False);
    const auto xErrors = XSetErrorHandler(ignoreXError);
    const Status found = XGetWindowAttributes(hack.display, hack.window, &attributes);
    XSetErrorHandler(xErrors);
    if (!found) {
        std::fprintf(stderr, "lumivane: window 0x%lx does not exist on display %s\n", hack.window,
                     DisplayString(hack.display));
        return false;
    }
    layOutWindow(hack, attributes.width, attributes.height);
    hack.mapped = attributes.map_state != IsUnmapped;
    const bool own = hack.ownColormap != None;
    XSelectInput(hack.display, hack.window, StructureNotifyMask | (own ? KeyPressMask : 0));
    if (own) XMapWindow(hack.display, hack.window);
    return true;
}

// Destroys what openWindow made and closes the display.
void closeWindow(Hack& hack) {
    if (hack.ownColormap != None) {
        XDestroyWindow(hack.display, hack.window);
        XFreeColormap(hack.display, hack.ownColormap);
    }
    XCloseDisplay(hack.display);
}

// A new size or place lays the views out again; a key or the close button ends the own window's run.
void handleEvent(Hack& hack, const XEvent& event) {
    switch (event.type) {
    case ConfigureNotify:
        if (event.xconfigure.window == hack.window) {
            layOutWindow(hack, event.xconfigure.width, event.xconfigure.height);
        }
        break;
    case MapNotify:
    case UnmapNotify:
        if (event.xany.window != hack.window) break;
        hack.mapped = event.type == MapNotify;
        if (!hack.mapped) break;
        resumeSceneRun(hack.run);  // the scene goes on from where it stood, as does the frame count
        hack.framesCounted = 0;
        hack.rateSinceMs = milliseconds(now());
        break;
    case KeyPress:
        hack.running = false;
        break;
    case ClientMessage:
        if (static_cast<Atom>(event.xclient.data.l[0]) == hack.deleteWindow) hack.running = false;
        break;
    default:
        break;
    }
}

// True once SIGTERM or SIGINT has arrived: blocked, they wait as pending until taken here.
bool endRequested(const Hack& hack) {
    const timespec noWait{};
    return sigtimedwait(&hack.endSignals, nullptr, &noWait) > 0;
}

// While the window is unmapped: sleeps until an event comes, or for a while, to look at the signals again.
void awaitEvents(const Hack& hack) {
    pollfd connection{ConnectionNumber(hack.display), POLLIN, 0};
    if (XPending(hack.display) == 0) poll(&connection, 1, UnmappedPollMs);
}

// Prints the frames per second over the last period, once a period.
void reportFrameRate(Hack& hack) {
    ++hack.framesCounted;
    const uint32_t elapsedMs = milliseconds(now()) - hack.rateSinceMs;
    if (elapsedMs < FrameRateReportPeriodMs) return;
    std::fprintf(stderr, "lumivane: %.1f fps\n", hack.framesCounted * 1000.0 / elapsedMs);
    hack.framesCounted = 0;
    hack.rateSinceMs += elapsedMs;
}

// Where no swap interval holds the loop to the display, or a cap holds it below, waits for the next
// deadline; a frame later than a whole period starts a new run of deadlines instead of a burst.
void waitOutFramePeriod(Hack& hack) {
    if (hack.surface.swapControl && hack.options.maxFps == 0) return;
    hack.deadlines.frameDrawn(milliseconds(now()));
    const uint32_t waitMs = hack.deadlines.msUntilNextFrame(milliseconds(now()));
    const timespec wait{static_cast<time_t>(waitMs / 1000), static_cast<long>(waitMs % 1000) * NsPerMs};
    nanosleep(&wait, nullptr);
}

// Prints the refused argument with the usage line, or the option list; the exit status to return.
int answerWithoutRunning(const HackOptions& options) {
    if (options.verdict == OptionsVerdict::ShowHelp) {
        std::printf("%s\n%s", UsageLine, OptionList);
        return 0;
    }
    std::fprintf(stderr, "lumivane: %s: %s\n%s\n", options.reason, options.refused, UsageLine);
    return FailedExitCode;
}
}  // namespace

// Draws until a key, the close button, SIGTERM or SIGINT; everything made is released before the end.
int main(int argc, char* argv[]) {
    Hack hack;
    hack.options = parseHackOptions(argc, argv, std::getenv(ScreensaverWindowVariable));
    if (hack.options.verdict != OptionsVerdict::Run) return answerWithoutRunning(hack.options);

    // Blocked before the OpenGL driver starts its threads, which inherit the mask: a termination
    // request then waits for the loop, which ends the program cleanly between frames.
    sigemptyset(&hack.endSignals);
    sigaddset(&hack.endSignals, SIGTERM);
    sigaddset(&hack.endSignals, SIGINT);
    sigprocmask(SIG_BLOCK, &hack.endSignals, nullptr);

    hack.display = connectToDisplay();
    if (hack.display == nullptr) {
        std::fprintf(stderr, "lumivane: cannot open the display\n");
        return FailedExitCode;
    }
    if (!openWindow(hack)) {
        closeWindow(hack);
        return FailedExitCode;
    }
    hack.surface.display = hack.display;
    hack.surface.window = hack.window;
    hack.run.scenes[0].settings = hack.options.scene;
    // Seeded from the calendar time, so every run shows another scene.
    const ScreenRect& place = hack.layout.window;
    if (!startSceneRun(hack.run, hack.surface, place.right - place.left, place.bottom - place.top,
                       static_cast<uint32_t>(std::time(nullptr)), hack.layout.sceneCount)) {
        closeWindow(hack);
        return FailedExitCode;
    }

    // X tells no refresh rate here: a cap is kept by the program's own deadlines, beside the driver's wait.
    const auto cap = static_cast<uint32_t>(hack.options.maxFps);
    hack.deadlines.framesPerSecond = cap > 0 && cap < PacedFramesPerSecond ? cap : PacedFramesPerSecond;
    hack.rateSinceMs = milliseconds(now());
    while (hack.running) {
        while (XPending(hack.display) > 0) {
            XEvent event;
            XNextEvent(hack.display, &event);
            handleEvent(hack, event);
        }
        if (!hack.running || endRequested(hack)) break;
        if (!hack.mapped) {
            awaitEvents(hack);
            continue;
        }
        stepSceneRun(hack.run, milliseconds(now()), hack.layout.views, hack.layout.viewCount);
        if (hack.options.showFps) reportFrameRate(hack);
        waitOutFramePeriod(hack);
    }

    stopSceneRun(hack.run);
    closeWindow(hack);
    return 0;
}
