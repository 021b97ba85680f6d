// Frame-rate bench of the renderer's real frame code from a fixed seed, with all particles in play:
// frames per second, processor time per frame, and where a frame's time goes, with the veil drawn
// textured (the literal drawing) and untextured (what the renderer does). Not a test: it prints figures.
//   frame_bench.exe [frames]
#include <windows.h>
#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

#include "renderer/draw/scene_drawing.h"
#include "renderer/frame/renderer.h"

namespace {
constexpr uint32_t Seed = 20240611;
// Silent simulation before measuring: 130 s, after which all 1000 particles are in play.
constexpr float WarmUpDt = 0.05f;
constexpr int WarmUpFrames = 2600;
// Frame time of the measured frames (seconds).
constexpr float MeasuredDt = 1.0f / 60.0f;
constexpr int DefaultFrames = 300;

using Clock = std::chrono::steady_clock;

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

// Whole frames through renderFrame (frame rate, processor time), then the same frames taken apart.
void measure(HWND window, VeilTexturing veil, int frames) {
    const char* name = veil == VeilTexturing::On ? "textured veil  " : "untextured veil";
    Renderer renderer;
    Scene& scene = renderer.scene;
    WglSurface& gl = renderer.surface;
    if (!setUpScene(renderer, window, Seed)) return;
    for (int k = 0; k < WarmUpFrames; ++k) advanceScene(scene, WarmUpDt);
    const double cpuStart = processCpuMs();
    double wall = 0;
    timeStep(wall, [&] {
        for (int k = 0; k < frames; ++k) renderFrame(scene, MeasuredDt, gl.twoPassSwap, gl, veil);
    });
    std::printf("%s: %6.1f fps, %5.2f ms processor time per frame (%d particles, twoPassSwap %d)\n", name,
                frames * 1000.0 / wall, (processCpuMs() - cpuStart) / frames, scene.liveParticleCount,
                gl.twoPassSwap ? 1 : 0);

    const int liveParticles = scene.liveParticleCount;
    double simulate = 0, veilMs = 0, sprites = 0, present = 0;
    for (int k = 0; k < frames; ++k) {
        timeStep(simulate, [&] { advanceScene(scene, MeasuredDt); });
        glLoadIdentity();
        glTranslatef(0, 0, scene.cameraZ);
        scene.liveParticleCount = 0;  // the pass then draws the veil only
        timeStep(veilMs, [&] { drawScenePass(scene, veil); });
        scene.liveParticleCount = liveParticles;
        timeStep(sprites, [&] {
            glBlendFunc(GL_ONE, GL_ONE);
            for (int32_t p = 0; p < liveParticles; ++p) drawParticleSprite(scene.particles[p], scene.sceneRotation);
        });
        timeStep(present, [&] { gl.present(); });
    }
    std::printf("%s: per frame %.3f ms simulation, %.2f ms veil, %.2f ms sprites, %.2f ms present\n", name,
                simulate / frames, veilMs / frames, sprites / frames, present / frames);
    tearDownScene(renderer, window);
}
}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::atoi(argv[1]) : DefaultFrames;
    WNDCLASSA wc{};
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "LumivaneGlBench";
    RegisterClassA(&wc);
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    const HWND window = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "bench", WS_POPUP | WS_VISIBLE, 0, 0,
                                        width, height, nullptr, nullptr, wc.hInstance, nullptr);
    std::printf("%dx%d, seed %u, %d frames after %d s of simulation\n", width, height, Seed, frames,
                static_cast<int>(WarmUpFrames * WarmUpDt));
    for (VeilTexturing veil : {VeilTexturing::On, VeilTexturing::Off}) measure(window, veil, frames);
    DestroyWindow(window);
    return 0;
}
