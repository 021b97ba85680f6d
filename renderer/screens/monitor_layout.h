// Where the saver draws: one window over every monitor, and in it one view per monitor that
// shows the scene, each drawn for its own size and aspect ratio. Plain C++: the window collects
// the monitors, this rule decides.
#pragma once

#include <cstdint>

#include "renderer/scene/scene_view.h"

// Whether the scene plays on every monitor or on the primary one only (the others stay black).
enum class ScreensChoice { EveryMonitor, PrimaryOnly };

// A rectangle in screen pixels; right and bottom lie just outside it.
struct ScreenRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// One monitor as the system lists it.
struct MonitorArea {
    ScreenRect area;
    bool primary = false;
};

// Views the saver draws at most; monitors beyond them stay black.
constexpr int MaxSceneViews = 16;

struct MonitorLayout {
    ScreenRect window;  // the saver window: the smallest rectangle holding every monitor
    SceneView views[MaxSceneViews];
    int viewCount = 0;
};

// The saver's window and views for the listed monitors. With no monitor listed, `fallback`
// (the primary screen) stands in as the one monitor.
MonitorLayout layOutMonitors(const MonitorArea* monitors, int count, ScreensChoice choice, ScreenRect fallback);

// The renderer's command line asks for the primary monitor only with "/screens:primary"
// (any letter case); anything else plays on every monitor.
ScreensChoice screensChoiceOf(const char* commandLine);
