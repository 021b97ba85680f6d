// The saver's window and views over the monitors.
#include "renderer/frame/monitor_layout.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Case {
    const char* name;
    std::vector<MonitorArea> monitors;
    ScreensChoice choice;
    ScreenRect window;
    std::vector<SceneView> views;
};

const ScreenRect PrimaryScreen{0, 0, 1024, 768};

TEST(MonitorLayout, WindowCoversEveryMonitorAndEachShownOneGetsItsView) {
    const Case cases[] = {
        {"one monitor", {{{0, 0, 1024, 768}, true}}, ScreensChoice::EveryMonitor, {0, 0, 1024, 768}, {{0, 0, 1024, 768}}},
        {"none listed", {}, ScreensChoice::PrimaryOnly, {0, 0, 1024, 768}, {{0, 0, 1024, 768}}},
        {"side by side, mixed sizes", {{{0, 0, 1024, 768}, true}, {{1024, 0, 1824, 600}, false}},
         ScreensChoice::EveryMonitor, {0, 0, 1824, 768}, {{0, 0, 1024, 768}, {1024, 168, 800, 600}}},
        {"primary only", {{{0, 0, 1024, 768}, true}, {{1024, 0, 1824, 600}, false}},
         ScreensChoice::PrimaryOnly, {0, 0, 1824, 768}, {{0, 0, 1024, 768}}},
        {"left of and above the primary", {{{-1280, -200, 0, 824}, false}, {{0, 0, 1920, 1080}, true}},
         ScreensChoice::EveryMonitor, {-1280, -200, 1920, 1080}, {{0, 256, 1280, 1024}, {1280, 0, 1920, 1080}}},
        {"a gap between them", {{{0, 0, 800, 600}, true}, {{1000, 100, 1640, 580}, false}},
         ScreensChoice::EveryMonitor, {0, 0, 1640, 600}, {{0, 0, 800, 600}, {1000, 20, 640, 480}}},
        {"stacked, primary below", {{{0, 0, 1024, 768}, true}, {{0, -768, 1024, 0}, false}},
         ScreensChoice::PrimaryOnly, {0, -768, 1024, 768}, {{0, 0, 1024, 768}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MonitorLayout layout = layOutMonitors(c.monitors.data(), static_cast<int>(c.monitors.size()), c.choice,
                                                    PrimaryScreen);
        EXPECT_EQ(layout.window.left, c.window.left);
        EXPECT_EQ(layout.window.top, c.window.top);
        EXPECT_EQ(layout.window.right, c.window.right);
        EXPECT_EQ(layout.window.bottom, c.window.bottom);
        ASSERT_EQ(layout.viewCount, static_cast<int>(c.views.size()));
        for (int k = 0; k < layout.viewCount; ++k) {
            const SceneView &got = layout.views[k], &want = c.views[k];
            EXPECT_TRUE(got.x == want.x && got.y == want.y && got.width == want.width && got.height == want.height)
                << "view " << k << ": " << got.x << "," << got.y << " " << got.width << "x" << got.height;
        }
    }
}

TEST(MonitorLayout, MoreMonitorsThanViewsStayBlack) {
    std::vector<MonitorArea> wall;
    for (int k = 0; k < MaxSceneViews + 3; ++k) wall.push_back({{k * 100, 0, k * 100 + 100, 100}, k == 0});
    const MonitorLayout layout = layOutMonitors(wall.data(), static_cast<int>(wall.size()), ScreensChoice::EveryMonitor,
                                                PrimaryScreen);
    EXPECT_EQ(layout.viewCount, MaxSceneViews);
    EXPECT_EQ(layout.window.right, (MaxSceneViews + 3) * 100) << "the window still covers them";
}

TEST(MonitorLayout, CommandLineChoosesThePrimaryOnlyWithItsOwnWord) {
    const std::pair<const char*, ScreensChoice> lines[] = {
        {"", ScreensChoice::EveryMonitor},
        {"/screens:primary", ScreensChoice::PrimaryOnly},
        {"/S /Screens:PRIMARY", ScreensChoice::PrimaryOnly},
        {"/screens:primaryx", ScreensChoice::EveryMonitor},
        {"x/screens:primary", ScreensChoice::EveryMonitor},
        {"/screens:every", ScreensChoice::EveryMonitor},
    };
    for (const auto& [line, choice] : lines) EXPECT_EQ(screensChoiceOf(line), choice) << line;
    EXPECT_EQ(screensChoiceOf(nullptr), ScreensChoice::EveryMonitor);
}

}  // namespace
