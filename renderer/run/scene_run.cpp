// The scene's lifecycle, the same for every host.
#include "renderer/run/scene_run.h"

#include <cstdio>

namespace {
// Longest line the set-up writes to the log (characters).
constexpr size_t LogLineChars = 256;
constexpr char DrawingRefused[] = "the glow texture or the sprite buffer was refused";

// Writes the one set-up failure line to the surface's log.
void reportSetUpFailure(RunSurface& surface, const char* why) {
    char line[LogLineChars];
    std::snprintf(line, sizeof line, "OpenGL set-up failed: %s", why);
    surface.report(line);
}
}  // namespace

// The generator is seeded first, as every draw the set-up makes follows from the seed; the scene's
// objects are made before the drawing so that its buffer holds exactly as many sprites as there
// are particles.
bool startSceneRun(SceneRun& run, RunSurface& surface, int width, int height, uint32_t seed) {
    stopSceneRun(run);
    seedScene(run.scene, seed);
    if (!surface.setUp()) {
        reportSetUpFailure(surface, surface.failure());
        surface.tearDown();
        return false;
    }
    createSceneObjects(run.scene);
    if (!setUpDrawing(run.drawing, width, height, run.scene.particleCount(), surface, run.twoPassSwap)) {
        reportSetUpFailure(surface, DrawingRefused);
        destroySceneObjects(run.scene);
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
    renderFrame(run.drawing, run.scene, run.clock.dt, run.twoPassSwap, *run.surface, views, viewCount);
}

// Only the clock forgets: the scene goes on where it stood.
void resumeSceneRun(SceneRun& run) { run.clock.started = false; }

// The surface goes last: the drawing's objects belong to its context.
void stopSceneRun(SceneRun& run) {
    if (!run.running) return;
    run.running = false;
    destroySceneObjects(run.scene);
    destroyDrawingObjects(run.drawing);
    run.surface->tearDown();
    run.surface = nullptr;
}
