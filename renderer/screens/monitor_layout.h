// Where the saver draws: one window over every monitor, and in it one view per monitor, each drawn
// for its own size and aspect ratio, or all of them parts of one picture over the monitors. Plain
// C++: the window collects the monitors, this rule decides.
#pragma once

#include <cstdint>

#include "renderer/scene/scene_view.h"

// How the scene fills the monitors, in the order of the stored values 0 to 3:
//   EveryMonitor: the same scene on each monitor, at its own aspect ratio;
//   PrimaryOnly:  the scene on the primary monitor, the others black;
//   Span:         one picture over the smallest rectangle holding every monitor, cut where they cut it;
//   OwnScenes:    a scene of its own on each monitor.
enum class ScreensChoice { EveryMonitor, PrimaryOnly, Span, OwnScenes };

// A rectangle in screen pixels; right and bottom lie just outside it.
struct ScreenRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// One monitor as the system lists it.
struct MonitorArea {
    ScreenRect area;
    bool primary = false;
};

// Views the saver draws at most, and so scenes; monitors beyond them stay black.
constexpr int MaxSceneViews = 16;

struct MonitorLayout {
    ScreenRect window;  // the saver window: the smallest rectangle holding every monitor
    SceneView views[MaxSceneViews];
    int viewCount = 0;
    int sceneCount = 1;  // 1: every view shows the one scene; otherwise view k shows scene k
};

// The saver's window and views for the listed monitors. With no monitor listed, `fallback`
// (the primary screen) stands in as the one monitor.
MonitorLayout layOutMonitors(const MonitorArea* monitors, int count, ScreensChoice choice, ScreenRect fallback);

// The views of a drawable at `drawable` (screen pixels) that someone else placed, such as a root
// window or a window over the screen: the monitors it overlaps, each cut to it, laid out as above
// and placed within it (the layout's window is then the drawable). A drawable over no monitor
// is one view of itself.
MonitorLayout layOutDrawable(const MonitorArea* monitors, int count, ScreensChoice choice, ScreenRect drawable);

// The choice a name or a stored number gives: "same", "primary", "span", "own" or 0 to 3, the
// first `length` characters of `text` in any letter case. False for anything else.
bool screensChoiceNamed(const char* text, int length, ScreensChoice& choice);

// The renderer's command line names the choice with "/screens:" and a name or number as above
// ("/screens:span"), anywhere among its words; without it, or with another value, the same scene
// plays on every monitor.
ScreensChoice screensChoiceOf(const char* commandLine);
