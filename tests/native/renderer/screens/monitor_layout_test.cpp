#include "renderer/screens/monitor_layout.h"

#include <gtest/gtest.h>

#include <vector>

TEST(MonitorLayout, WindowCoversEveryMonitorAndEachShownOneGetsItsViewFromTheBottomLeft) {
    const auto every = ScreensChoice::EveryMonitor, primary = ScreensChoice::PrimaryOnly;
    const struct { std::vector<MonitorArea> monitors; ScreensChoice choice; ScreenRect window; std::vector<SceneView> views; } cases[] = {
        {{{{0, 0, 1024, 768}, true}}, every, {0, 0, 1024, 768}, {{0, 0, 1024, 768}}},  // one monitor
        {{{{0, 0, 1024, 768}, true}, {{1024, 0, 1824, 600}, false}}, every, {0, 0, 1824, 768}, {{0, 0, 1024, 768}, {1024, 168, 800, 600}}},
        {{{{-1280, -200, 0, 824}, false}, {{0, 0, 1920, 1080}, true}}, every, {-1280, -200, 1920, 1080},
         {{0, 256, 1280, 1024}, {1280, 0, 1920, 1080}}},  // left of and above the primary
        {{{{-1280, -200, 0, 824}, false}, {{0, 0, 1920, 1080}, true}}, primary, {-1280, -200, 1920, 1080}, {{1280, 0, 1920, 1080}}},
        {{{{0, 0, 800, 600}, true}, {{900, 0, 900, 600}, false}, {{1000, 100, 1640, 580}, false}}, every, {0, 0, 1640, 600},
         {{0, 0, 800, 600}, {1000, 20, 640, 480}}},  // a gap and an empty monitor
    };
    for (const auto& c : cases) {
        const MonitorLayout layout = layOutMonitors(c.monitors.data(), static_cast<int>(c.monitors.size()), c.choice, {});
        const ScreenRect& w = layout.window;
        EXPECT_TRUE(w.left == c.window.left && w.top == c.window.top && w.right == c.window.right && w.bottom == c.window.bottom)
            << &c - cases << ": " << w.left << "," << w.top << " " << w.right << "," << w.bottom;
        ASSERT_EQ(layout.viewCount, static_cast<int>(c.views.size())) << &c - cases;
        for (int k = 0; k < layout.viewCount; ++k) {
            const SceneView &got = layout.views[k], &want = c.views[k];
            EXPECT_TRUE(got.x == want.x && got.y == want.y && got.width == want.width && got.height == want.height)
                << &c - cases << ", view " << k << ": " << got.x << "," << got.y << " " << got.width << "x" << got.height;
        }
    }
    std::vector<MonitorArea> wall;
    for (int k = 0; k < MaxSceneViews + 3; ++k) wall.push_back({{k * 100, 0, k * 100 + 100, 100}, k == 0});
    const MonitorLayout layout = layOutMonitors(wall.data(), static_cast<int>(wall.size()), every, {});
    EXPECT_EQ(layout.viewCount, MaxSceneViews);  // the rest stay black
    EXPECT_EQ(layout.window.right, (MaxSceneViews + 3) * 100);
    EXPECT_EQ(screensChoiceOf("/S /Screens:PRIMARY"), primary);
    for (const char* line : {"", "/screens:primaryx", "x/screens:primary"}) EXPECT_EQ(screensChoiceOf(line), every);
}
