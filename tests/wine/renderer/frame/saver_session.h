// Running the real renderer under Wine and driving it with real input.
#pragma once

#include "support/win_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace savertest {

extern const wchar_t* const SaverClass;
extern const wchar_t* const RunningTitle;
constexpr DWORD CloseWithinMs = 1000;   // an input that ends the saver ends its process within this
constexpr DWORD StaysOpenForMs = 1000;  // an ignored input leaves the saver running at least this long

std::wstring rendererPath();
POINT screenCentre();

// Puts the pointer at (x, y) of the whole desktop with a real absolute move; false when the system
// never reports it there.
bool placeCursor(int x, int y);

// The top-level windows of process `pid` with the saver class.
std::vector<HWND> saverWindows(DWORD pid);

// Pumps this thread's messages until `process` ends or `ms` pass; true when it ended.
bool waitExitPumping(wintest::Process& process, DWORD ms);

// A renderer started with the pointer resting at the screen centre; killed on destruction.
class Saver {
public:
    // Puts the pointer at `pointer`, starts `exe args` and waits for its window to carry the running
    // title (and, unless `untilShown` is false, to be visible).
    bool start(const std::wstring& args = L"", const std::wstring& exe = rendererPath(), bool untilShown = true,
               POINT pointer = screenCentre());
    // Waits until the window is in front and its start-up messages have passed, ready for input.
    bool waitReady();
    // True when the process ended with exit code 0 within `ms`.
    bool endsCleanlyWithin(DWORD ms);
    // True when the process and its window are still there after `ms`.
    bool stillRunningAfter(DWORD ms);
    HWND window() const { return window_; }
    wintest::Process& process() { return process_; }

private:
    wintest::Process process_;
    HWND window_ = nullptr;
};

}  // namespace savertest
