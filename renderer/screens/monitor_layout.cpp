// The saver's window over every monitor, and the views the scene is drawn into.
#include "renderer/screens/monitor_layout.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {
constexpr char ScreensOption[] = "/screens:";
// The choices' names, in the order of ScreensChoice and of their stored numbers.
constexpr const char* ChoiceNames[] = {"same", "primary", "span", "own"};
constexpr int ChoiceCount = 4;

// The view of one monitor inside the window, flipped to OpenGL's bottom-up rows.
SceneView viewOf(const ScreenRect& monitor, const ScreenRect& window) {
    SceneView view;
    view.x = monitor.left - window.left;
    view.y = window.bottom - monitor.bottom;
    view.width = monitor.right - monitor.left;
    view.height = monitor.bottom - monitor.top;
    return view;
}

// Whether `text` holds exactly `word` for `length` characters, in any letter case.
bool sameWord(const char* text, int length, const char* word) {
    if (static_cast<size_t>(length) != std::strlen(word)) return false;
    for (int k = 0; k < length; ++k) {
        if (std::tolower(static_cast<unsigned char>(text[k])) != word[k]) return false;
    }
    return true;
}

// Whether a word of the command line ends at `at`.
bool wordEndsAt(const char* at) { return *at == '\0' || *at == ' ' || *at == '"'; }
}  // namespace

// Monitors are drawn in the order the system lists them; an empty monitor gets no view. Spanned
// views share the window's picture, so the monitors cut one projection as one large screen would.
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
        SceneView& view = layout.views[layout.viewCount++];
        view = viewOf(a, layout.window);
        if (choice == ScreensChoice::Span) {
            view.pictureWidth = layout.window.right - layout.window.left;
            view.pictureHeight = layout.window.bottom - layout.window.top;
        }
    }
    if (choice == ScreensChoice::OwnScenes && layout.viewCount > 1) layout.sceneCount = layout.viewCount;
    return layout;
}

// The monitors are taken into the drawable's own pixels, so that the rule above lays them out
// from the bottom left of their bounding box; the views then move by where that box stands in it.
MonitorLayout layOutDrawable(const MonitorArea* monitors, int count, ScreensChoice choice, ScreenRect drawable) {
    const int32_t width = drawable.right - drawable.left, height = drawable.bottom - drawable.top;
    MonitorArea inside[MaxSceneViews];
    int insideCount = 0;
    bool primaryInside = false;
    for (int k = 0; k < count && insideCount < MaxSceneViews; ++k) {
        const ScreenRect& a = monitors[k].area;
        const ScreenRect cut{std::max(a.left, drawable.left) - drawable.left, std::max(a.top, drawable.top) - drawable.top,
                             std::min(a.right, drawable.right) - drawable.left,
                             std::min(a.bottom, drawable.bottom) - drawable.top};
        if (cut.right <= cut.left || cut.bottom <= cut.top) continue;
        inside[insideCount++] = {cut, monitors[k].primary};
        primaryInside = primaryInside || monitors[k].primary;
    }
    // Where the primary lies outside the drawable, its first monitor stands for it.
    if (insideCount > 0 && !primaryInside) inside[0].primary = true;
    MonitorLayout layout = layOutMonitors(inside, insideCount, choice, ScreenRect{0, 0, width, height});
    const int32_t shiftX = layout.window.left, shiftY = height - layout.window.bottom;
    for (int k = 0; k < layout.viewCount; ++k) {
        SceneView& view = layout.views[k];
        view.x += shiftX;
        view.y += shiftY;
        if (view.pictureWidth > 0) {
            view.pictureX += shiftX;
            view.pictureY += shiftY;
        }
    }
    layout.window = drawable;
    return layout;
}

// A number is one digit, as the settings store it.
bool screensChoiceNamed(const char* text, int length, ScreensChoice& choice) {
    for (int k = 0; k < ChoiceCount; ++k) {
        const char digit[] = {static_cast<char>('0' + k), '\0'};
        if (sameWord(text, length, ChoiceNames[k]) || sameWord(text, length, digit)) {
            choice = static_cast<ScreensChoice>(k);
            return true;
        }
    }
    return false;
}

// The option may stand anywhere among the words of the command line; the first one counts.
ScreensChoice screensChoiceOf(const char* commandLine) {
    const int optionLength = static_cast<int>(std::strlen(ScreensOption));
    for (const char* at = commandLine; at != nullptr && *at != '\0'; ++at) {
        if (at != commandLine && at[-1] != ' ') continue;
        if (static_cast<int>(std::strlen(at)) < optionLength || !sameWord(at, optionLength, ScreensOption)) continue;
        const char* value = at + optionLength;
        int length = 0;
        while (!wordEndsAt(value + length)) ++length;
        ScreensChoice choice = ScreensChoice::EveryMonitor;
        return screensChoiceNamed(value, length, choice) ? choice : ScreensChoice::EveryMonitor;
    }
    return ScreensChoice::EveryMonitor;
}
