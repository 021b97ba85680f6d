// The renderer program's whole state: one record, owned by the entry point and reached from the
// saver window. Tests make records of their own.
#pragma once

#include <windows.h>

#include <functional>

#include "renderer/frame/input_rules.h"
#include "renderer/win32/power_source.h"
#include "renderer/frame/visibility_notifications.h"
#include "renderer/run/scene_run.h"
#include "renderer/screens/monitor_layout.h"
#include "renderer/timing/frame_rate.h"
#include "renderer/timing/frame_schedule.h"
#include "renderer/win32/wgl_surface.h"

struct Renderer {
    HINSTANCE instance = nullptr;
    SceneRun run;
    WglSurface ownSurface;
    WglSurface* surface = &ownSurface;  // what the scene is drawn on: the window's own, or a test's
    InputState input;
    MonitorLayout layout;  // the window over every monitor, and the views the scene is drawn into
    FramePacer pacer;
    FrameRateRule frameRate;                   // the command line's choice and battery saver, and the power source
    int refreshHz = DefaultRefreshHz;          // the rate paced to: the display's, or the default
    std::function<bool()> onBattery = systemOnBattery;  // reads the power status; tests hand in their own
    PowerSourceNotification powerNotification;
    Visibility visibility;
    VisibilityNotifications notifications;
    bool pacingEnabled = true;        // the benchmarks switch pacing off (renderer/win32/test_hooks.h)
    int64_t nextFrameUs = 0;          // the pacing holds frames back until this time (microsecond clock)
    bool sceneReady = false;          // from the end of the set-up until the window starts being destroyed
    bool passwordDialogOpen = false;  // the system's password dialog is on screen: no frame is drawn
    HWND window = nullptr;            // the saver window, once made
    HANDLE shellProcess = nullptr;    // the shell that started the renderer; none for a renderer started alone

    Renderer() = default;
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;
};

// Starts the scene on the window from the seed, and the pacing. False when OpenGL could not be set
// up (the reason is in the debug log).
bool setUpScene(Renderer& renderer, HWND window, uint32_t seed);
// Paces frames to whole refreshes within the cap the frame-rate rule sets now.
void paceFrames(Renderer& renderer);
// Follows a change of power source: the cap, and so the pacing, change at once.
void followPowerSource(Renderer& renderer, bool onBattery);
// Stops the scene and frees the window's OpenGL objects.
void tearDownScene(Renderer& renderer);
// Measures the frame time and, while the scene is ready, advances, draws and presents one frame.
void frameTick(Renderer& renderer);
// Frames start again after a pause: the clock restarts, so the scene does not leap over the pause.
void resumeFrames(Renderer& renderer);
// The message loop: messages first, a frame whenever the queue is empty and the screen can be
// seen, paced to the display; blocks while no one can see the screen. The window is destroyed once
// the shell that started the renderer has ended. Returns the quit message's exit code.
int runMessageLoop(Renderer& renderer);
// A monotonic clock in microseconds.
int64_t microsecondsNow();
