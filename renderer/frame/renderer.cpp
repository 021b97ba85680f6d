// The renderer's scene lifecycle, its frame tick and its message loop.
#include "renderer/frame/renderer.h"

namespace {
// Timer resolution asked for while pacing, so that its waits end on time (milliseconds).
constexpr UINT PacingTimerResolutionMs = 1;
// Microseconds per second and per millisecond.
constexpr int64_t MicrosecondsPerSecond = 1000000;
constexpr int64_t MicrosecondsPerMs = 1000;

// The primary display's refresh rate as the system reports it (0 or 1 where it does not know).
int displayRefreshHz() {
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode)) return 0;
    return static_cast<int>(mode.dmDisplayFrequency);
}

static_assert(MaxSceneViews <= MaxRunScenes, "a scene of its own for every view");
}  // namespace

// A record laid out for no monitor draws the one scene into its whole window; one laid out for a
// scene per monitor starts them all.
bool setUpScene(Renderer& renderer, HWND window, uint32_t seed) {
    RECT client{};
    GetClientRect(window, &client);
    if (renderer.layout.viewCount == 0) {
        renderer.layout.views[0] = SceneView{0, 0, client.right, client.bottom};
        renderer.layout.viewCount = 1;
    }
    renderer.surface->window = window;
    if (!startSceneRun(renderer.run, *renderer.surface, client.right, client.bottom, seed, renderer.layout.sceneCount)) {
        return false;
    }
    renderer.refreshHz = pacingRefreshHz(displayRefreshHz());
    renderer.frameRate.onBattery = renderer.onBattery();
    paceFrames(renderer);
    return true;
}

// A driver that waits for the display is asked to wait as many refreshes; one that does not is
// held to them by the pacer. Unpaced benchmarks keep every refresh.
void paceFrames(Renderer& renderer) {
    const int refreshes = refreshesPerFrame(renderer.refreshHz, frameRateCap(renderer.frameRate));
    startPacing(renderer.pacer, renderer.refreshHz, renderer.pacingEnabled, refreshes);
    renderer.surface->presentEvery(renderer.pacingEnabled ? refreshes : 1);
}

// The frame already due keeps its time; the new rate counts from the next.
void followPowerSource(Renderer& renderer, bool onBattery) {
    if (renderer.frameRate.onBattery == onBattery) return;
    renderer.frameRate.onBattery = onBattery;
    paceFrames(renderer);
}

// The run frees the surface's OpenGL as it stops.
void tearDownScene(Renderer& renderer) { stopSceneRun(renderer.run); }

// The clock runs even while no frame may be drawn.
void frameTick(Renderer& renderer) {
    const uint32_t now = timeGetTime();
    if (renderer.sceneReady && !renderer.passwordDialogOpen) {
        stepSceneRun(renderer.run, now, renderer.layout.views, renderer.layout.viewCount);
    } else {
        renderer.run.clock.tick(now);
    }
}

// The pacing forgets its deadline too, so the first frame after the pause comes at once.
void resumeFrames(Renderer& renderer) {
    resumeSceneRun(renderer.run);
    renderer.nextFrameUs = 0;
}

// Destroys the window once the shell has ended (its handle is then let go): the quit message follows.
void endWithShell(Renderer& renderer) {
    CloseHandle(renderer.shellProcess);
    renderer.shellProcess = nullptr;
    DestroyWindow(renderer.window);
}

// Waits up to `waitMs` for a message or the end of the shell; true when the shell has ended.
bool waitForInputOrShell(Renderer& renderer, DWORD waitMs) {
    const DWORD handleCount = renderer.shellProcess != nullptr ? 1 : 0;
    const DWORD woken = MsgWaitForMultipleObjects(handleCount, &renderer.shellProcess, FALSE, waitMs, QS_ALLINPUT);
    return handleCount != 0 && woken == WAIT_OBJECT_0;
}

// A wait for the pacing ends early when a message arrives, so input still closes at once; the
// wait is rounded up to whole milliseconds and the loop draws when it is over. Frames drawn without
// a wait look at the shell themselves.
int runMessageLoop(Renderer& renderer) {
    const bool pacing = renderer.pacer.periodUs > 0;
    if (pacing) timeBeginPeriod(PacingTimerResolutionMs);
    MSG msg{};
    for (;;) {
        // Messages always come first; a frame is drawn only when the queue is empty.
        while (screenVisible(renderer.visibility) && !PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            const int64_t now = microsecondsNow();
            if (now < renderer.nextFrameUs) {
                const int64_t waitMs = (renderer.nextFrameUs - now + MicrosecondsPerMs - 1) / MicrosecondsPerMs;
                if (waitForInputOrShell(renderer, static_cast<DWORD>(waitMs))) endWithShell(renderer);
                continue;
            }
            frameTick(renderer);
            const int64_t presented = microsecondsNow();
            const int64_t waitUs = waitAfterFrame(renderer.pacer, now, presented);
            renderer.nextFrameUs = presented + waitUs;
            if (waitUs == 0) {
                Sleep(0);
                if (waitForInputOrShell(renderer, 0)) endWithShell(renderer);
            }
        }
        // No frame to draw: sleep until a message, or the shell's end.
        if (renderer.shellProcess != nullptr && !PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) &&
            waitForInputOrShell(renderer, INFINITE)) {
            endWithShell(renderer);
        }
        if (GetMessageA(&msg, nullptr, 0, 0) <= 0) break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (pacing) timeEndPeriod(PacingTimerResolutionMs);
    return static_cast<int>(msg.wParam);
}

// Machines without a performance counter fall back to the millisecond timer.
int64_t microsecondsNow() {
    LARGE_INTEGER counter{}, frequency{};
    if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0 || !QueryPerformanceCounter(&counter)) {
        return static_cast<int64_t>(timeGetTime()) * MicrosecondsPerMs;
    }
    return counter.QuadPart / frequency.QuadPart * MicrosecondsPerSecond +
           counter.QuadPart % frequency.QuadPart * MicrosecondsPerSecond / frequency.QuadPart;
}
