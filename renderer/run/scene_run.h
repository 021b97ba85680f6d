// One running scene, as every host runs it: the saver window, the shell's preview and the Linux
// program each keep only their own surface, loop and input, and hand this record a surface to draw on.
//   start: seed the scenes, put OpenGL on the surface, set the drawing up, create the scenes' objects;
//   step:  measure the frame time, advance the scenes, draw them into the views, present;
//   stop:  free the scenes' objects, the drawing and the surface's OpenGL.
// Where the set-up fails it fails here, with one message that the surface writes to its log.
#pragma once

#include <cstdint>

#include "renderer/draw/scene_drawing.h"
#include "renderer/scene/scene.h"
#include "renderer/scene/scene_view.h"
#include "renderer/timing/frame_clock.h"

// What a host hands the scene run: a drawable that OpenGL can be put on, its present and its log.
class RunSurface : public Presenter {
public:
    // Puts a current OpenGL context on the drawable; false when a step failed, which failure() names.
    virtual bool setUp() = 0;
    // Releases the context and whatever setUp made; safe when nothing was made.
    virtual void tearDown() = 0;
    // The step that made setUp fail, as a person reads it.
    virtual const char* failure() const = 0;
    // Writes one line to the host program's log.
    virtual void report(const char* line) = 0;

protected:
    ~RunSurface() = default;
};

// Scenes one run plays at most, one per monitor.
constexpr int MaxRunScenes = 16;

struct SceneRun {
    Scene scenes[MaxRunScenes];  // the hosts set the first one's settings; every scene plays them
    int sceneCount = 1;          // scenes in play, from the start to the stop
    FrameClock clock;
    SceneDrawing drawing;
    RunSurface* surface = nullptr;  // while running: the surface it was started on
    bool twoPassSwap = false;       // the swap exchanges the buffers: every pass goes into both
    bool running = false;           // from a successful start to the stop
};

// Starts sceneCount scenes (1 to MaxRunScenes) on a surface of width x height pixels, the first from
// the seed and each further one from a seed of its own, all with the first one's settings; false,
// with the reason in the surface's log and nothing left set up, when OpenGL could not be set up.
bool startSceneRun(SceneRun& run, RunSurface& surface, int width, int height, uint32_t seed, int sceneCount = 1);
// One frame at the time nowMs of a millisecond counter: the frame time is measured, every scene
// advances, view k shows scene k (the first scene where there are fewer) and all are presented at once.
void stepSceneRun(SceneRun& run, uint32_t nowMs, const SceneView* views, int viewCount);
// The next frame measures from itself, so the scene does not leap over a pause.
void resumeSceneRun(SceneRun& run);
// Frees the scene's objects, the drawing and the surface's OpenGL; safe to call twice.
void stopSceneRun(SceneRun& run);
