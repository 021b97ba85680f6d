// The scenes' lifecycle, the same for every host.
#include "renderer/run/scene_run.h"

#include <cstdio>

namespace {
// Longest line the set-up writes to the log (characters).
constexpr size_t LogLineChars = 256;
constexpr char DrawingRefused[] = "the glow texture or the sprite buffer was refused";
// Between the seeds of two scenes of a run: the golden ratio's share of 2^32, so that the seeds
// of sixteen scenes lie far apart.
constexpr uint32_t FurtherSceneSeedStep = 0x9E3779B9u;

// Writes the one set-up failure line to the surface's log.
void reportSetUpFailure(RunSurface& surface, const char* why) {
    char line[LogLineChars];
    std::snprintf(line, sizeof line, "OpenGL set-up failed: %s", why);
    surface.report(line);
}

// Frees the objects of the run's scenes.
void destroyRunScenes(SceneRun& run) {
    for (int k = 0; k < run.sceneCount; ++k) destroySceneObjects(run.scenes[k]);
}
}  // namespace

// The generators are seeded first, as every draw the set-up makes follows from the seed; the
// scenes' objects are made before the drawing so that its buffer holds exactly as many sprites as
// a scene has particles. Every scene is made here, so that no frame allocates.
bool startSceneRun(SceneRun& run, RunSurface& surface, int width, int height, uint32_t seed, int sceneCount) {
    stopSceneRun(run);
    run.sceneCount = sceneCount < 1 ? 1 : (sceneCount > MaxRunScenes ? MaxRunScenes : sceneCount);
    for (int k = 0; k < run.sceneCount; ++k) {
        if (k > 0) run.scenes[k].settings = run.scenes[0].settings;
        seedScene(run.scenes[k], seed + static_cast<uint32_t>(k) * FurtherSceneSeedStep);
    }
    if (!surface.setUp()) {
        reportSetUpFailure(surface, surface.failure());
        surface.tearDown();
        return false;
    }
    for (int k = 0; k < run.sceneCount; ++k) createSceneObjects(run.scenes[k]);
    if (!setUpDrawing(run.drawing, width, height, run.scenes[0].particleCount(), surface, run.twoPassSwap)) {
        reportSetUpFailure(surface, DrawingRefused);
        destroyRunScenes(run);
        surface.tearDown();
        return false;
    }
    run.clock = FrameClock{};
    run.surface = &surface;
    run.running = true;
    return true;
}

// A run that is not running ticks its clock only.
void stepSceneRun(SceneRun& run, uint32_t nowMs, const SceneView* views, int viewCount) {
    run.clock.tick(nowMs);
    if (!run.running) return;
    renderFrame(run.drawing, run.scenes, run.sceneCount, run.clock.dt, run.twoPassSwap, *run.surface, views,
                viewCount);
}

// Only the clock forgets: the scene goes on where it stood.
void resumeSceneRun(SceneRun& run) { run.clock.started = false; }

// The surface goes last: the drawing's objects belong to its context.
void stopSceneRun(SceneRun& run) {
    if (!run.running) return;
    run.running = false;
    destroyRunScenes(run);
    destroyDrawingObjects(run.drawing);
    run.surface->tearDown();
    run.surface = nullptr;
}
