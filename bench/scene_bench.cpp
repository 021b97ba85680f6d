// Cost of the renderer's simulation per frame, natively, with every particle in play.
#include <benchmark/benchmark.h>

#include "renderer/scene/scene.h"

namespace {
// Frame time of the benchmarked frames (seconds), about a 60 Hz display.
constexpr float FrameSeconds = 0.016f;
// Frames of 0.2 s that bring all 1000 particles into play (120 s).
constexpr int WarmUpFrames = 650;

// A default scene with every particle circulating.
void prepare(Scene& scene) {
    seedScene(scene, 12345);
    createSceneObjects(scene);
    for (int frame = 0; frame < WarmUpFrames; ++frame) advanceScene(scene, 0.2f);
}

// One step of a warmed-up scene per iteration.
void BM_Step(benchmark::State& state, void (*step)(Scene&, float)) {
    static Scene scene;
    prepare(scene);
    for (auto _ : state) {
        step(scene, FrameSeconds);
        benchmark::DoNotOptimize(scene.particles[0].position.x);
    }
    state.counters["particles"] = scene.liveParticleCount;
}
// One whole simulation frame: dolly, spin, colour, release, formation, poles, particles.
BENCHMARK_CAPTURE(BM_Step, SceneFrame, advanceScene)->Unit(benchmark::kMicrosecond);
// The particle step alone, the bulk of the frame: 1000 particles against 6 poles.
BENCHMARK_CAPTURE(BM_Step, UpdateParticles, updateParticles)->Unit(benchmark::kMicrosecond);
}  // namespace

BENCHMARK_MAIN();
