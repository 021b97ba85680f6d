// The saver window's frame tick and message loop, on the renderer's own record: when a frame is drawn,
// the pacing, the pause while no one can see the screen; and a set-up that OpenGL refuses.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

#include "renderer/frame/window.h"
#include "support/refusing_surface.h"
#include "support/saver_window.h"

namespace {

// Rates a busy machine measures, frames a second: it may drop one frame in four, where a wrong cap halves the rate.
constexpr double FullRateLeast = 45, FullRateMost = 65;  // paced to the 60 Hz display
constexpr double HalfRateLeast = 25, HalfRateMost = 32;  // every second refresh

// Whether a measured rate lies within a range; a failure shows the rate.
testing::AssertionResult rateWithin(double fps, double least, double most) {
    if (fps >= least && fps <= most) return testing::AssertionSuccess();
    return testing::AssertionFailure() << fps << " frames a second, not " << least << " to " << most;
}

TEST(FrameTick, DrawsOnlyWhileTheSceneIsReadyAndNoPasswordDialogIsOpen) {
    Renderer& renderer = wintest::saverRenderer();
    for (const auto [ready, dialog, draws] : {std::array{false, false, false}, {true, true, false}, {true, false, true}}) {
        renderer.sceneReady = ready;
        renderer.passwordDialogOpen = dialog;
        const uint32_t presents = renderer.surface->presentCount;
        frameTick(renderer);
        EXPECT_EQ(renderer.surface->presentCount != presents, draws) << "ready " << ready << ", dialog " << dialog;
    }
}

// Runs the loop for `ms` after `change` reached the window from a thread beside it; presents and processor ms a second.
std::pair<double, double> runLoop(DWORD ms, const std::function<void()>& change = [] {}) {
    Renderer& renderer = wintest::saverRenderer();
    const auto counts = [&renderer] {  // processor time of all threads, the driver's included
        FILETIME created, exited, kernel, user;
        GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
        const auto ms = [](const FILETIME& t) { return (uint64_t{t.dwHighDateTime} << 32 | t.dwLowDateTime) / 1e4; };
        return std::pair{static_cast<double>(renderer.surface->presentCount), ms(kernel) + ms(user)};
    };
    const DWORD loopThread = GetCurrentThreadId(), start = GetTickCount();
    const auto [presents, cpu] = counts();
    std::thread beside([&] {
        change();
        Sleep(ms);
        PostThreadMessageW(loopThread, WM_QUIT, 0, 0);
    });
    EXPECT_EQ(runMessageLoop(renderer), 0);
    beside.join();
    const double seconds = (GetTickCount() - start) / 1000.0;
    return {(counts().first - presents) / seconds, (counts().second - cpu) / seconds};
}

// Xvfb reports no refresh rate: the loop paces to the 60 Hz default, spending less than unpaced. While the
// display is off or the session locked it presents nothing, and a notification that it shows again wakes it,
// with the scene going on from where it stood.
TEST(MessageLoop, PacesToSixtyHertzAndPausesWhileNoOneCanSeeTheScreen) {
    Renderer& renderer = wintest::saverRenderer();
    const HWND window = wintest::saverWindow();
    const auto display = [window](DWORD state) {
        POWERBROADCAST_SETTING setting{GUID_CONSOLE_DISPLAY_STATE, sizeof state, {}};
        std::memcpy(setting.Data, &state, sizeof state);
        SendMessageW(window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(&setting));
    };
    const auto [pacedFps, pacedCpu] = (runLoop(1000), runLoop(1500));  // after warming up
    const auto [offFps, offCpu] = (display(0), runLoop(500));
    display(1);
    frameTick(renderer);
    const float firstDt = renderer.run.clock.dt;  // the scene goes on from where it stood, not half a second on
    const double onFps = runLoop(300).first;
    const auto [lockedFps, lockedCpu] = (SendMessageW(window, WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 0), runLoop(500));
    const double unlockedFps = runLoop(300, [window] { SendMessageW(window, WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 0); }).first;
    startPacing(renderer.pacer, DefaultRefreshHz, false);
    const auto [unpacedFps, unpacedCpu] = (runLoop(300), runLoop(1500));
    std::printf("frames, processor ms a second: paced %.1f, %.0f; unpaced %.1f, %.0f; display off %.1f, on %.1f\n",
                pacedFps, pacedCpu, unpacedFps, unpacedCpu, offFps, onFps);
    EXPECT_TRUE(rateWithin(pacedFps, FullRateLeast, FullRateMost));
    ASSERT_GT(unpacedFps, 1.5 * pacedFps) << "the driver must run far above 60 Hz for pacing to matter";
    EXPECT_LT(pacedCpu, 0.75 * unpacedCpu);
    EXPECT_EQ(offFps, 0) << "frames with the display off";
    EXPECT_EQ(lockedFps, 0) << "frames in a locked session";
    EXPECT_LT(offCpu, 50) << "processor ms a second with the display off";
    EXPECT_LT(lockedCpu, 50) << "processor ms a second in a locked session";
    EXPECT_GT(onFps, 30) << "frames once the display is back";
    EXPECT_LT(firstDt, 0.1f) << "seconds the scene leapt in the first frame after the pause";
    EXPECT_GT(unlockedFps, 30) << "frames once the session is unlocked";
}

// " 30" presents 30 frames a second where the display refreshes at 60 Hz (Xvfb's unknown rate). With every
// frame allowed, a power-status change posted to the window as the system broadcasts it, with the status on
// battery, lowers the rate to 30 at once, and one on mains raises it again; the power-setting notification
// of Vista and later does the same.
TEST(MessageLoop, FrameRateChoiceAndBatterySaverHoldThePacedRate) {
    Renderer& renderer = wintest::saverRenderer();
    const HWND window = wintest::saverWindow();
    bool testOnBattery = false;  // the power status as the test reports it to the renderer in place of the system's
    renderer.onBattery = [&testOnBattery] { return testOnBattery; };
    const auto statusChange = [window, &testOnBattery](bool battery) {
        return [window, battery, &testOnBattery] {
            testOnBattery = battery;
            PostMessageW(window, WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, 0);
        };
    };
    const auto sourceSetting = [window](DWORD source) {
        return [window, source] {
            POWERBROADCAST_SETTING setting{GUID_ACDC_POWER_SOURCE, sizeof source, {}};
            std::memcpy(setting.Data, &source, sizeof source);
            SendMessageW(window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(&setting));
        };
    };
    using SwapInterval = int(WINAPI*)();  // the refreshes per present the driver was asked for
    const auto swapInterval =
        reinterpret_cast<SwapInterval>(reinterpret_cast<void*>(wglGetProcAddress("wglGetSwapIntervalEXT")));
    ASSERT_NE(swapInterval, nullptr);
    renderer.frameRate = FrameRateRule{30, true, false};
    paceFrames(renderer);
    const auto [thirtyFps, thirtyCpu] = (runLoop(300), runLoop(2000));
    EXPECT_EQ(swapInterval(), 2) << "\" 30\" at 60 Hz presents every second refresh";
    renderer.frameRate.choice = FrameRateAsDisplayAllows;
    paceFrames(renderer);
    const auto [mainsFps, mainsCpu] = (runLoop(300), runLoop(1500));
    EXPECT_EQ(swapInterval(), 1);
    const double batteryFps = (runLoop(300, statusChange(true)), runLoop(1500).first);
    const double backFps = (runLoop(300, statusChange(false)), runLoop(1500).first);
    const double settingFps = (runLoop(300, sourceSetting(1)), runLoop(1500).first);
    const double settingBackFps = (runLoop(300, sourceSetting(0)), runLoop(1500).first);
    renderer.frameRate.batterySaver = false;
    const double saverOffFps = (runLoop(300, statusChange(true)), runLoop(1500).first);
    std::printf("frames a second: \" 30\" %.1f (%.0f processor ms a second), \" 0\" %.1f (%.0f); on battery %.1f, "
                "mains %.1f; power setting battery %.1f, mains %.1f; saver off on battery %.1f; Wine reports %s\n",
                thirtyFps, thirtyCpu, mainsFps, mainsCpu, batteryFps, backFps, settingFps, settingBackFps, saverOffFps,
                systemOnBattery() ? "battery" : "mains");
    EXPECT_TRUE(rateWithin(thirtyFps, HalfRateLeast, HalfRateMost));
    EXPECT_TRUE(rateWithin(mainsFps, FullRateLeast, FullRateMost));
    EXPECT_TRUE(rateWithin(batteryFps, HalfRateLeast, HalfRateMost));
    EXPECT_TRUE(rateWithin(backFps, FullRateLeast, FullRateMost));
    EXPECT_TRUE(rateWithin(settingFps, HalfRateLeast, HalfRateMost));
    EXPECT_TRUE(rateWithin(settingBackFps, FullRateLeast, FullRateMost));
    EXPECT_TRUE(rateWithin(saverOffFps, FullRateLeast, FullRateMost)) << "the battery saver switched off";
    POWERBROADCAST_SETTING ups{};  // a short-term source runs out as a battery does
    ups.PowerSetting = GUID_ACDC_POWER_SOURCE;
    ups.DataLength = sizeof(DWORD);
    ups.Data[0] = 2;
    EXPECT_EQ(readPowerNews(PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(&ups)), PowerNews::OnBattery) << "a UPS";
    renderer.frameRate = FrameRateRule{};
    renderer.onBattery = systemOnBattery;
    paceFrames(renderer);
}

// Where OpenGL refuses a step, the window is not made (the program then ends with code 1) and the log says why.
TEST(SetUp, FailsWithOneLineWhereOpenGlRefuses) {
    using Step = wintest::RefusingSurface::Step;
    for (const auto& [step, why] : {std::pair{Step::PixelFormat, "no pixel format"}, {Step::Context, "no OpenGL context"}}) {
        wintest::RefusingSurface surface(step);
        Renderer refused;
        refused.instance = GetModuleHandleW(nullptr);
        refused.surface = &surface;
        refused.layout = wintest::saverRenderer().layout;
        EXPECT_EQ(createSaverWindow(refused), nullptr) << why;
        EXPECT_EQ(surface.log, std::string("OpenGL set-up failed: ") + surface.failure() + "\n") << "one line";
        EXPECT_EQ(std::string(surface.failure()).rfind(why, 0), 0u) << surface.failure();
        EXPECT_FALSE(refused.run.running || refused.sceneReady) << why;
    }
}

// The window covers the place its layout gives, also where a monitor lies left of and above the primary.
TEST(SetUp, TheWindowCoversItsPlaceLeftOfAndAboveThePrimary) {
    Renderer placed;
    placed.instance = GetModuleHandleW(nullptr);
    placed.layout = wintest::saverRenderer().layout;
    placed.layout.window = {-300, -200, 500, 400};
    const HDC savedDc = wglGetCurrentDC();  // the shared saver window's, which the other tests draw with
    const HGLRC savedContext = wglGetCurrentContext();
    const HWND window = createSaverWindow(placed);
    ASSERT_NE(window, nullptr);
    RECT r{};
    GetWindowRect(window, &r);
    EXPECT_TRUE(r.left == -300 && r.top == -200 && r.right == 500 && r.bottom == 400)
        << r.left << ", " << r.top << " to " << r.right << ", " << r.bottom;
    DestroyWindow(window);
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);  // the window's end asks this thread's loop to end
    wglMakeCurrent(savedDc, savedContext);
}

}  // namespace
