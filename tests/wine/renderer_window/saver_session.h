// Running the real renderer under Wine and driving it with real input.
#pragma once

#include "support/win_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace savertest {

// Class of the renderer's window; its title once it runs.
extern const wchar_t* const SaverClass;
extern const wchar_t* const RunningTitle;

// The freshly built renderer.
std::wstring rendererPath();

// Centre of the primary screen; the pointer rests there when a renderer starts.
POINT screenCentre();

// Puts the pointer at (x, y) with a real absolute move and waits until the system reports it
// there; false when it did not arrive.
bool placeCursor(int x, int y);

// A top-level window of `pid` with the saver class, or null.
HWND findSaverWindow(DWORD pid);

// Pumps this thread's messages (the test's own windows take part in activation) until `process`
// ends or `ms` pass; true when it ended.
bool waitExitPumping(wintest::Process& process, DWORD ms);

// A renderer started with the pointer resting at the screen centre.
class Saver {
public:
    // Starts `exe args` and waits for its window to carry the running title. Returns false when no
    // such window appeared.
    bool start(const std::wstring& args = L"", const std::wstring& exe = rendererPath());
    // Waits until the saver window is the foreground window.
    bool waitForeground();
    // True when the process ended with exit code 0 within `ms`; the time taken goes to `tookMs`.
    bool endsCleanlyWithin(DWORD ms, DWORD* tookMs = nullptr);
    // True when the process and its window are still there after `ms`.
    bool stillRunningAfter(DWORD ms);
    HWND window() const { return window_; }
    wintest::Process& process() { return process_; }

private:
    wintest::Process process_;
    HWND window_ = nullptr;
};

// Without a window manager, Wine's X11 driver waits two seconds for one whenever a managed
// window is hidden, so every close would take two seconds. This switches Wine's managed mode
// off for the programs started by the test, and restores the earlier setting afterwards.
class UnmanagedWindowsEnvironment : public ::testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;

private:
    bool hadValue_ = false;
    std::wstring previous_;
};

}  // namespace savertest
