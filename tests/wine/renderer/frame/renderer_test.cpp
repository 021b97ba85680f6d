// The renderer's message loop in this test program: a saver window on a Renderer record of the
// test's own, run by the real loop, with the system's display and session notifications sent to
// its window procedure as the system would send them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <vector>

#include "renderer/frame/renderer.h"
#include "renderer/frame/window.h"

namespace {

// When the pacing is judged: after a second of warming up, over two seconds.
constexpr DWORD MeasureFromMs = 1000;
constexpr DWORD MeasureForMs = 2000;
// How often the script's timer looks for due steps (milliseconds).
constexpr UINT ScriptTickMs = 10;

// One step of a script: at `atMs` after the loop started, `act` runs inside the loop's thread.
struct Step {
    DWORD atMs;
    std::function<void()> act;
};

// A script that runs while the loop does; its last step destroys the window, which ends the loop.
struct Script {
    std::vector<Step> steps;
    size_t next = 0;
    DWORD startMs = 0;
};
Script* runningScript = nullptr;  // the timer procedure's way to its script

void CALLBACK runDueSteps(HWND, UINT, UINT_PTR, DWORD) {
    Script& script = *runningScript;
    while (script.next < script.steps.size() && GetTickCount() - script.startMs >= script.steps[script.next].atMs) {
        script.steps[script.next++].act();
    }
}

// Processor time of this process so far, all threads, the driver's included (milliseconds).
double processCpuMs() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& t) {
        return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

// What the loop had done at a moment of the script.
struct Sample {
    uint32_t presents = 0;
    double cpuMs = 0;
};

// A saver window on a record of the test's own, run by the real message loop until the script's
// last step destroys it.
class LoopRun {
public:
    explicit LoopRun(bool pacing) {
        renderer.instance = GetModuleHandleW(nullptr);
        renderer.pacingEnabled = pacing;
    }
    // Takes a sample into `into` at atMs.
    void sampleAt(DWORD atMs, Sample& into) {
        script.steps.push_back({atMs, [this, &into] { into = {renderer.surface.presentCount, processCpuMs()}; }});
    }
    void at(DWORD atMs, std::function<void()> act) { script.steps.push_back({atMs, std::move(act)}); }
    // Runs the loop; the steps must be in time order. False when the window could not be made.
    bool run(DWORD endMs) {
        at(endMs, [this] { DestroyWindow(window); });
        window = createSaverWindow(renderer);
        if (window == nullptr) return false;
        runningScript = &script;
        script.startMs = GetTickCount();
        const UINT_PTR timer = SetTimer(nullptr, 0, ScriptTickMs, runDueSteps);
        exitCode = runMessageLoop(renderer);
        KillTimer(nullptr, timer);
        runningScript = nullptr;
        return true;
    }
    // Sends the console display state as the power-setting notification carries it.
    void sendDisplayState(DWORD state) {
        POWERBROADCAST_SETTING setting{};
        setting.PowerSetting = GUID_CONSOLE_DISPLAY_STATE;
        setting.DataLength = sizeof(DWORD);
        CopyMemory(setting.Data, &state, sizeof state);
        SendMessageW(window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(&setting));
    }
    void sendSessionChange(WPARAM event) { SendMessageW(window, WM_WTSSESSION_CHANGE, event, 0); }

    Renderer renderer;
    HWND window = nullptr;
    int exitCode = -1;

private:
    Script script;
};

// Frames per second and processor time per second between two samples.
struct Rate {
    double fps, cpuMsPerSecond;
};
Rate rateBetween(const Sample& from, const Sample& to, DWORD ms) {
    return {(to.presents - from.presents) * 1000.0 / ms, (to.cpuMs - from.cpuMs) * 1000.0 / ms};
}

// Xvfb has no vertical blank and reports no refresh rate, so the renderer paces itself to 60 Hz;
// unpaced, it presents as fast as the driver goes. Processor time follows the frame rate.
TEST(MessageLoop, PacesPresentsToSixtyHertzWhereTheDriverRunsFarAboveAndSpendsProcessorTimeAccordingly) {
    Rate rates[2];
    for (const bool pacing : {true, false}) {
        LoopRun loop(pacing);
        Sample from, to;
        loop.sampleAt(MeasureFromMs, from);
        loop.sampleAt(MeasureFromMs + MeasureForMs, to);
        ASSERT_TRUE(loop.run(MeasureFromMs + MeasureForMs));
        EXPECT_EQ(loop.exitCode, 0);
        rates[pacing ? 0 : 1] = rateBetween(from, to, MeasureForMs);
    }
    const Rate& paced = rates[0];
    const Rate& unpaced = rates[1];
    std::printf("paced %.1f fps, %.0f ms processor time per second; unpaced %.1f fps, %.0f ms per second\n",
                paced.fps, paced.cpuMsPerSecond, unpaced.fps, unpaced.cpuMsPerSecond);
    EXPECT_GE(paced.fps, 55.0);
    EXPECT_LE(paced.fps, 65.0);
    ASSERT_GT(unpaced.fps, 1.5 * paced.fps) << "the driver must run far above 60 Hz for pacing to matter";
    // Per second, processor time falls with the frame rate: a paced frame may cost more than an
    // unpaced one (the driver's threads wake for each), but not three times as much.
    const double inProportion = unpaced.cpuMsPerSecond * paced.fps / unpaced.fps;
    EXPECT_LT(paced.cpuMsPerSecond, 3 * inProportion);
    EXPECT_LT(paced.cpuMsPerSecond, 0.75 * unpaced.cpuMsPerSecond);
}

// While the display is off or the session locked, the loop waits for messages: no presents, no
// processor time to speak of. A dimmed display still shows the picture. Presents resume at once.
TEST(MessageLoop, DrawsNothingWhileTheDisplayIsOffOrTheSessionLockedAndResumesAtOnce) {
    constexpr DWORD Settle = 100;  // for presents under way when a state changes (milliseconds)
    constexpr DWORD Paused = 1000;
    constexpr DWORD Resume = 200;  // at 60 Hz, a dozen frames
    LoopRun loop(true);
    struct Phase {
        const char* what;
        std::function<void()> change;
        bool drawing;
        Sample from, to;
    };
    std::vector<Phase> phases = {
        {"display off", [&] { loop.sendDisplayState(0); }, false, {}, {}},
        {"display on", [&] { loop.sendDisplayState(1); }, true, {}, {}},
        {"display dimmed", [&] { loop.sendDisplayState(2); }, true, {}, {}},
        {"session locked", [&] { loop.sendSessionChange(WTS_SESSION_LOCK); }, false, {}, {}},
        {"session unlocked", [&] { loop.sendSessionChange(WTS_SESSION_UNLOCK); }, true, {}, {}},
        {"session disconnected", [&] { loop.sendSessionChange(WTS_CONSOLE_DISCONNECT); }, false, {}, {}},
        {"session connected", [&] { loop.sendSessionChange(WTS_CONSOLE_CONNECT); }, true, {}, {}},
    };
    DWORD at = MeasureFromMs;
    for (Phase& phase : phases) {
        loop.at(at, phase.change);
        const DWORD lasting = phase.drawing ? Resume : Paused;
        // A paused phase is judged after its presents in flight; a drawing one from its very start.
        loop.sampleAt(phase.drawing ? at : at + Settle, phase.from);
        loop.sampleAt(at + lasting, phase.to);
        at += lasting;
    }
    ASSERT_TRUE(loop.run(at));
    for (const Phase& phase : phases) {
        const DWORD lasting = phase.drawing ? Resume : Paused - Settle;
        const Rate rate = rateBetween(phase.from, phase.to, lasting);
        std::printf("%s: %.1f fps, %.0f ms processor time per second\n", phase.what, rate.fps, rate.cpuMsPerSecond);
        if (phase.drawing) {
            EXPECT_GT(rate.fps, 30.0) << phase.what;
        } else {
            EXPECT_EQ(phase.to.presents, phase.from.presents) << phase.what;
            EXPECT_LT(rate.cpuMsPerSecond, 50.0) << phase.what;
        }
    }
}

}  // namespace
