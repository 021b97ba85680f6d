#include "shell/controls/command_state.h"

#include <gtest/gtest.h>

TEST(CommandState, PicturesAndClicksThroughHoverFocusPressDragAndDisable) {
    using P = CommandPicture;
    constexpr auto Left = CommandMouseButton::Left, Right = CommandMouseButton::Right;
    CommandState s;
    EXPECT_TRUE(s.initialize().startTimer);
    EXPECT_EQ(s.lostFocus().paint, P::None) << "a button without the focus keeps its look";
    EXPECT_EQ(s.mouseMove().paint, P::HighLight);
    EXPECT_TRUE(s.beginPaint()) << "the hover face is turned over";
    EXPECT_EQ(s.gotFocus().paint, P::Pressed);
    EXPECT_EQ(s.mouseDown(Left).paint, P::Pressed);
    const CommandReaction up = s.mouseUp(Left);
    EXPECT_EQ(up.paint, P::HighLightSelect);
    EXPECT_TRUE(up.click);
    EXPECT_EQ(s.timerTick(false).paint, P::Selected) << "the pointer left: focused, not hovered";
    EXPECT_EQ(s.mouseMove().paint, P::HighLightSelect);
    // A press dragged off the button cancels the click, even when dragged back.
    s.mouseDown(Left);
    EXPECT_EQ(s.timerTick(false).paint, P::Selected);
    EXPECT_EQ(s.mouseMove().paint, P::None) << "no hover while held";
    EXPECT_FALSE(s.mouseUp(Left).click);
    EXPECT_EQ(s.lostFocus().paint, P::Normal);
    EXPECT_FALSE(s.beginPaint());
    EXPECT_EQ(s.mouseDown(Right).paint, P::None) << "the right button shows no press";
    EXPECT_TRUE(s.mouseUp(Right).click) << "but its release clicks";
    EXPECT_EQ(s.setEnabled(false), P::Disable);
    for (CommandReaction r : {s.mouseMove(), s.gotFocus(), s.mouseDown(Left), s.mouseUp(Left)}) {
        EXPECT_EQ(r.paint, P::None);
        EXPECT_FALSE(r.click);
    }
}
