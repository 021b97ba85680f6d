// Frame bench of the renderer's real frame code, the earlier drawing against the renderer's, from a
// fixed seed with all particles in play, in this program's full-screen window. For each drawing:
// frames per second and processor time per frame; the 99th percentile of the frame time across a
// camera path that comes close and goes far again; and where a frame's time goes. Not a test: it
// prints figures.   frame_bench.exe [frames] [path frames]
#include <windows.h>
#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <vector>

#include "bench/bench_scene.h"
#include "bench/earlier_drawing.h"
#include "renderer/draw/scene_drawing.h"
#include "renderer/frame/renderer.h"

namespace {
constexpr int DefaultFrames = 600;
// The camera path: 60 s of the scene at MeasuredDt.
constexpr int DefaultPathFrames = 3600;
constexpr double Percentile = 0.99;

using Clock = std::chrono::steady_clock;

// Wall-clock milliseconds since start.
double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// User plus kernel time of this process, all threads, in milliseconds.
double processCpuMs() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& t) {
        return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

// Times a step and finishes its drawing before the clock stops, so the steps do not overlap.
template <typename Step>
void timeStep(double& totalMs, Step step) {
    const auto start = Clock::now();
    step();
    glFinish();
    totalMs += msSince(start);
}

// A full-screen pop-up with its own device context, as the renderer's class has.
HWND openWindow() {
    WNDCLASSA wc{};
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "LumivaneGlBench";
    RegisterClassA(&wc);
    return CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "bench", WS_POPUP | WS_VISIBLE, 0, 0,
                           GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                           wc.hInstance, nullptr);
}

// Whole frames through renderFrame; then the camera path frame by frame; then frames taken apart.
// Each drawing gets a window of its own, as each asks for its own pixel format.
void measure(bool earlier, int frames, int pathFrames) {
    const char* name = earlier ? "per-sprite (earlier)" : "batched (renderer) ";
    const HWND window = openWindow();
    Renderer renderer;
    if (earlier) {
        renderer.run.drawing.style = &EarlierDrawing;
        renderer.surface->score = scoreEarlierPixelFormat;
    }
    Scene& scene = renderer.run.scenes[0];
    WglSurface& gl = *renderer.surface;
    SceneDrawing& drawing = renderer.run.drawing;
    if (!setUpScene(renderer, window, Seed)) {
        std::printf("%s: set-up failed\n", name);
        DestroyWindow(window);
        return;
    }
    const bool twoPassSwap = renderer.run.twoPassSwap;
    PIXELFORMATDESCRIPTOR pfd{};
    DescribePixelFormat(gl.dc, gl.pixelFormat, sizeof pfd, &pfd);
    for (int k = 0; k < WarmUpFrames; ++k) advanceScene(scene, WarmUpDt);

    double cpuStart = processCpuMs();
    double wall = 0;
    timeStep(wall, [&] {
        for (int k = 0; k < frames; ++k) renderFrame(drawing, scene, MeasuredDt, twoPassSwap, gl, renderer.layout.views,
                    renderer.layout.viewCount);
    });
    std::printf("%s: %6.1f fps, %5.2f ms processor time per frame (%d particles, pixel format %d with %d depth "
                "bits, twoPassSwap %d)\n",
                name, frames * 1000.0 / wall, (processCpuMs() - cpuStart) / frames, scene.liveParticleCount,
                gl.pixelFormat, pfd.cDepthBits, twoPassSwap ? 1 : 0);

    std::vector<double> frameMs(static_cast<size_t>(pathFrames));
    const float startZ = scene.cameraZ;
    float closestZ = startZ;
    cpuStart = processCpuMs();
    auto last = Clock::now();
    for (double& ms : frameMs) {
        renderFrame(drawing, scene, MeasuredDt, twoPassSwap, gl, renderer.layout.views,
                    renderer.layout.viewCount);
        const auto now = Clock::now();
        ms = std::chrono::duration<double, std::milli>(now - last).count();
        last = now;
        closestZ = std::max(closestZ, scene.cameraZ);
    }
    const double pathCpu = processCpuMs() - cpuStart;
    double total = 0;
    for (double ms : frameMs) total += ms;
    std::vector<double> sorted = frameMs;
    std::sort(sorted.begin(), sorted.end());
    std::printf("%s: camera path %.0f -> %.0f -> %.0f over %d frames: mean %.2f ms (%.1f fps), 99th percentile "
                "%.2f ms, longest %.2f ms, %.2f ms processor time per frame\n",
                name, startZ, closestZ, scene.cameraZ, pathFrames, total / pathFrames, pathFrames * 1000.0 / total,
                sorted[static_cast<size_t>(Percentile * (pathFrames - 1))], sorted.back(), pathCpu / pathFrames);

    const int liveParticles = scene.liveParticleCount;
    double simulate = 0, veil = 0, pass = 0, present = 0;
    for (int k = 0; k < frames; ++k) {
        timeStep(simulate, [&] { advanceScene(scene, MeasuredDt); });
        loadCamera(scene.cameraZ);
        scene.liveParticleCount = 0;  // the pass then draws the veil only
        timeStep(veil, [&] { drawScenePass(drawing, scene); });
        scene.liveParticleCount = liveParticles;
        timeStep(pass, [&] { drawScenePass(drawing, scene); });
        timeStep(present, [&] { gl.present(); });
    }
    std::printf("%s: per frame %.3f ms simulation, %.2f ms veil, %.2f ms sprites, %.2f ms present (wall clock, "
                "steps finished one by one)\n",
                name, simulate / frames, veil / frames, (pass - veil) / frames, present / frames);
    tearDownScene(renderer);
    DestroyWindow(window);
}
}  // namespace

// Measures each drawing over the given frames and prints their rates and costs.
int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::atoi(argv[1]) : DefaultFrames;
    const int pathFrames = argc > 2 ? std::atoi(argv[2]) : DefaultPathFrames;
    std::printf("%dx%d, seed %u, %d frames and a path of %d frames at %.4f s after %d s of simulation\n",
                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), Seed, frames, pathFrames, MeasuredDt,
                static_cast<int>(WarmUpFrames * WarmUpDt));
    std::fflush(stdout);
    for (bool earlier : {true, false}) {
        measure(earlier, frames, pathFrames);
        std::fflush(stdout);
    }
    return 0;
}
