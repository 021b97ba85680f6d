// The close rules of the saver window, driven as the window procedure drives them.
#include "renderer/frame/input_rules.h"

#include <gtest/gtest.h>

#include <vector>

using namespace lumivane;

namespace {

// A window whose cursor reading and password answer are scripted, with the closes it honoured.
struct ScriptedWindow {
    InputState state;
    bool dialogOpen = false;
    bool passwordAccepted = true;
    int passwordAsks = 0;
    CursorPoint cursor;
    int closesPosted = 0;

    explicit ScriptedWindow(CursorPoint atCreation) : cursor(atCreation) { startTracking(state, atCreation); }

    void move(int32_t x, int32_t y) {
        cursor = {x, y};
        if (onMouseMove(state, cursor) == InputReaction::PostClose) ++closesPosted;
    }
    void press() {
        if (onUserPress(state) == InputReaction::PostClose) ++closesPosted;
    }
    CloseDecision close() {
        return onCloseRequest(
            state, dialogOpen,
            [this] {
                ++passwordAsks;
                return passwordAccepted;
            },
            [this] { return cursor; });
    }
    // Delivers the closes posted so far, as the message loop would; true when the window closed.
    bool deliverPostedCloses() {
        bool closed = false;
        for (; closesPosted > 0; --closesPosted) closed = close() == CloseDecision::Destroy || closed;
        return closed;
    }
};

}  // namespace

TEST(SaverMouseMovement, FirstMoveNeverClosesHoweverFar) {
    ScriptedWindow w({100, 100});
    w.move(900, 700);
    EXPECT_EQ(w.closesPosted, 1);  // it asks, but nothing armed the window
    EXPECT_FALSE(w.deliverPostedCloses());
    // The reference point stayed at the creation position: the next step is measured from there.
    EXPECT_EQ(w.state.lastCursor.x, 100);
    EXPECT_EQ(w.state.lastCursor.y, 100);
    w.move(102, 101);  // within 4 of (100, 100) although far from (900, 700)
    EXPECT_FALSE(w.deliverPostedCloses());
    w.move(105, 101);  // 3 + 0 from the new reference: stays
    EXPECT_FALSE(w.deliverPostedCloses());
}

TEST(SaverMouseMovement, ThresholdCountsBothAxesAfterFirstMove) {
    struct Case {
        int32_t dx, dy;
        bool closes;
    };
    const std::vector<Case> cases = {
        {4, 0, false}, {0, -4, false}, {2, 2, false}, {-1, 3, false}, {0, 0, false},
        {5, 0, true},  {0, 5, true},   {3, 2, true},  {-3, -2, true}, {-100, 40, true},
    };
    for (const Case& c : cases) {
        ScriptedWindow w({500, 400});
        w.move(500, 400);  // the first move, e.g. the window appearing under the pointer
        w.move(500 + c.dx, 400 + c.dy);
        EXPECT_EQ(w.deliverPostedCloses(), c.closes) << "step " << c.dx << "," << c.dy;
    }
}

TEST(SaverMouseMovement, SmallStepsMoveTheReferenceSoSlowDriftNeverCloses) {
    ScriptedWindow w({0, 0});
    w.move(0, 0);
    for (int32_t x = 4; x <= 400; x += 4) w.move(x, 0);
    EXPECT_FALSE(w.deliverPostedCloses());
    EXPECT_EQ(w.state.lastCursor.x, 400);
    EXPECT_TRUE(w.state.closeArmed);  // the jitter armed it: a foreign close is now honoured
    EXPECT_EQ(w.close(), CloseDecision::Destroy);
}

TEST(SaverMouseMovement, ExtremeCoordinatesDoNotOverflowTheDistance) {
    ScriptedWindow w({INT32_MIN, INT32_MIN});
    w.move(INT32_MIN, INT32_MIN);
    w.move(INT32_MAX, INT32_MAX);
    EXPECT_TRUE(w.deliverPostedCloses());
}

TEST(SaverCloseRequest, ForeignCloseHonouredOnlyAfterUserInput) {
    ScriptedWindow w({10, 10});
    EXPECT_EQ(w.close(), CloseDecision::Ignore);
    EXPECT_EQ(w.passwordAsks, 0);
    w.move(10, 10);  // first move: still not armed
    EXPECT_EQ(w.close(), CloseDecision::Ignore);
    w.move(11, 10);  // second move, small: arms without asking to close
    EXPECT_EQ(w.closesPosted, 0);
    EXPECT_EQ(w.close(), CloseDecision::Destroy);
    EXPECT_EQ(w.passwordAsks, 1);
}

TEST(SaverCloseRequest, RefusedPasswordKeepsRunningAndRemeasuresFromTheCursor) {
    ScriptedWindow w({200, 200});
    w.passwordAccepted = false;
    w.move(200, 200);
    w.move(300, 250);  // a real movement: asks to close
    w.cursor = {320, 260};  // the user kept moving while the dialog was up
    EXPECT_FALSE(w.deliverPostedCloses());
    EXPECT_EQ(w.passwordAsks, 1);
    EXPECT_EQ(w.state.lastCursor.x, 320);
    EXPECT_EQ(w.state.lastCursor.y, 260);
    EXPECT_TRUE(w.state.closeArmed);
    EXPECT_TRUE(w.state.firstMoveSeen);

    w.move(324, 260);  // 4 from the re-read position: no new question
    EXPECT_FALSE(w.deliverPostedCloses());
    EXPECT_EQ(w.passwordAsks, 1);

    w.press();  // the next input asks again; this time the password is right
    w.passwordAccepted = true;
    EXPECT_TRUE(w.deliverPostedCloses());
    EXPECT_EQ(w.passwordAsks, 2);
}

TEST(SaverCloseRequest, CloseWhileThePasswordDialogIsOpenIsIgnored) {
    ScriptedWindow w({0, 0});
    w.press();
    w.dialogOpen = true;
    EXPECT_EQ(w.close(), CloseDecision::Ignore);
    EXPECT_EQ(w.passwordAsks, 0);
    w.dialogOpen = false;
    EXPECT_EQ(w.close(), CloseDecision::Destroy);
}

TEST(SaverSysCommands, OnlyTheExactTaskSwitchAndSaverCommandsAreSwallowed) {
    EXPECT_TRUE(isSwallowedSysCommand(0xF040));
    EXPECT_TRUE(isSwallowedSysCommand(0xF060));
    EXPECT_TRUE(isSwallowedSysCommand(0xF140));
    // SC_CLOSE, SC_MINIMIZE, SC_KEYMENU, and a swallowed command with the low flag bits set.
    for (uintptr_t other : {uintptr_t{0xF060 | 2}, uintptr_t{0xF060 + 0x10}, uintptr_t{0xF020},
                            uintptr_t{0xF100}, uintptr_t{0xF142}, uintptr_t{0}}) {
        EXPECT_FALSE(isSwallowedSysCommand(other)) << std::hex << other;
    }
}
