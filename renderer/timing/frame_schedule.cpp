#include "renderer/timing/frame_schedule.h"

namespace {
// Microseconds per second.
constexpr int64_t MicrosecondsPerSecond = 1000000;
// Rates of 0 and 1 Hz mean "unknown" (1 is the hardware's default).
constexpr int LowestKnownRefreshHz = 2;
// Weight of the newest draw time in the smoothed one: 1 in DrawTimeSmoothing.
constexpr int64_t DrawTimeSmoothing = 8;
}  // namespace

// The rate to pace to: the reported one, or the default where none worth trusting is reported.
int pacingRefreshHz(int reportedHz) { return reportedHz >= LowestKnownRefreshHz ? reportedHz : DefaultRefreshHz; }

// Starts pacing to whole refresh periods, or switches it off for an unknown rate. The period is
// worked out from the whole second, so three periods at 144 Hz are not three rounded ones.
void startPacing(FramePacer& pacer, int refreshHz, bool enabled, int refreshesPerFrame) {
    pacer = FramePacer{};
    const int64_t refreshes = refreshesPerFrame > 1 ? refreshesPerFrame : 1;
    if (enabled && refreshHz > 0) pacer.periodUs = refreshes * MicrosecondsPerSecond / refreshHz;
}

// The draw time excludes the wait, so it keeps measuring how fast presents come back on their own;
// a single slow frame counts as one period at most, so it cannot switch pacing off on its own.
// Deadlines advance by whole periods, so waits rounded by the system even out over frames.
int64_t waitAfterFrame(FramePacer& pacer, int64_t frameStartUs, int64_t presentedUs) {
    int64_t drawUs = presentedUs - frameStartUs;
    if (pacer.periodUs > 0 && drawUs > pacer.periodUs) drawUs = pacer.periodUs;
    pacer.averageDrawUs = pacer.averageDrawUs < 0
                              ? drawUs
                              : pacer.averageDrawUs + (drawUs - pacer.averageDrawUs) / DrawTimeSmoothing;
    const bool farAbove = pacer.averageDrawUs * FarAboveFactorPercent < pacer.periodUs * 100;
    if (pacer.periodUs == 0 || !farAbove) {
        pacer.dueSet = false;
        return 0;
    }
    pacer.dueUs = pacer.dueSet ? pacer.dueUs + pacer.periodUs : frameStartUs + pacer.periodUs;
    pacer.dueSet = true;
    if (pacer.dueUs <= presentedUs) {
        pacer.dueUs = presentedUs;
        return 0;
    }
    return pacer.dueUs - presentedUs;
}

// A dimmed display still shows the picture.
void onDisplayState(Visibility& visibility, uint32_t state) { visibility.displayOff = state == DisplayStateOff; }

// Records a session lock, unlock, disconnect or reconnect.
void onSessionChange(Visibility& visibility, uint32_t event) {
    switch (event) {
    case SessionLock:
        visibility.sessionLocked = true;
        break;
    case SessionUnlock:
        visibility.sessionLocked = false;
        break;
    case SessionConsoleDisconnect:
    case SessionRemoteDisconnect:
        visibility.sessionDisconnected = true;
        break;
    case SessionConsoleConnect:
    case SessionRemoteConnect:
        visibility.sessionDisconnected = false;
        break;
    default:
        break;
    }
}

// Whether anyone can see the screen: display on, session unlocked and connected.
bool screenVisible(const Visibility& visibility) {
    return !visibility.displayOff && !visibility.sessionLocked && !visibility.sessionDisconnected;
}
