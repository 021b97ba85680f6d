// When the renderer draws: paced to the display where the driver presents far faster than the
// display refreshes, and not at all while no one can see the screen. Plain C++: the message loop
// supplies the times and the system's notifications, and these rules answer.
#pragma once

#include <cstdint>

// Refresh rate assumed where the system does not report one (Hz).
constexpr int DefaultRefreshHz = 60;
// Presents that come back this many times faster than the display refreshes run "far above" it:
// the driver does not wait for the display, so the renderer waits instead. A driver that waits
// returns about once a period, and a machine that draws little faster than the display gains
// little from waiting, so both are left alone.
constexpr int64_t FarAboveFactorPercent = 125;

// Console display states as the power-setting notification reports them.
enum DisplayState : uint32_t { DisplayStateOff = 0, DisplayStateOn = 1, DisplayStateDimmed = 2 };

// Session events of the session-change notification (the WTS_* codes).
enum SessionEvent : uint32_t {
    SessionConsoleConnect = 0x1, SessionConsoleDisconnect = 0x2, SessionRemoteConnect = 0x3,
    SessionRemoteDisconnect = 0x4, SessionLock = 0x7, SessionUnlock = 0x8,
};

// The pacing of one window's frames.
struct FramePacer {
    int64_t periodUs = 0;        // one frame: whole display refreshes (microseconds); 0 while pacing is off
    int64_t averageDrawUs = -1;  // smoothed time from a frame's start to its present's return; -1 before the first
    int64_t dueUs = 0;           // when the next frame is due
    bool dueSet = false;
};

// What the system has said about whether anyone can see the screen.
struct Visibility {
    bool displayOff = false;
    bool sessionLocked = false;
    bool sessionDisconnected = false;
};

// The refresh rate to pace to: the reported one, or DefaultRefreshHz where it is unknown (some
// systems report 0 or 1 for "the hardware's default").
int pacingRefreshHz(int reportedHz);
// Starts pacing to one frame every refreshesPerFrame refreshes of the given rate, or leaves it off.
void startPacing(FramePacer& pacer, int refreshHz, bool enabled, int refreshesPerFrame = 1);
// After a frame that started at frameStartUs and was presented at presentedUs: how long to wait
// before the next frame (microseconds, 0 for none). While presents run far above the refresh rate,
// frames are due one period apart; a frame that overran starts the count again from its present.
int64_t waitAfterFrame(FramePacer& pacer, int64_t frameStartUs, int64_t presentedUs);

// A console display notification: off hides the screen, on and dimmed show it.
void onDisplayState(Visibility& visibility, uint32_t state);
// A session notification: locking or disconnecting hides the screen; unlocking or connecting shows it.
void onSessionChange(Visibility& visibility, uint32_t event);
// True while the screen can be seen, so frames are worth drawing.
bool screenVisible(const Visibility& visibility);
