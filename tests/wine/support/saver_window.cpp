// One saver window for the whole program, opened before the first test and closed after the last.
#include "support/saver_window.h"

#include <gtest/gtest.h>

#include "renderer/frame/window.h"

namespace wintest {
namespace {
Renderer renderer;
HWND window = nullptr;

// Opens the window before the first test, closes it after the last.
class SaverWindow : public ::testing::Environment {
    void SetUp() override {
        renderer.instance = GetModuleHandleW(nullptr);
        ASSERT_NE(window = createSaverWindow(renderer), nullptr);
    }
    void TearDown() override { DestroyWindow(window); }
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new SaverWindow);
}  // namespace

Renderer& saverRenderer() { return renderer; }
HWND saverWindow() { return window; }

}  // namespace wintest
