// The scene playing in a window of its own, as the system's preview and the Scene dialog show it:
// the renderer's one scene run on the window's OpenGL surface at a steady rate or, where OpenGL
// cannot be set up there, the still of the animation scaled to the window. The host drives it from
// its own message loop: it waits for the next frame, draws the frames that are due, and closes it.
#pragma once
#include <windows.h>

#include <cstdint>

#include "renderer/run/scene_run.h"
#include "renderer/scene/scene_settings.h"
#include "renderer/timing/frame_clock.h"

class WglSurface;

// Where the picture's window stands: a child of `parent` at `area` of its client area, or, with no
// parent, a borderless window owned by `owner` at `area` of the screen. A window owned rather than a
// child keeps the picture a window of its own, which every system shows drawn with OpenGL (Wine shows
// no OpenGL drawing in a child window).
struct PicturePlace {
    HWND parent = nullptr;
    HWND owner = nullptr;
    RECT area{};
    int imageWidth = 0;   // the size the still is shown at (pixels), from the top-left corner
    int imageHeight = 0;
};

// Everything a showing picture keeps; the host owns one per picture.
struct ScenePicture {
    HINSTANCE instance = nullptr;
    PicturePlace place;
    HWND window = nullptr;
    bool destroyed = false;  // the window got WM_DESTROY, also one its parent or owner took with it

    // The animation: the scene run on the window's OpenGL surface, drawn at the picture's rate.
    bool animating = false;
    SceneRun run;
    WglSurface* surface = nullptr;
    SceneView view;            // the whole window
    FrameDeadlines deadlines;  // at the rate the host asked for
    uint32_t seed = 0;         // every start of this picture plays the same scene

    // The still, where OpenGL could not be set up.
    HBITMAP still = nullptr;
    int stillWidth = 0;
    int stillHeight = 0;
};

// Makes the picture's window in its place, hidden, and starts the scene on the surface with these
// settings, or loads the still; false when no window could be made.
bool openScenePicture(ScenePicture& picture, HINSTANCE instance, const PicturePlace& place, WglSurface& surface,
                      const SceneSettings& settings, uint32_t seed, uint32_t framesPerSecond);
// Shows the opened picture without activating it.
void showScenePicture(const ScenePicture& picture);
// Milliseconds until the next frame is due at nowMs; INFINITE while the still shows.
DWORD msUntilNextPicture(const ScenePicture& picture, DWORD nowMs);
// Draws the next frame if it is due at nowMs.
void drawDuePicture(ScenePicture& picture, DWORD nowMs);
// Settings that the running scene reads frame by frame (sizes, speeds, camera, trails, colours) take
// effect from the next frame; the counts keep those the run was started with.
void changeScenePicture(ScenePicture& picture, const SceneSettings& settings);
// Starts the scene again with new settings, so that its counts take effect; where OpenGL now refuses,
// the still shows instead.
void restartScenePicture(ScenePicture& picture, const SceneSettings& settings);
// Gives the picture's window, its image and its view a new size in pixels.
void resizeScenePicture(ScenePicture& picture, int width, int height);
// Moves an owned picture to a new place on the screen, over its owner.
void moveScenePicture(ScenePicture& picture, const RECT& screenArea);
// Frees the scene, the OpenGL objects, the window and the still; safe to call twice.
void closeScenePicture(ScenePicture& picture);
