// The saver's window over every monitor, and the views the scene is drawn into.
#include "renderer/screens/monitor_layout.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {
constexpr char PrimaryOnlyOption[] = "/screens:primary";

// The view of one monitor inside the window, flipped to OpenGL's bottom-up rows.
SceneView viewOf(const ScreenRect& monitor, const ScreenRect& window) {
    SceneView view;
    view.x = monitor.left - window.left;
    view.y = window.bottom - monitor.bottom;
    view.width = monitor.right - monitor.left;
    view.height = monitor.bottom - monitor.top;
    return view;
}
}  // namespace

// Monitors are drawn in the order the system lists them; an empty monitor gets no view.
MonitorLayout layOutMonitors(const MonitorArea* monitors, int count, ScreensChoice choice, ScreenRect fallback) {
    const MonitorArea only{fallback, true};
    if (count <= 0) {
        monitors = &only;
        count = 1;
    }
    MonitorLayout layout;
    layout.window = monitors[0].area;
    for (int k = 1; k < count; ++k) {
        const ScreenRect& a = monitors[k].area;
        layout.window.left = std::min(layout.window.left, a.left);
        layout.window.top = std::min(layout.window.top, a.top);
        layout.window.right = std::max(layout.window.right, a.right);
        layout.window.bottom = std::max(layout.window.bottom, a.bottom);
    }
    for (int k = 0; k < count && layout.viewCount < MaxSceneViews; ++k) {
        const ScreenRect& a = monitors[k].area;
        if (a.right <= a.left || a.bottom <= a.top) continue;
        if (choice == ScreensChoice::PrimaryOnly && !monitors[k].primary) continue;
        layout.views[layout.viewCount++] = viewOf(a, layout.window);
    }
    return layout;
}

// The option may stand anywhere among the words of the command line.
ScreensChoice screensChoiceOf(const char* commandLine) {
    const size_t length = std::strlen(PrimaryOnlyOption);
    for (const char* at = commandLine; at != nullptr && *at != '\0'; ++at) {
        size_t k = 0;
        while (k < length && at[k] != '\0' &&
               std::tolower(static_cast<unsigned char>(at[k])) == PrimaryOnlyOption[k]) {
            ++k;
        }
        const bool wordEnds = at[k] == '\0' || at[k] == ' ' || at[k] == '"';
        if (k == length && wordEnds && (at == commandLine || at[-1] == ' ')) return ScreensChoice::PrimaryOnly;
    }
    return ScreensChoice::EveryMonitor;
}
