#include "renderer/screens/monitor_layout.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
// The layout's views against the wanted ones, printing those that differ.
void expectViews(const MonitorLayout& layout, const std::vector<SceneView>& views, long caseIndex) {
    ASSERT_EQ(layout.viewCount, static_cast<int>(views.size())) << caseIndex;
    for (int k = 0; k < layout.viewCount; ++k) {
        const SceneView &got = layout.views[k], &want = views[k];
        EXPECT_TRUE(got.x == want.x && got.y == want.y && got.width == want.width && got.height == want.height &&
                    got.pictureX == want.pictureX && got.pictureY == want.pictureY &&
                    got.pictureWidth == want.pictureWidth && got.pictureHeight == want.pictureHeight)
            << caseIndex << ", view " << k << ": " << got.x << "," << got.y << " " << got.width << "x" << got.height
            << " of " << got.pictureX << "," << got.pictureY << " " << got.pictureWidth << "x" << got.pictureHeight;
    }
}
}  // namespace

// Views as {x, y, width, height} from the window's bottom left, then the picture they are parts of
// (left out where each view is its own picture).
TEST(MonitorLayout, WindowCoversEveryMonitorAndEachShownOneGetsItsViewFromTheBottomLeft) {
    const auto every = ScreensChoice::EveryMonitor, primary = ScreensChoice::PrimaryOnly, span = ScreensChoice::Span,
               own = ScreensChoice::OwnScenes;
    const std::vector<MonitorArea> one{{{0, 0, 1024, 768}, true}};
    const std::vector<MonitorArea> sideBySide{{{0, 0, 1024, 768}, true}, {{1024, 0, 1824, 600}, false}};
    const std::vector<MonitorArea> leftAbove{{{-1280, -200, 0, 824}, false}, {{0, 0, 1920, 1080}, true}};
    const std::vector<MonitorArea> gap{{{0, 0, 800, 600}, true}, {{900, 0, 900, 600}, false}, {{1000, 100, 1640, 580}, false}};
    const struct {
        const std::vector<MonitorArea>& monitors;
        ScreensChoice choice;
        ScreenRect window;
        std::vector<SceneView> views;
        int scenes;
    } cases[] = {
        {one, every, {0, 0, 1024, 768}, {{0, 0, 1024, 768}}, 1},
        {one, span, {0, 0, 1024, 768}, {{0, 0, 1024, 768, 0, 0, 1024, 768}}, 1},
        {one, own, {0, 0, 1024, 768}, {{0, 0, 1024, 768}}, 1},
        {sideBySide, every, {0, 0, 1824, 768}, {{0, 0, 1024, 768}, {1024, 168, 800, 600}}, 1},
        {sideBySide, primary, {0, 0, 1824, 768}, {{0, 0, 1024, 768}}, 1},
        {sideBySide, span, {0, 0, 1824, 768}, {{0, 0, 1024, 768, 0, 0, 1824, 768}, {1024, 168, 800, 600, 0, 0, 1824, 768}}, 1},
        {sideBySide, own, {0, 0, 1824, 768}, {{0, 0, 1024, 768}, {1024, 168, 800, 600}}, 2},
        {leftAbove, every, {-1280, -200, 1920, 1080}, {{0, 256, 1280, 1024}, {1280, 0, 1920, 1080}}, 1},
        {leftAbove, primary, {-1280, -200, 1920, 1080}, {{1280, 0, 1920, 1080}}, 1},
        {leftAbove, span, {-1280, -200, 1920, 1080},
         {{0, 256, 1280, 1024, 0, 0, 3200, 1280}, {1280, 0, 1920, 1080, 0, 0, 3200, 1280}}, 1},
        {leftAbove, own, {-1280, -200, 1920, 1080}, {{0, 256, 1280, 1024}, {1280, 0, 1920, 1080}}, 2},
        // A gap and an empty monitor: spanned, the gap stays part of the picture that no one sees.
        {gap, every, {0, 0, 1640, 600}, {{0, 0, 800, 600}, {1000, 20, 640, 480}}, 1},
        {gap, span, {0, 0, 1640, 600}, {{0, 0, 800, 600, 0, 0, 1640, 600}, {1000, 20, 640, 480, 0, 0, 1640, 600}}, 1},
        {gap, own, {0, 0, 1640, 600}, {{0, 0, 800, 600}, {1000, 20, 640, 480}}, 2},
    };
    for (const auto& c : cases) {
        const MonitorLayout layout = layOutMonitors(c.monitors.data(), static_cast<int>(c.monitors.size()), c.choice, {});
        const ScreenRect& w = layout.window;
        EXPECT_TRUE(w.left == c.window.left && w.top == c.window.top && w.right == c.window.right && w.bottom == c.window.bottom)
            << &c - cases << ": " << w.left << "," << w.top << " " << w.right << "," << w.bottom;
        EXPECT_EQ(layout.sceneCount, c.scenes) << &c - cases;
        expectViews(layout, c.views, &c - cases);
    }
    std::vector<MonitorArea> wall;
    for (int k = 0; k < MaxSceneViews + 3; ++k) wall.push_back({{k * 100, 0, k * 100 + 100, 100}, k == 0});
    for (const ScreensChoice choice : {every, own}) {
        const MonitorLayout layout = layOutMonitors(wall.data(), static_cast<int>(wall.size()), choice, {});
        EXPECT_EQ(layout.viewCount, MaxSceneViews);  // the rest stay black
        EXPECT_EQ(layout.sceneCount, choice == own ? MaxSceneViews : 1);
        EXPECT_EQ(layout.window.right, (MaxSceneViews + 3) * 100);
    }
    // No monitor listed: the primary screen is the one.
    const MonitorLayout fallback = layOutMonitors(nullptr, 0, own, {0, 0, 640, 480});
    EXPECT_TRUE(fallback.viewCount == 1 && fallback.views[0].width == 640 && fallback.sceneCount == 1);
}

// A drawable someone else placed: views of the monitors it overlaps, within its own pixels.
TEST(MonitorLayout, DrawablePlacedBySomeoneElseShowsTheMonitorsItOverlaps) {
    const std::vector<MonitorArea> sideBySide{{{0, 0, 1024, 768}, true}, {{1024, 0, 1824, 600}, false}};
    const auto every = ScreensChoice::EveryMonitor, primary = ScreensChoice::PrimaryOnly, span = ScreensChoice::Span,
               own = ScreensChoice::OwnScenes;
    const struct { ScreenRect drawable; ScreensChoice choice; std::vector<SceneView> views; int scenes; } cases[] = {
        {{0, 0, 1824, 768}, span, {{0, 0, 1024, 768, 0, 0, 1824, 768}, {1024, 168, 800, 600, 0, 0, 1824, 768}}, 1},
        // A root larger than the monitors: the picture is their box, from the drawable's bottom left.
        {{0, 0, 2000, 900}, span, {{0, 132, 1024, 768, 0, 132, 1824, 768}, {1024, 300, 800, 600, 0, 132, 1824, 768}}, 1},
        {{0, 0, 1024, 768}, own, {{0, 0, 1024, 768}}, 1},                           // a window on the primary
        {{1000, 100, 1300, 400}, own, {{0, 0, 24, 300}, {24, 0, 276, 300}}, 2},     // over the seam
        {{1100, 0, 1500, 300}, primary, {{0, 0, 400, 300}}, 1},                     // the primary lies outside
        {{2000, 0, 2100, 100}, every, {{0, 0, 100, 100}}, 1},                       // over no monitor
    };
    for (const auto& c : cases) {
        const MonitorLayout layout = layOutDrawable(sideBySide.data(), 2, c.choice, c.drawable);
        EXPECT_EQ(layout.sceneCount, c.scenes) << &c - cases;
        expectViews(layout, c.views, &c - cases);
    }
}

// The renderer's option by name or stored number; anything else is the same scene on every monitor.
TEST(MonitorLayout, CommandLineNamesTheChoice) {
    const struct { const char* line; ScreensChoice choice; } cases[] = {
        {"/S /Screens:PRIMARY", ScreensChoice::PrimaryOnly},
        {"/screens:span /shell:500", ScreensChoice::Span},
        {"/s /screens:own", ScreensChoice::OwnScenes},
        {"/screens:3", ScreensChoice::OwnScenes},
        {"/screens:2\"", ScreensChoice::Span},
        {"/screens:1", ScreensChoice::PrimaryOnly},
        {"/screens:same", ScreensChoice::EveryMonitor},
        {"/screens:0", ScreensChoice::EveryMonitor},
        {"", ScreensChoice::EveryMonitor},
        {"/screens:4", ScreensChoice::EveryMonitor},
        {"/screens:-1", ScreensChoice::EveryMonitor},
        {"/screens:primaryx", ScreensChoice::EveryMonitor},
        {"x/screens:span", ScreensChoice::EveryMonitor},
        {"/screens:", ScreensChoice::EveryMonitor},
        {"/screens", ScreensChoice::EveryMonitor},
    };
    for (const auto& c : cases) EXPECT_EQ(screensChoiceOf(c.line), c.choice) << c.line;
}
