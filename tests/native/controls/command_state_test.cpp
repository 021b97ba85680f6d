// The push button's state table and click rule, driven through event sequences as a user makes them.
#include "shell/controls/command_state.h"

#include <gtest/gtest.h>

using namespace lumivane;

namespace {

constexpr auto Left = CommandMouseButton::Left;
constexpr auto Right = CommandMouseButton::Right;

// A button that has been initialised, as the dialog leaves it after loading.
CommandState initialised() {
    CommandState s;
    EXPECT_TRUE(s.initialize().startTimer);
    return s;
}

// Puts an initialised button into one of the four visual states by real events.
CommandState inState(uint8_t visual) {
    CommandState s = initialised();
    switch (visual) {
        case CommandHover: s.mouseMove(); break;
        case CommandFocused: s.gotFocus(); break;
        case CommandFocusedHover: s.gotFocus(); s.mouseMove(); break;
        default: break;
    }
    EXPECT_EQ(s.visual(), visual);
    return s;
}

}  // namespace

TEST(CommandState, HoverPressReleaseInsideShowsHighlightPressedHighlightSelectAndClicksOnce) {
    CommandState s = initialised();
    EXPECT_EQ(s.mouseMove().paint, CommandPicture::HighLight);
    // Focus arrives with the press while the pointer hovers.
    CommandReaction focus = s.gotFocus();
    EXPECT_EQ(focus.paint, CommandPicture::Pressed);
    EXPECT_EQ(s.visual(), CommandFocusedHover);
    EXPECT_EQ(s.mouseDown(Left).paint, CommandPicture::Pressed);
    EXPECT_TRUE(s.mouseIsDown());
    // Further moves while held and ticks with the pointer over the button change nothing.
    EXPECT_EQ(s.mouseMove().paint, CommandPicture::None);
    EXPECT_EQ(s.timerTick(true).paint, CommandPicture::None);
    CommandReaction up = s.mouseUp(Left);
    EXPECT_EQ(up.paint, CommandPicture::HighLightSelect);
    EXPECT_TRUE(up.click);
    EXPECT_FALSE(s.mouseIsDown());
    // Leaving afterwards falls back to the focused look, without another click.
    CommandReaction left = s.timerTick(false);
    EXPECT_EQ(left.paint, CommandPicture::Selected);
    EXPECT_FALSE(left.click);
}

TEST(CommandState, DraggingOffTheButtonCancelsTheClickEvenWhenDraggedBack) {
    CommandState s = initialised();
    s.mouseMove();
    s.gotFocus();
    s.mouseDown(Left);
    // The timer sees the pointer elsewhere while the button is held.
    EXPECT_EQ(s.timerTick(false).paint, CommandPicture::Selected);
    EXPECT_EQ(s.visual(), CommandFocused);
    // Coming back while held does not bring the hover back.
    EXPECT_EQ(s.mouseMove().paint, CommandPicture::None);
    CommandReaction up = s.mouseUp(Left);
    EXPECT_FALSE(up.click);
    EXPECT_EQ(up.paint, CommandPicture::None);
    EXPECT_EQ(s.visual(), CommandFocused);
    // After the release a move shows the hover look again.
    EXPECT_EQ(s.mouseMove().paint, CommandPicture::HighLightSelect);
}

TEST(CommandState, RightButtonReleaseClicksInEveryStateButFocused) {
    for (uint8_t visual : {CommandNormal, CommandHover, CommandFocused, CommandFocusedHover}) {
        CommandState s = inState(visual);
        EXPECT_EQ(s.mouseDown(Right).paint, CommandPicture::None) << int(visual);
        EXPECT_FALSE(s.mouseIsDown());
        CommandReaction up = s.mouseUp(Right);
        EXPECT_EQ(up.paint, CommandPicture::None) << int(visual);
        EXPECT_EQ(up.click, visual != CommandFocused) << int(visual);
        EXPECT_EQ(s.visual(), visual);
    }
}

TEST(CommandState, BeforeInitializeNoHoverButFocusAndClicksWork) {
    CommandState s;
    EXPECT_EQ(s.visual(), CommandUninitialised);
    EXPECT_EQ(s.mouseMove().paint, CommandPicture::None);
    EXPECT_EQ(s.timerTick(false).paint, CommandPicture::None);
    EXPECT_EQ(s.visual(), CommandUninitialised);
    EXPECT_TRUE(s.mouseUp(Left).click);
    EXPECT_EQ(s.gotFocus().paint, CommandPicture::Selected);
    EXPECT_EQ(s.visual(), CommandFocused);
}

TEST(CommandState, DisabledButtonIgnoresEverythingButInitialize) {
    CommandState s = initialised();
    EXPECT_EQ(s.setEnabled(false), CommandPicture::Disable);
    EXPECT_EQ(s.visual(), CommandNormal);
    for (CommandReaction r : {s.mouseMove(), s.gotFocus(), s.mouseDown(Left), s.mouseUp(Left),
                              s.mouseUp(Right), s.timerTick(false), s.lostFocus()}) {
        EXPECT_EQ(r.paint, CommandPicture::None);
        EXPECT_FALSE(r.click);
    }
    EXPECT_EQ(s.visual(), CommandNormal);
    EXPECT_FALSE(s.mouseIsDown());
    // Enabling repaints normally and keeps the visual state.
    EXPECT_EQ(s.setEnabled(true), CommandPicture::Normal);
    EXPECT_EQ(s.visual(), CommandNormal);
}

TEST(CommandState, FocusLossAndHighlightFlagFollowTheLook) {
    CommandState s = inState(CommandHover);
    EXPECT_TRUE(s.beginPaint());
    EXPECT_EQ(s.lostFocus().paint, CommandPicture::Normal);
    EXPECT_EQ(s.visual(), CommandNormal);
    EXPECT_FALSE(s.beginPaint());
    // A normal button losing focus paints nothing.
    EXPECT_EQ(s.lostFocus().paint, CommandPicture::None);
    // State 4 keeps whatever orientation the face had.
    CommandState t = inState(CommandHover);
    t.beginPaint();
    t.gotFocus();
    EXPECT_TRUE(t.beginPaint());
}

TEST(CommandState, FreshControlEnablesItselfOnFirstReadOfEnabled) {
    CommandState s;
    s.setFirstRun(0);
    s.setEnabled(false);
    bool refresh = false;
    EXPECT_TRUE(s.readEnabled(refresh));
    EXPECT_TRUE(refresh);
    EXPECT_EQ(s.firstRun(), 1);
    s.setEnabled(false);
    EXPECT_FALSE(s.readEnabled(refresh));
    EXPECT_FALSE(refresh);
}
