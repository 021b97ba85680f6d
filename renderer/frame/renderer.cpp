// The renderer's scene lifecycle, its frame tick and its message loop.
#include "renderer/frame/renderer.h"

#include <cstdlib>
#include <cstring>

namespace {
// Environment switches of the benchmarks.
constexpr const char* UnpacedVariable = "LUMIVANE_UNPACED";
constexpr const char* DrawingVariable = "LUMIVANE_DRAWING";
constexpr const char* PerSpriteDrawing = "per-sprite";
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

}  // namespace

void applyBenchSwitches(Renderer& renderer) {
    const char* unpaced = std::getenv(UnpacedVariable);
    renderer.pacingEnabled = unpaced == nullptr || std::strcmp(unpaced, "1") != 0;
    const char* drawing = std::getenv(DrawingVariable);
    if (drawing != nullptr && std::strcmp(drawing, PerSpriteDrawing) == 0) {
        renderer.drawing.style = DrawingStyle::PerSprite;
    }
}

// The scene's generator is seeded first, as every draw it makes follows from the seed. The earlier
// drawing ran on the deepest depth buffer, so it is measured on one.
bool setUpScene(Renderer& renderer, HWND window, uint32_t seed) {
    seedScene(renderer.scene, seed);
    const DepthPreference depth =
        renderer.drawing.style == DrawingStyle::PerSprite ? DepthPreference::Deepest : DepthPreference::Shallowest;
    if (!setUpWglSurface(renderer.surface, window, depth)) return false;
    RECT client{};
    GetClientRect(window, &client);
    // A record laid out for no monitor draws into its whole window.
    if (renderer.layout.viewCount == 0) {
        renderer.layout.views[0] = SceneView{0, 0, client.right, client.bottom};
        renderer.layout.viewCount = 1;
    }
    if (!setUpDrawing(renderer.drawing, client.right, client.bottom, renderer.scene.settings.ParticleCount,
                      renderer.surface, renderer.surface.twoPassSwap)) {
        logRendererMessage("OpenGL set-up failed: the glow texture or the sprite list was refused");
        tearDownWglSurface(renderer.surface, window);
        return false;
    }
    createSceneObjects(renderer.scene);
    startPacing(renderer.pacer, pacingRefreshHz(displayRefreshHz()), renderer.pacingEnabled);
    return true;
}

void tearDownScene(Renderer& renderer, HWND window) {
    destroySceneObjects(renderer.scene);
    destroyDrawingObjects(renderer.drawing);
    tearDownWglSurface(renderer.surface, window);
}

// The clock runs even while no frame may be drawn.
void frameTick(Renderer& renderer) {
    renderer.clock.tick(timeGetTime());
    if (renderer.sceneReady && !renderer.passwordDialogOpen) {
        renderFrame(renderer.drawing, renderer.scene, renderer.clock.dt, renderer.surface.twoPassSwap,
                    renderer.surface, renderer.layout.views, renderer.layout.viewCount);
    }
}

void resumeFrames(Renderer& renderer) {
    renderer.clock.started = false;
    renderer.nextFrameUs = 0;
}

// A wait for the pacing ends early when a message arrives, so input still closes at once; the
// wait is rounded up to whole milliseconds and the loop draws when it is over.
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
                MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(waitMs), QS_ALLINPUT);
                continue;
            }
            frameTick(renderer);
            const int64_t presented = microsecondsNow();
            const int64_t waitUs = waitAfterFrame(renderer.pacer, now, presented);
            renderer.nextFrameUs = presented + waitUs;
            if (waitUs == 0) Sleep(0);
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
