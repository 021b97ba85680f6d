// The renderer's record on a saver window that its own code opens in this program for the whole run
// (destroying a window that had an OpenGL context takes Wine seconds): the drawing read back, the
// frame tick, and the message loop with the display and session notifications the system sends.
#include <windows.h>
#include <GL/gl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <thread>
#include <vector>

#include "renderer/frame/renderer.h"
#include "renderer/frame/window.h"

namespace {

constexpr int Width = 1024, Height = 768;  // the session's screen, which the window covers
constexpr int PictureLevelTolerance = 2;   // the two drawings of a picture differ by at most this in a channel,
constexpr double LitShareTolerance = 0.005;  // and in their lit pixels (a channel of 16 or more) by this share

Renderer renderer;
HWND window = nullptr;

// The saver window's procedure, which also answers the presents so far to a thread beside the loop.
LRESULT CALLBACK countingProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    return message == WM_APP ? renderer.surface.presentCount : saverClassProc(w, message, wParam, lParam);
}

class SaverWindow : public ::testing::Environment {
    void SetUp() override {
        renderer.instance = GetModuleHandleW(nullptr);
        ASSERT_NE(window = createSaverWindow(renderer), nullptr);
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(countingProc));
    }
    void TearDown() override { DestroyWindow(window); }
};
const auto* const saverWindow = ::testing::AddGlobalTestEnvironment(new SaverWindow);

// RGB bytes of a rectangle of the back buffer, bottom row first.
std::vector<uint8_t> readRgb(int x = 0, int y = 0, int w = Width, int h = Height) {
    std::vector<uint8_t> pixels(static_cast<size_t>(w) * h * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, w, h, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// twoPassSwap says whether a box cleared green into the back buffer is gone after a swap. Grey 200,
// then passes of the veil (or the clear), leaves every pixel at the level expected. An orange
// sprite 40 units wide and 50 units out on x glows in its colour straight above the view's centre
// after a quarter turn about z (with a translation that the pass must ignore).
TEST(Drawing, SwapVeilAndSprite) {
    glClear(GL_COLOR_BUFFER_BIT);
    SwapBuffers(renderer.surface.dc);
    glClear(GL_COLOR_BUFFER_BIT);
    glScissor(10, 10, 4, 4);
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0, 0, 0, 1);
    SwapBuffers(renderer.surface.dc);
    EXPECT_EQ(renderer.surface.twoPassSwap, readRgb(11, 11, 1, 1)[1] == 0);
    setUpView(renderer.layout.views[0]);

    renderer.scene.liveParticleCount = 0;
    for (const auto [trailLevel, passes, level] : {std::array{10, 1, 155}, {10, 2, 120}, {0, 1, 0}}) {
        renderer.scene.settings.TrailLevel = trailLevel;
        glClearColor(200 / 255.0f, 200 / 255.0f, 200 / 255.0f, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(0, 0, 0, 1);  // the renderer's, which the clear of TrailLevel 0 uses
        loadCamera(-1000);
        for (int pass = 0; pass < passes; ++pass) drawScenePass(renderer.drawing, renderer.scene);
        const std::vector<uint8_t> rgb = readRgb();
        const auto [low, high] = std::minmax_element(rgb.begin(), rgb.end());
        EXPECT_TRUE(*low >= level - 1 && *high <= level + 1)
            << "TrailLevel " << trailLevel << ", " << passes << " passes: " << +*low << " to " << +*high;
    }

    renderer.scene.particles[0].position = Vector3(50, 0, 0);
    renderer.scene.particles[0].colour = Vector3(1, 0.5f, 0);
    renderer.scene.particles[0].size = 40;
    renderer.scene.liveParticleCount = 1;
    const float quarterTurn[16] = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 300, 300, 300, 1};
    std::memcpy(renderer.scene.sceneRotation.m, quarterTurn, sizeof quarterTurn);
    loadCamera(-200);
    drawScenePass(renderer.drawing, renderer.scene);
    const int fifty = static_cast<int>(std::lround(50 / (400 * std::tan(3.14159265 / 6)) * Height));  // at 200, 60 degrees
    const std::vector<uint8_t> core = readRgb(Width / 2, Height / 2 + fifty, 1, 1);
    EXPECT_TRUE(core[0] > 200 && std::abs(core[1] - core[0] / 2) < 8 && core[2] <= 2) << +core[0] << "," << +core[1];
    const int halfway = readRgb(Width / 2 - fifty / 5, Height / 2 + fifty, 1, 1)[0];  // 10 units out
    EXPECT_TRUE(halfway > 20 && halfway < core[0] - 20) << halfway << ": the glow does not fade from the core";
    EXPECT_EQ(readRgb(Width / 2 + fifty, Height / 2, 1, 1)[0], 0) << "where the unturned position lies";
}

// The batched drawing must look like the per-sprite one: one frame from a cleared screen, all 1000
// particles of the same seeded scene in play, as the camera stands and close up, where sprites are
// large and cover each other.
TEST(Drawing, BatchedFrameFromAClearedScreenMatchesThePerSpriteOne) {
    Scene scene;
    seedScene(scene, 20240611);
    createSceneObjects(scene);
    for (int frame = 0; frame < 2600; ++frame) advanceScene(scene, 0.05f);  // 130 s
    ASSERT_EQ(scene.liveParticleCount, 1000);
    for (const float cameraZ : {scene.cameraZ, -200.0f}) {
        std::vector<uint8_t> pictures[2];  // per sprite, batched
        double lit[2] = {0, 0};
        for (const DrawingStyle style : {DrawingStyle::PerSprite, DrawingStyle::Batched}) {
            const bool batched = style == DrawingStyle::Batched;
            renderer.drawing.style = style;
            ASSERT_TRUE(createDrawingObjects(renderer.drawing, scene.particleCount));
            glClear(GL_COLOR_BUFFER_BIT);
            loadCamera(cameraZ);
            drawScenePass(renderer.drawing, scene);
            pictures[batched] = readRgb();
            for (size_t k = 0; k < pictures[batched].size(); k += 3) {
                lit[batched] += *std::max_element(&pictures[batched][k], &pictures[batched][k + 3]) >= 16;
            }
        }
        int largest = 0;
        for (size_t k = 0; k < pictures[0].size(); ++k) largest = std::max(largest, std::abs(pictures[0][k] - pictures[1][k]));
        std::printf("camera %.0f: largest difference %d, lit pixels %.0f and %.0f\n", cameraZ, largest, lit[0], lit[1]);
        EXPECT_GT(lit[0], 0.005 * Width * Height) << "the comparison covers a picture full of sprites";
        EXPECT_LE(largest, PictureLevelTolerance);
        EXPECT_NEAR(lit[1], lit[0], LitShareTolerance * lit[0]);
    }
}

TEST(FrameTick, DrawsOnlyWhileTheSceneIsReadyAndNoPasswordDialogIsOpen) {
    for (const auto [ready, dialogOpen, draws] : {std::array{false, false, false}, {true, true, false}, {true, false, true}}) {
        renderer.sceneReady = ready;
        renderer.passwordDialogOpen = dialogOpen;
        const uint32_t presents = renderer.surface.presentCount;
        frameTick(renderer);
        EXPECT_EQ(renderer.surface.presentCount != presents, draws) << "ready " << ready << ", dialog " << dialogOpen;
    }
}

// Presents and processor time (milliseconds, all threads, the driver's included) a second.
struct Rate {
    double fps, cpu;
};

// Measures the running loop over `ms` from the thread beside it.
Rate measure(DWORD ms) {
    const auto now = [] {
        FILETIME created, exited, kernel, user;
        GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
        const auto msOf = [](const FILETIME& t) { return (uint64_t{t.dwHighDateTime} << 32 | t.dwLowDateTime) / 1e4; };
        return Rate{static_cast<double>(SendMessageW(window, WM_APP, 0, 0)), msOf(kernel) + msOf(user)};
    };
    const Rate from = now();
    const DWORD start = GetTickCount();
    Sleep(ms);
    const Rate to = now();
    const double seconds = (GetTickCount() - start) / 1000.0;
    return {(to.fps - from.fps) / seconds, (to.cpu - from.cpu) / seconds};
}

// Runs the renderer's message loop on the saver window until `driver`, on a thread beside it, is done.
void runLoop(const std::function<void()>& driver) {
    const DWORD loopThread = GetCurrentThreadId();
    std::thread beside([&] {
        driver();
        PostThreadMessageW(loopThread, WM_QUIT, 0, 0);
    });
    EXPECT_EQ(runMessageLoop(renderer), 0);
    beside.join();
}

// Xvfb reports no refresh rate, so the loop paces itself to the 60 Hz default; unpaced, it presents
// as fast as the driver goes, and processor time follows the frame rate. While the display is off
// or the session locked it waits for messages, presenting nothing, and it draws again at once when
// the screen shows again.
TEST(MessageLoop, PacesToSixtyHertzAndPausesWhileNoOneCanSeeTheScreen) {
    const auto display = [](DWORD state) {
        POWERBROADCAST_SETTING setting{GUID_CONSOLE_DISPLAY_STATE, sizeof state, {}};
        std::memcpy(setting.Data, &state, sizeof state);
        SendMessageW(window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(&setting));
    };
    Rate paced{}, unpaced{}, off{}, on{}, locked{}, unlocked{};
    renderer.sceneReady = true;
    runLoop([&] {  // a pause is measured after the presents under way
        paced = (Sleep(1000), measure(1500));
        off = (display(0), Sleep(100), measure(500));
        on = (display(1), measure(300));
        locked = (SendMessageW(window, WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 0), Sleep(100), measure(500));
        unlocked = (SendMessageW(window, WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 0), measure(300));
    });
    startPacing(renderer.pacer, DefaultRefreshHz, false);
    runLoop([&] { unpaced = (Sleep(300), measure(1500)); });
    std::printf("frames and processor milliseconds a second: paced %.1f, %.0f; unpaced %.1f, %.0f; display off %.1f, %.0f; "
                "on %.1f; session locked %.1f, %.0f; unlocked %.1f\n", paced.fps, paced.cpu, unpaced.fps, unpaced.cpu,
                off.fps, off.cpu, on.fps, locked.fps, locked.cpu, unlocked.fps);
    EXPECT_TRUE(paced.fps >= 55 && paced.fps <= 65);
    ASSERT_GT(unpaced.fps, 1.5 * paced.fps) << "the driver must run far above 60 Hz for pacing to matter";
    // A paced frame may cost more than an unpaced one (the driver's threads wake for each), but not three times as much.
    EXPECT_LT(paced.cpu, 3 * unpaced.cpu * paced.fps / unpaced.fps);
    EXPECT_LT(paced.cpu, 0.75 * unpaced.cpu);
    EXPECT_TRUE(off.fps == 0 && off.cpu < 50 && locked.fps == 0 && locked.cpu < 50);
    EXPECT_TRUE(on.fps > 30 && unlocked.fps > 30);
}

}  // namespace
