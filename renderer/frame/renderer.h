// The renderer program's whole state: one record, owned by the entry point and reached from the
// saver window. Tests make records of their own.
#pragma once

#include <windows.h>

#include "renderer/draw/scene_drawing.h"
#include "renderer/frame/frame_schedule.h"
#include "renderer/frame/input_rules.h"
#include "renderer/frame/monitor_layout.h"
#include "renderer/frame/visibility_notifications.h"
#include "renderer/frame/wgl_surface.h"
#include "renderer/scene/frame_clock.h"
#include "renderer/scene/scene.h"

struct Renderer {
    HINSTANCE instance = nullptr;
    Scene scene;
    FrameClock clock;
    WglSurface surface;
    SceneDrawing drawing;
    InputState input;
    MonitorLayout layout;  // the window over every monitor, and the views the scene is drawn into
    FramePacer pacer;
    Visibility visibility;
    VisibilityNotifications notifications;
    bool pacingEnabled = true;        // the benchmarks switch pacing off (see applyBenchSwitches)
    int64_t nextFrameUs = 0;          // the pacing holds frames back until this time (microsecond clock)
    bool sceneReady = false;          // from the end of the set-up until the window starts being destroyed
    bool passwordDialogOpen = false;  // the system's password dialog is on screen: no frame is drawn
};

// Applies the benchmarks' environment switches: LUMIVANE_UNPACED=1 draws as fast as the driver
// presents, LUMIVANE_DRAWING=per-sprite draws the earlier way. Neither is a user setting.
void applyBenchSwitches(Renderer& renderer);
// Seeds the scene, sets up OpenGL on the window, the drawing and the pacing, and creates the
// scene's objects. False when OpenGL could not be set up (the reason is in the debug log).
bool setUpScene(Renderer& renderer, HWND window, uint32_t seed);
// Frees the scene's objects and the OpenGL objects of the window.
void tearDownScene(Renderer& renderer, HWND window);
// Measures the frame time and, while the scene is ready, advances, draws and presents one frame.
void frameTick(Renderer& renderer);
// Frames start again after a pause: the clock restarts, so the scene does not leap over the pause.
void resumeFrames(Renderer& renderer);
// The message loop: messages first, a frame whenever the queue is empty and the screen can be
// seen, paced to the display; blocks in GetMessage while no one can see the screen. Returns the
// quit message's exit code.
int runMessageLoop(Renderer& renderer);
// A monotonic clock in microseconds.
int64_t microsecondsNow();
