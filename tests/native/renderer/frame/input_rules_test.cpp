#include "renderer/frame/input_rules.h"

#include <gtest/gtest.h>

// A saver window whose cursor and password answer are scripted.
struct ScriptedWindow {
    InputState state;
    CursorPoint cursor;
    bool dialogOpen = false, passwordAccepted = false;
    int passwordAsks = 0;
    explicit ScriptedWindow(CursorPoint atCreation) : cursor(atCreation) { startTracking(state, atCreation); }
    // A close request; the user moves the pointer by (20, 10) while the password dialog is up.
    CloseDecision close() {
        auto verify = [this] { return ++passwordAsks, cursor = {cursor.x + 20, cursor.y + 10}, passwordAccepted; };
        return onCloseRequest(state, dialogOpen, verify, [this] { return cursor; });
    }
    // A move that delivers the close it posts; true when the window closed.
    bool move(int32_t x, int32_t y) {
        return onMouseMove(state, cursor = {x, y}) == InputReaction::PostClose && close() == CloseDecision::Destroy;
    }
};

TEST(SaverInput, MovesOfMoreThanFourPixelsCloseButNeverTheFirstAndACloseAfterUserInputOnly) {
    const struct { CursorPoint to; bool closes; } cases[] = {{{504, 400}, false}, {{500, 396}, false}, {{502, 402}, false},
        {{499, 403}, false}, {{505, 400}, true}, {{500, 405}, true}, {{503, 402}, true}, {{497, 398}, true}};
    for (const auto& c : cases) {
        ScriptedWindow w({500, 400});
        w.passwordAccepted = true;
        EXPECT_FALSE(w.move(900, 700)) << "the first move, e.g. the window appearing under the pointer";
        EXPECT_EQ(w.move(c.to.x, c.to.y), c.closes) << "to " << c.to.x << "," << c.to.y;
    }
    ScriptedWindow w({0, 0});
    for (int32_t x = 0; x <= 400; x += 4) EXPECT_FALSE(w.move(x, 0)) << "small steps move the reference";
    w.dialogOpen = true;
    EXPECT_EQ(w.close(), CloseDecision::Ignore);
    w.dialogOpen = false;
    EXPECT_FALSE(w.move(500, 50));  // asks, and is refused; the pointer ends at (520, 60)
    EXPECT_FALSE(w.move(524, 60));  // 4 from the position read after the refusal: no new question
    EXPECT_EQ(w.passwordAsks, 1);
    w.passwordAccepted = true;
    EXPECT_EQ(onUserPress(w.state), InputReaction::PostClose);
    EXPECT_EQ(w.close(), CloseDecision::Destroy);
    // SC_NEXTWINDOW, SC_PREVWINDOW and SC_SCREENSAVE exactly; not SC_CLOSE, SC_MINIMIZE, SC_KEYMENU, nor with flag bits.
    for (uintptr_t swallowed : {0xF040u, 0xF050u, 0xF140u}) EXPECT_TRUE(isSwallowedSysCommand(swallowed));
    for (uintptr_t other : {0xF060u, 0xF020u, 0xF100u, 0xF052u, 0xF142u, 0u}) EXPECT_FALSE(isSwallowedSysCommand(other));
}
