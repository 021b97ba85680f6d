// The installed Linux program on a private Xvfb screen with Mesa: where it draws, how it ends,
// its picture against the Windows renderer's check, its frame-rate lines, its start-up time, a
// window that changes size, its command line and its XScreenSaver settings description.

// GoogleTest comes before Xlib, whose None macro would break its headers.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The Windows renderer's screen in its tests, and the size its picture check is run at here.
constexpr int ScreenWidth = 1024;
constexpr int ScreenHeight = 768;
// A channel at or above this counts as lit (as in the Windows side's picture check).
constexpr unsigned LitLevel = 16;
// Time for the program to show its first picture, and for a way of ending it to end it (ms).
constexpr int StartWithinMs = 10000;
constexpr int EndWithinMs = 1000;
// How long the picture that meets the Windows renderer's check is drawn (s).
constexpr int PictureSeconds = 12;
// Without a swap interval the program keeps to 60 Hz; a report above this means it did not.
constexpr double PacedRateCeiling = 63.0;
// Backgrounds of the test's windows: grey, which no frame leaves, and black, which only drawing lights.
constexpr unsigned long Grey = 0x808080;
constexpr unsigned long Black = 0;

const std::string OutputDir = LUMIVANE_X11_TEST_OUTPUT_DIR;
const std::string Prefix = OutputDir + "/prefix";
const std::string Program = Prefix + "/libexec/xscreensaver/lumivane";
const std::string SettingsDescription = Prefix + "/share/xscreensaver/config/lumivane.xml";

Display* display = nullptr;

std::string readFile(const std::string& path) {
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

// True when the condition comes true within ms, polled every 20 ms.
bool waitFor(int ms, const std::function<bool()>& condition) {
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (!condition()) {
        if (Clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// The program installed under a prefix of the test's own, and one Xvfb screen for the whole test
// program (black root, so that only drawing lights it), ended with it.
class XvfbScreen : public ::testing::Environment {
public:
    void SetUp() override {
        const std::string install = "rm -rf '" + Prefix + "' && cmake --install '" LUMIVANE_BINARY_DIR "' --prefix '" +
                                    Prefix + "' >/dev/null";
        ASSERT_EQ(std::system(install.c_str()), 0) << install;
        int pipeFds[2];
        ASSERT_EQ(pipe(pipeFds), 0);
        xvfb_ = fork();
        if (xvfb_ == 0) {
            prctl(PR_SET_PDEATHSIG, SIGTERM);  // the screen goes with the test program, however that ends
            dup2(open("/dev/null", O_WRONLY), 2);
            const std::string fd = std::to_string(pipeFds[1]);
            const std::string size = std::to_string(ScreenWidth) + "x" + std::to_string(ScreenHeight) + "x24";
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", size.c_str(), "-nolisten", "tcp", "-br",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(pipeFds[1]);
        // The number comes as a line, written in pieces: Xvfb fails if the pipe closes before the end.
        std::string name = ":";
        for (char c = 0; read(pipeFds[0], &c, 1) == 1 && c != '\n';) name += c;
        close(pipeFds[0]);
        setenv("DISPLAY", name.c_str(), 1);
        unsetenv("XSCREENSAVER_WINDOW");
        display = XOpenDisplay(name.c_str());
        ASSERT_NE(display, nullptr) << "Xvfb on " << name;
        // A window that goes away while it is read answers with nothing, not with an exit.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    }
    void TearDown() override {
        if (display != nullptr) XCloseDisplay(display);
        kill(xvfb_, SIGTERM);
        waitpid(xvfb_, nullptr, 0);
    }

private:
    pid_t xvfb_ = -1;
};
const ::testing::Environment* const screen = ::testing::AddGlobalTestEnvironment(new XvfbScreen);

// One run of the program, its output in files; killed if a test leaves it running.
class HackRun {
public:
    // Starts the program with the arguments, and XSCREENSAVER_WINDOW set when one is given.
    explicit HackRun(const std::vector<std::string>& arguments, Window screensaverWindow = None)
        : started_(Clock::now()), pid_(fork()) {
        if (pid_ != 0) return;
        dup2(open((OutputDir + "/stdout.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
        dup2(open((OutputDir + "/stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
        if (screensaverWindow != None) setenv("XSCREENSAVER_WINDOW", std::to_string(screensaverWindow).c_str(), 1);
        std::vector<char*> argv{const_cast<char*>(Program.c_str())};
        for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(Program.c_str(), argv.data());
        _exit(127);
    }
    ~HackRun() {
        if (ended_) return;
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    // True when the program ended within ms with the exit status.
    bool endsWithin(int ms, int exitStatus) {
        int status = 0;
        ended_ = waitFor(ms, [&] { return waitpid(pid_, &status, WNOHANG) == pid_; });
        return ended_ && WIFEXITED(status) && WEXITSTATUS(status) == exitStatus;
    }
    void signal(int number) const { kill(pid_, number); }
    double msSinceStart() const { return std::chrono::duration<double, std::milli>(Clock::now() - started_).count(); }
    std::string out() const { return readFile(OutputDir + "/stdout.txt"); }
    std::string err() const { return readFile(OutputDir + "/stderr.txt"); }

private:
    Clock::time_point started_;
    pid_t pid_;
    bool ended_ = false;
};

// What a window shows, as 0xRRGGBB pixels, top row first; empty while it is not on the screen.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned long> pixels;

    unsigned long at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    // Lit pixels for which the region answers true.
    int lit(const std::function<bool(int, int)>& region = [](int, int) { return true; }) const {
        int count = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const unsigned long p = at(x, y);
                const bool bright = std::max({p >> 16 & 255, p >> 8 & 255, p & 255}) >= LitLevel;
                count += bright && region(x, y);
            }
        }
        return count;
    }
};

Picture capture(Window window) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable) return {};
    XImage* image = XGetImage(display, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    if (image == nullptr) return {};
    Picture picture{attributes.width, attributes.height, {}};
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) picture.pixels.push_back(XGetPixel(image, x, y) & 0xFFFFFF);
    }
    XDestroyImage(image);
    return picture;
}

// A mapped window of the test's own at (100, 100), destroyed with the record.
struct TestWindow {
    Window id;
    TestWindow(int width, int height, unsigned long background)
        : id(XCreateSimpleWindow(display, DefaultRootWindow(display), 100, 100, width, height, 0, 0, background)) {
        XMapWindow(display, id);
        waitFor(StartWithinMs, [&] { const Picture p = capture(id); return p.width > 0 && p.at(0, 0) == background; });
    }
    ~TestWindow() {
        XDestroyWindow(display, id);
        XSync(display, False);
    }
};

// The top-level window titled Lumivane, or None.
Window ownWindow() {
    Window root = None, parent = None, found = None, *children = nullptr;
    unsigned count = 0;
    XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
    for (unsigned k = 0; k < count; ++k) {
        char* name = nullptr;
        if (XFetchName(display, children[k], &name) && name != nullptr) {
            if (std::string(name) == "Lumivane") found = children[k];
            XFree(name);
        }
    }
    if (children != nullptr) XFree(children);
    return found;
}

// Sends the own window a key press, or the close request a window manager sends for its close button.
void sendToOwnWindow(bool closeButton) {
    XEvent event{};
    event.xany.window = ownWindow();
    if (closeButton) {
        event.xclient.type = ClientMessage;
        event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    } else {
        event.xkey.type = KeyPress;
        event.xkey.keycode = XKeysymToKeycode(display, XStringToKeysym("space"));
    }
    XSendEvent(display, event.xany.window, False, closeButton ? NoEventMask : KeyPressMask, &event);
    XFlush(display);
}

enum class Where { Own, Given, Root };
enum class Ending { Key, CloseButton, Terminate };

// Every way of naming the window ends up drawing there and nowhere else, and every way of ending
// ends the program within a second with status 0 and no X error on the way.
TEST(Lumivane, DrawsWhereItIsToldAndEndsCleanly) {
    const struct {
        const char* what;
        std::vector<std::string> arguments;  // "ID" stands for the test's window
        bool inVariable;                     // XSCREENSAVER_WINDOW names the test's window
        Where where;
        Ending ending;
    } cases[] = {
        {"its own window, a key", {"-window"}, false, Where::Own, Ending::Key},
        {"its own window by default, the close button", {}, false, Where::Own, Ending::CloseButton},
        {"XScreenSaver's window, as the daemon runs it", {"--root"}, true, Where::Given, Ending::Terminate},
        {"the settings preview", {"--root", "--window-id", "ID"}, false, Where::Given, Ending::Terminate},
        {"the root window", {"-root"}, false, Where::Root, Ending::Terminate},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::optional<TestWindow> given;  // none over the root in the root case
        if (c.where == Where::Given) given.emplace(320, 240, Black);
        const Window givenId = given ? given->id : None;
        std::vector<std::string> arguments = c.arguments;
        std::replace(arguments.begin(), arguments.end(), std::string("ID"), std::to_string(givenId));
        HackRun run(arguments, c.inVariable ? givenId : None);
        const auto window = [&] {
            return c.where == Where::Own ? ownWindow() : c.where == Where::Given ? givenId : DefaultRootWindow(display);
        };
        EXPECT_TRUE(waitFor(StartWithinMs, [&] { return window() != None && capture(window()).lit() > 0; }))
            << "particles were drawn in the window";
        if (c.where != Where::Own) {
            EXPECT_EQ(ownWindow(), None) << "no window of its own";
        }
        if (c.ending == Ending::Terminate) {
            run.signal(SIGTERM);
        } else {
            sendToOwnWindow(c.ending == Ending::CloseButton);
        }
        EXPECT_TRUE(run.endsWithin(EndWithinMs, 0));
        EXPECT_EQ(run.err(), "");
    }
}

// After 12 s at the Windows renderer's screen size, the picture passes the check that the
// Windows renderer's screenshot passes; -fps reports a rate once a second, held to 60 Hz.
TEST(Lumivane, PictureLikeTheWindowsRenderersAndFrameRateLines) {
    HackRun run({"-window", "-fps"});
    ASSERT_TRUE(waitFor(StartWithinMs, [] { return ownWindow() != None; }));
    std::this_thread::sleep_for(std::chrono::seconds(PictureSeconds));
    const Picture picture = capture(ownWindow());
    ASSERT_EQ(picture.width, ScreenWidth);
    ASSERT_EQ(picture.height, ScreenHeight);
    const std::string shot = OutputDir + "/own_window.rgb";
    std::ofstream file(shot, std::ios::binary);
    for (unsigned long p : picture.pixels) file << char(p >> 16) << char(p >> 8) << char(p);
    file.close();
    const std::string check = "python3 '" LUMIVANE_SHOT_STATS "' '" + shot + "' " + std::to_string(ScreenWidth) +
                              " " + std::to_string(ScreenHeight);
    EXPECT_EQ(std::system(check.c_str()), 0) << check;

    run.signal(SIGTERM);
    ASSERT_TRUE(run.endsWithin(EndWithinMs, 0));
    std::vector<double> rates;
    const std::string err = run.err();
    const std::regex line("lumivane: ([0-9.]+) fps\n");
    for (auto m = std::sregex_iterator(err.begin(), err.end(), line); m != std::sregex_iterator(); ++m) {
        rates.push_back(std::stod((*m)[1]));
        EXPECT_GT(rates.back(), 1.0);
        EXPECT_LE(rates.back(), PacedRateCeiling);
    }
    ASSERT_GE(rates.size(), static_cast<size_t>(PictureSeconds - 1)) << err;
    std::sort(rates.begin(), rates.end());
    std::printf("frame rate at 1024x768: median %.1f fps\n", rates[rates.size() / 2]);
}

// The first present turns the test's grey window black: start-up is measured up to there. A
// window that grows is drawn in beyond the corner of its old size.
TEST(Lumivane, StartUpTimeAndAWindowThatChangesSize) {
    constexpr int Width = 320, Height = 240;
    TestWindow given(Width, Height, Grey);
    HackRun run({"-window-id", std::to_string(given.id)});
    ASSERT_TRUE(waitFor(StartWithinMs, [&] { return capture(given.id).at(Width / 2, Height / 2) != Grey; }));
    const double firstPresentMs = run.msSinceStart();
    ASSERT_TRUE(waitFor(StartWithinMs, [&] { return capture(given.id).lit() > 0; }));
    std::printf("start-up: first picture after %.0f ms, first particle after %.0f ms\n", firstPresentMs,
                run.msSinceStart());
    EXPECT_LT(firstPresentMs, 2000);

    std::this_thread::sleep_for(std::chrono::seconds(4));
    XSetWindowBackground(display, given.id, Black);  // the area gained is lit only by drawing
    XResizeWindow(display, given.id, 2 * Width, 2 * Height);
    // OpenGL's origin is the bottom-left corner: a view left at the old size draws only there.
    const auto outsideOldView = [&](int x, int y) { return x >= Width || y < Height; };
    EXPECT_TRUE(waitFor(5000, [&] {
        const Picture picture = capture(given.id);
        return picture.width == 2 * Width && picture.lit(outsideOldView) > 50;
    })) << "particles were drawn outside the old view";
    run.signal(SIGTERM);
    EXPECT_TRUE(run.endsWithin(EndWithinMs, 0)) << run.err();
}

// -help lists the options; an option it does not know ends it with status 1 and the usage line;
// every option that the installed settings description passes is one it knows.
TEST(Lumivane, CommandLineAndSettingsDescription) {
    const std::string description = readFile(SettingsDescription);
    ASSERT_NE(description.find("<screensaver name=\"lumivane\""), std::string::npos) << SettingsDescription;
    std::vector<std::string> described;
    const std::regex argument("arg(-set)?=\"([^\"]+)\"");
    for (auto m = std::sregex_iterator(description.begin(), description.end(), argument);
         m != std::sregex_iterator(); ++m) {
        described.push_back((*m)[2]);
    }
    ASSERT_FALSE(described.empty());
    described.push_back("-help");  // with options it knows, -help only lists them

    const struct {
        std::vector<std::string> arguments;
        int status;
        const char *out, *err;
    } cases[] = {
        {{"-help"}, 0, "-window-id ID", ""},
        {{"--bogus"}, 1, "", "usage: lumivane [-root | -window | -window-id ID] [-fps] [-help]\n"},
        {{"-window-id"}, 1, "", "usage: lumivane"},
        {described, 0, "usage: lumivane", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments[0]);
        HackRun run(c.arguments);
        EXPECT_TRUE(run.endsWithin(EndWithinMs, c.status));
        EXPECT_NE(run.out().find(c.out), std::string::npos) << run.out();
        EXPECT_NE(run.err().find(c.err), std::string::npos) << run.err();
        if (c.status == 0) {
            EXPECT_EQ(run.err(), "");
        }
    }
}

}  // namespace
