// The close rules of the saver window, driven as the window procedure drives them.
#include "renderer/frame/input_rules.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A window whose cursor reading and password answer are scripted.
struct ScriptedWindow {
    InputState state;
    CursorPoint cursor;
    bool dialogOpen = false;
    bool passwordAccepted = true;
    int passwordAsks = 0;
    CursorPoint dialogDrift;  // how far the user moves the pointer while the password dialog is up

    explicit ScriptedWindow(CursorPoint atCreation) : cursor(atCreation) { startTracking(state, atCreation); }

    CloseDecision close() {
        return onCloseRequest(
            state, dialogOpen,
            [this] {
                ++passwordAsks;
                cursor = {cursor.x + dialogDrift.x, cursor.y + dialogDrift.y};
                return passwordAccepted;
            },
            [this] { return cursor; });
    }
    // Moves the pointer and delivers the close it may post; true when the window closed.
    bool move(int32_t x, int32_t y) {
        cursor = {x, y};
        return onMouseMove(state, cursor) == InputReaction::PostClose && close() == CloseDecision::Destroy;
    }
};

}  // namespace

TEST(SaverMouseMovement, FirstMoveNeverClosesAndKeepsTheCreationReference) {
    ScriptedWindow w({100, 100});
    EXPECT_FALSE(w.move(900, 700));
    EXPECT_FALSE(w.move(102, 101));  // within 4 of (100, 100) although far from (900, 700)
    EXPECT_FALSE(w.move(105, 101));  // 3 from the new reference
}

TEST(SaverMouseMovement, MoreThanFourPixelsOverBothAxesCloses) {
    struct Case {
        CursorPoint from, to;
        bool closes;
    };
    const std::vector<Case> cases = {
        {{500, 400}, {504, 400}, false}, {{500, 400}, {500, 396}, false}, {{500, 400}, {502, 402}, false},
        {{500, 400}, {499, 403}, false}, {{500, 400}, {505, 400}, true},  {{500, 400}, {500, 405}, true},
        {{500, 400}, {503, 402}, true},  {{500, 400}, {497, 398}, true},
        {{INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MAX}, true},  // the distance must not overflow
    };
    for (const Case& c : cases) {
        ScriptedWindow w(c.from);
        w.move(c.from.x, c.from.y);  // the first move, e.g. the window appearing under the pointer
        EXPECT_EQ(w.move(c.to.x, c.to.y), c.closes) << "to " << c.to.x << "," << c.to.y;
    }
}

TEST(SaverMouseMovement, SmallStepsMoveTheReferenceSoSlowDriftNeverCloses) {
    ScriptedWindow w({0, 0});
    bool closed = w.move(0, 0);
    for (int32_t x = 4; x <= 400; x += 4) closed = w.move(x, 0) || closed;
    EXPECT_FALSE(closed);
    EXPECT_EQ(w.close(), CloseDecision::Destroy) << "the drift is user input and arms the window";
}

TEST(SaverCloseRequest, ForeignCloseHonouredOnlyAfterUserInputAndNotDuringTheDialog) {
    ScriptedWindow w({10, 10});
    EXPECT_EQ(w.close(), CloseDecision::Ignore);
    w.move(10, 10);  // the first move does not arm
    EXPECT_EQ(w.close(), CloseDecision::Ignore);
    w.move(11, 10);
    w.dialogOpen = true;
    EXPECT_EQ(w.close(), CloseDecision::Ignore);
    EXPECT_EQ(w.passwordAsks, 0);
    w.dialogOpen = false;
    EXPECT_EQ(w.close(), CloseDecision::Destroy);
    EXPECT_EQ(w.passwordAsks, 1);
}

TEST(SaverCloseRequest, RefusedPasswordKeepsRunningAndRemeasuresFromTheCursor) {
    ScriptedWindow w({200, 200});
    w.passwordAccepted = false;
    w.dialogDrift = {20, 10};
    w.move(200, 200);
    EXPECT_FALSE(w.move(300, 250));  // asks; the pointer ends at (320, 260)
    EXPECT_EQ(w.passwordAsks, 1);
    EXPECT_FALSE(w.move(324, 260));  // 4 from the position read after the refusal: no new question
    EXPECT_EQ(w.passwordAsks, 1);

    w.passwordAccepted = true;
    EXPECT_EQ(onUserPress(w.state), InputReaction::PostClose);
    EXPECT_EQ(w.close(), CloseDecision::Destroy);
    EXPECT_EQ(w.passwordAsks, 2);
}

TEST(SaverSysCommands, OnlyTheExactTaskSwitchAndSaverCommandsAreSwallowed) {
    // SC_NEXTWINDOW, SC_PREVWINDOW, SC_SCREENSAVE.
    for (uintptr_t swallowed : {0xF040u, 0xF050u, 0xF140u}) EXPECT_TRUE(isSwallowedSysCommand(swallowed));
    // SC_CLOSE, SC_MINIMIZE, SC_KEYMENU, and SC_PREVWINDOW / SC_SCREENSAVE with flag bits set.
    for (uintptr_t other : {0xF060u, 0xF020u, 0xF100u, 0xF052u, 0xF142u, 0u}) {
        EXPECT_FALSE(isSwallowedSysCommand(other)) << std::hex << other;
    }
}
