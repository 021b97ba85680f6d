// When the renderer's window may close: the first-move rule, the movement threshold, arming by
// user input, and the close request with its password check. Plain C++: the window procedure
// collects the messages, the cursor position and the password answer, and these rules decide.
#pragma once

#include <cstdint>
#include <cstdlib>

// A movement of more than this many screen pixels (|dx| + |dy|) ends the saver.
constexpr int32_t MouseMoveThreshold = 4;

// System commands the saver swallows while it runs (values of SC_NEXTWINDOW, SC_PREVWINDOW,
// SC_SCREENSAVE; the full wParam must match).
constexpr uintptr_t SysCommandNextWindow = 0xF040;
constexpr uintptr_t SysCommandPrevWindow = 0xF050;
constexpr uintptr_t SysCommandScreenSave = 0xF140;

// A point in screen pixels.
struct CursorPoint {
    int32_t x = 0;
    int32_t y = 0;
};

// The input state of one saver window; all zero before the window exists.
struct InputState {
    CursorPoint lastCursor;      // reference point that movement is measured from
    bool firstMoveSeen = false;  // the first WM_MOUSEMOVE has arrived
    bool closeArmed = false;     // user input was seen: only then is a close request honoured
};

// What the window does after a mouse movement or a key/button/deactivation.
enum class InputReaction { PassOn, PostClose };

// What the window does with a close request.
enum class CloseDecision {
    Ignore,   // not armed (or a password dialog is already open): the window keeps running
    Stay,     // the password was refused: the window keeps running
    Destroy,  // the window closes
};

// Starts measuring movement from the cursor position at window creation.
inline void startTracking(InputState& state, CursorPoint cursorAtCreation) {
    state.lastCursor = cursorAtCreation;
}

// Manhattan distance in pixels between two cursor positions.
inline int64_t cursorDistance(CursorPoint a, CursorPoint b) {
    return std::llabs(int64_t{a.x} - b.x) + std::llabs(int64_t{a.y} - b.y);
}

// A key press, a mouse button press or a loss of activation: arms the window and asks to close.
inline InputReaction onUserPress(InputState& state) {
    state.closeArmed = true;
    return InputReaction::PostClose;
}

// A mouse-move message, with the cursor position read when it arrived. The first one never arms
// the window (it often comes from the window appearing under a resting pointer), so a close it
// asks for is ignored; the reference point stays put after a long step.
inline InputReaction onMouseMove(InputState& state, CursorPoint current) {
    if (!state.firstMoveSeen) {
        state.firstMoveSeen = true;
    } else {
        state.closeArmed = true;
    }
    if (cursorDistance(state.lastCursor, current) > MouseMoveThreshold) return InputReaction::PostClose;
    state.lastCursor = current;
    return InputReaction::PassOn;
}

// A close request. `verifyPassword()` answers whether the window may close (it may show a modal
// dialog); `readCursor()` gives the cursor position afterwards. A request that arrives while a
// password dialog is already open is ignored: a nested dialog would clear the open flag under
// the outer one.
template <class VerifyPassword, class ReadCursor>
CloseDecision onCloseRequest(InputState& state, bool passwordDialogOpen, VerifyPassword verifyPassword,
                             ReadCursor readCursor) {
    if (!state.closeArmed || passwordDialogOpen) return CloseDecision::Ignore;
    if (verifyPassword()) return CloseDecision::Destroy;
    state.lastCursor = readCursor();
    return CloseDecision::Stay;
}

// Whether a system command is swallowed while the saver runs.
inline bool isSwallowedSysCommand(uintptr_t command) {
    return command == SysCommandNextWindow || command == SysCommandPrevWindow ||
           command == SysCommandScreenSave;
}
