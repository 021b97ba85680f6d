// The installed Linux program on a private 1024x768 Xvfb screen with Mesa: where it draws, its
// picture against the Windows renderer's check, its start-up time, a window that changes size, its
// frame-rate lines, its end on SIGTERM and its command line.
#include <gtest/gtest.h>  // before Xlib, whose None macro would break it

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int StartWithinMs = 10000;      // to the first picture
constexpr int EndWithinMs = 1000;         // from SIGTERM to the end
constexpr unsigned long Grey = 0x808080;  // no frame leaves it
const std::string Out = LUMIVANE_X11_TEST_OUTPUT_DIR;
const std::string Program = Out + "/prefix/libexec/xscreensaver/lumivane";  // where XScreenSaver looks
Display* display = nullptr;

// True when the condition comes true within ms, polled every 20 ms.
bool waitFor(int ms, const std::function<bool()>& condition) {
    for (const auto end = Clock::now() + std::chrono::milliseconds(ms); !condition();) {
        if (Clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// The program installed under a prefix of the test's own, and an Xvfb screen with a black root
// for the whole test program, which goes with it (and takes any program left running along).
class XvfbScreen : public ::testing::Environment {
    void SetUp() override {
        ASSERT_EQ(std::system(("cmake --install " LUMIVANE_BINARY_DIR " --prefix " + Out + "/prefix >/dev/null").c_str()), 0);
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        if (fork() == 0) {
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            execlp("Xvfb", "Xvfb", "-displayfd", std::to_string(fds[1]).c_str(), "-screen", "0", "1024x768x24", "-br",
                   "-nolisten", "tcp", static_cast<char*>(nullptr));
        }
        close(fds[1]);
        std::string name = ":";  // the number comes as a line, perhaps in pieces
        for (char c = 0; read(fds[0], &c, 1) == 1 && c != '\n';) name += c;
        setenv("DISPLAY", name.c_str(), 1);
        ASSERT_NE(display = XOpenDisplay(nullptr), nullptr) << "Xvfb on " << name;
    }
};
const auto* const screen = ::testing::AddGlobalTestEnvironment(new XvfbScreen);

// One run of the program, its standard error in a file.
struct HackRun {
    pid_t pid = 0;
    Clock::time_point started = Clock::now();
    explicit HackRun(std::vector<std::string> arguments) {
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 2, (Out + "/stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        arguments.insert(arguments.begin(), Program);
        std::vector<char*> argv;
        for (std::string& a : arguments) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn(&pid, Program.c_str(), &files, nullptr, argv.data(), environ);
    }
    // True when the program ends within ms (after SIGTERM, unless it is to end by itself) with this status.
    bool endsWithin(int ms, int exitStatus, bool terminate = true) {
        int status = -1;
        if (terminate) kill(pid, SIGTERM);
        return waitFor(ms, [&] { return waitpid(pid, &status, WNOHANG) == pid; }) && WIFEXITED(status) &&
               WEXITSTATUS(status) == exitStatus;
    }
    double ms() const { return std::chrono::duration<double, std::milli>(Clock::now() - started).count(); }
    std::string err() const { return std::string(std::istreambuf_iterator<char>(std::ifstream(Out + "/stderr.txt").rdbuf()), {}); }
};

// How many pixels (0xRRGGBB) of a window meet the condition, 0 while it is not on the screen; lit
// ones by default, with a channel at 16 or above as in the picture check.
int countPixels(Window window, const std::function<bool(unsigned long, int, int)>& condition = [](unsigned long p, int, int) {
    return (p >> 16 & 255) >= 16 || (p >> 8 & 255) >= 16 || (p & 255) >= 16;
}) {
    XWindowAttributes a{};
    XImage* image = nullptr;
    if (!XGetWindowAttributes(display, window, &a) || a.map_state != IsViewable ||
        !(image = XGetImage(display, window, 0, 0, a.width, a.height, AllPlanes, ZPixmap))) {
        return 0;
    }
    int count = 0;
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) count += condition(XGetPixel(image, x, y) & 0xFFFFFF, x, y);
    }
    XDestroyImage(image);
    return count;
}

// In its own window the scene is lit within seconds, and a screenshot after 5 s passes the picture
// check that the Windows renderer's passes.
TEST(Lumivane, OwnWindowShowsThePictureOfTheWindowsRenderer) {
    HackRun run({"-window"});
    ASSERT_TRUE(waitFor(StartWithinMs, [] {
        return std::system("xdotool search --name '^Lumivane$' >/dev/null") == 0 && countPixels(DefaultRootWindow(display));
    }));
    std::this_thread::sleep_for(std::chrono::milliseconds(5000) - (Clock::now() - run.started));
    const std::string shot = Out + "/own_window.rgb";
    const std::string check = "import -window root -depth 8 rgb:" + shot + " && python3 " LUMIVANE_SHOT_STATS " " + shot + " 1024 768";
    EXPECT_EQ(std::system(check.c_str()), 0) << check;
    EXPECT_TRUE(run.endsWithin(EndWithinMs, 0));
}

// Into a window of the test's own: the first frame turns the grey black, which times the start-up;
// grown, the window is drawn in beyond the corner of its old size; -fps prints a rate held to 60 Hz.
TEST(Lumivane, GivenWindowStartUpResizeAndFrameRate) {
    constexpr int Width = 320, Height = 240;
    const Window given = XCreateSimpleWindow(display, DefaultRootWindow(display), 100, 100, Width, Height, 0, 0, Grey);
    XMapWindow(display, given);
    ASSERT_TRUE(waitFor(StartWithinMs, [&] { return countPixels(given, [](unsigned long p, int, int) { return p == Grey; }); }));
    HackRun run({"-window-id", std::to_string(given), "-fps"});
    ASSERT_TRUE(waitFor(StartWithinMs, [&] {
        return countPixels(given, [](unsigned long p, int x, int y) { return x == Width / 2 && y == Height / 2 && p != Grey; });
    }));
    const double firstFrameMs = run.ms();
    ASSERT_TRUE(waitFor(StartWithinMs, [&] { return countPixels(given) > 0; }));
    std::printf("start-up: the first frame after %.0f ms, the first particle after %.0f ms\n", firstFrameMs, run.ms());
    EXPECT_LT(firstFrameMs, 2000);
    XSetWindowBackground(display, given, 0);  // the area gained is lit only by drawing
    XResizeWindow(display, given, 2 * Width, 2 * Height);
    // OpenGL's origin is the bottom-left corner: a view left at the old size draws only there.
    EXPECT_TRUE(waitFor(5000, [&] {
        return countPixels(given, [](unsigned long p, int x, int y) { return p != 0 && (x >= Width || y < Height); }) > 50;
    })) << "particles were drawn outside the old view";
    std::this_thread::sleep_for(std::chrono::milliseconds(2500) - (Clock::now() - run.started));
    EXPECT_TRUE(run.endsWithin(EndWithinMs, 0));
    const std::string err = run.err();
    const std::regex rate("lumivane: ([0-9.]+) fps\n");
    int lines = 0;
    for (std::sregex_iterator m(err.begin(), err.end(), rate), end; m != end; ++m, ++lines) {
        EXPECT_TRUE(std::stod((*m)[1]) > 1 && std::stod((*m)[1]) < 63) << m->str();
    }
    EXPECT_GE(lines, 2) << err;
    XDestroyWindow(display, given);
}

// The root window with the options its settings description passes; an unknown option ends it with
// status 1 and the usage line.
TEST(Lumivane, RootWindowAndAnUnknownOption) {
    HackRun root({"--root", "--fps"});
    EXPECT_TRUE(waitFor(StartWithinMs, [] { return countPixels(DefaultRootWindow(display)) > 0; }));
    EXPECT_TRUE(root.endsWithin(EndWithinMs, 0));
    HackRun bogus({"--bogus"});
    EXPECT_TRUE(bogus.endsWithin(EndWithinMs, 1, false));
    EXPECT_NE(bogus.err().find("usage: lumivane [-root | -window | -window-id ID] [-fps] [-help]\n"), std::string::npos);
}

}  // namespace
