// The renderer's OpenGL objects and the frame steps that use them, as records a test can own.
// setUpScene, tearDownScene and frameTick work on the process-wide instances declared here.
#pragma once

#include <windows.h>

#include <cstdint>

#include "renderer/frame/frame_clock.h"
#include "renderer/scene/scene.h"
#include "renderer/scene/sprite_pass.h"

// What the OpenGL set-up builds and the frames present with.
struct GlSceneState {
    HDC dc = nullptr;
    HGLRC context = nullptr;
    int pixelFormat = 0;        // pixel-format number set on dc
    int twoPassSwap = 0;        // 1 when a swap leaves the back buffer without the frame just drawn
    bool swapControl = false;   // the driver offers WGL_EXT_swap_control and was asked for interval 1
};

// The process-wide scene; WM_CREATE may fill its settings before setUpScene.
extern Scene rendererScene;
// The process-wide frame clock.
extern FrameClock rendererClock;
// The process-wide OpenGL objects.
extern GlSceneState rendererGl;

// Set-up from a given seed on a given scene (setUpScene passes the calendar time and the process-wide records).
void setUpGlScene(GlSceneState& gl, Scene& scene, HWND window, uint32_t seed);
// Frees the scene's objects, releases the device context and deletes the OpenGL context.
void tearDownGlScene(GlSceneState& gl, Scene& scene, HWND window);
// One frame: advance by dt, draw one or two passes, present.
void renderFrame(GlSceneState& gl, Scene& scene, float dt, VeilTexturing veilTexturing = VeilTexturing::Off);
