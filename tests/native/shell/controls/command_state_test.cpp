// The push button's state table and click rule, driven through event sequences as a user makes them.
#include "shell/controls/command_state.h"

#include <gtest/gtest.h>

namespace {

constexpr auto Left = CommandMouseButton::Left;
constexpr auto Right = CommandMouseButton::Right;

// An initialised button brought into one of the four visual states by real events.
CommandState inState(uint8_t visual) {
    CommandState s;
    EXPECT_TRUE(s.initialize().startTimer);
    if (visual == CommandHover || visual == CommandFocusedHover) s.mouseMove();
    if (visual == CommandFocused || visual == CommandFocusedHover) s.gotFocus();
    EXPECT_EQ(s.visual(), visual);
    return s;
}

}  // namespace

TEST(CommandState, HoverPressReleaseInsideClicksOnceAndLeavingFallsBackToFocused) {
    CommandState s = inState(CommandNormal);
    EXPECT_EQ(s.mouseMove().paint, CommandPicture::HighLight);
    EXPECT_TRUE(s.beginPaint());  // the hover face is turned over
    EXPECT_EQ(s.gotFocus().paint, CommandPicture::Pressed);
    EXPECT_EQ(s.mouseDown(Left).paint, CommandPicture::Pressed);
    EXPECT_EQ(s.timerTick(true).paint, CommandPicture::None);
    CommandReaction up = s.mouseUp(Left);
    EXPECT_EQ(up.paint, CommandPicture::HighLightSelect);
    EXPECT_TRUE(up.click);
    CommandReaction left = s.timerTick(false);
    EXPECT_EQ(left.paint, CommandPicture::Selected);
    EXPECT_FALSE(left.click);
    EXPECT_EQ(s.lostFocus().paint, CommandPicture::Normal);
    EXPECT_FALSE(s.beginPaint());
    EXPECT_EQ(s.lostFocus().paint, CommandPicture::None) << "a button that has lost the focus keeps its look";
}

TEST(CommandState, DraggingOffTheButtonCancelsTheClickEvenWhenDraggedBack) {
    CommandState s = inState(CommandFocusedHover);
    s.mouseDown(Left);
    EXPECT_EQ(s.timerTick(false).paint, CommandPicture::Selected);
    EXPECT_EQ(s.mouseMove().paint, CommandPicture::None);  // no hover while held
    EXPECT_FALSE(s.mouseUp(Left).click);
    EXPECT_EQ(s.visual(), CommandFocused);
    EXPECT_EQ(s.mouseMove().paint, CommandPicture::HighLightSelect);
}

TEST(CommandState, RightButtonReleaseClicksInEveryStateButFocused) {
    for (uint8_t visual : {CommandNormal, CommandHover, CommandFocused, CommandFocusedHover}) {
        CommandState s = inState(visual);
        EXPECT_EQ(s.mouseDown(Right).paint, CommandPicture::None) << int(visual);
        CommandReaction up = s.mouseUp(Right);
        EXPECT_EQ(up.paint, CommandPicture::None) << int(visual);
        EXPECT_EQ(up.click, visual != CommandFocused) << int(visual);
        EXPECT_EQ(s.visual(), visual);
    }
}

TEST(CommandState, BeforeInitializeNoHoverButClicksAndFocusWork) {
    CommandState s;
    EXPECT_EQ(s.mouseMove().paint, CommandPicture::None);
    EXPECT_EQ(s.visual(), CommandUninitialised);
    EXPECT_TRUE(s.mouseUp(Left).click);
    EXPECT_EQ(s.gotFocus().paint, CommandPicture::Selected);
}

TEST(CommandState, DisabledButtonRaisesNoClickAndChangesNoState) {
    CommandState s = inState(CommandNormal);
    EXPECT_EQ(s.setEnabled(false), CommandPicture::Disable);
    for (CommandReaction r : {s.mouseMove(), s.gotFocus(), s.mouseDown(Left), s.mouseUp(Left),
                              s.mouseUp(Right), s.timerTick(false), s.lostFocus()}) {
        EXPECT_EQ(r.paint, CommandPicture::None);
        EXPECT_FALSE(r.click);
    }
    EXPECT_EQ(s.visual(), CommandNormal);
    EXPECT_FALSE(s.mouseIsDown());
    EXPECT_EQ(s.setEnabled(true), CommandPicture::Normal);
}
