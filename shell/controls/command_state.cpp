// The push button's state table.
#include "shell/controls/command_state.h"

namespace {
// A reaction that only repaints with the given picture.
CommandReaction paintOnly(CommandPicture picture) {
    CommandReaction r;
    r.paint = picture;
    return r;
}
}  // namespace

// Starts in the normal look with the hover timer running.
CommandReaction CommandState::initialize() {
    visual_ = CommandNormal;
    CommandReaction r;
    r.startTimer = true;
    return r;
}

// The pointer over the button lights it up.
CommandReaction CommandState::mouseMove() {
    if (!enabled_) return {};
    if (visual_ == CommandNormal) {
        visual_ = CommandHover;
        return paintOnly(CommandPicture::HighLight);
    }
    if (visual_ == CommandFocused && !mouseDown_) {
        visual_ = CommandFocusedHover;
        return paintOnly(CommandPicture::HighLightSelect);
    }
    return {};
}

// Focus on a lit button shows it pressed; on an unlit one, focused.
CommandReaction CommandState::gotFocus() {
    if (!enabled_) return {};
    if (visual_ == CommandHover) {
        visual_ = CommandFocusedHover;
        return paintOnly(CommandPicture::Pressed);
    }
    visual_ = CommandFocused;
    return paintOnly(CommandPicture::Selected);
}

// Losing focus returns the button to its normal look.
CommandReaction CommandState::lostFocus() {
    if (!enabled_ || visual_ == CommandNormal) return {};
    visual_ = CommandNormal;
    return paintOnly(CommandPicture::Normal);
}

// A left press shows the button pressed.
CommandReaction CommandState::mouseDown(CommandMouseButton button) {
    if (!enabled_ || button != CommandMouseButton::Left) return {};
    mouseDown_ = true;
    return paintOnly(CommandPicture::Pressed);
}

// A release ends a left press and clicks, unless the press was dragged off the button.
CommandReaction CommandState::mouseUp(CommandMouseButton button) {
    if (!enabled_) return {};
    CommandReaction r;
    if (button == CommandMouseButton::Left) {
        mouseDown_ = false;
        if (visual_ == CommandHover) r.paint = CommandPicture::Normal;
        else if (visual_ == CommandFocusedHover) r.paint = CommandPicture::HighLightSelect;
    }
    // A press dragged off the button leaves it in state 3, which cancels the click.
    r.click = visual_ != CommandFocused;
    return r;
}

// A hover tick with the pointer gone acts as the pointer leaving.
CommandReaction CommandState::timerTick(bool overButton) {
    if (overButton) return {};
    return pointerLeft();
}

// The pointer leaving takes the light off the button.
CommandReaction CommandState::pointerLeft() {
    if (!enabled_) return {};
    if (visual_ == CommandHover) {
        visual_ = CommandNormal;
        return paintOnly(CommandPicture::Normal);
    }
    if (visual_ == CommandFocusedHover) {
        visual_ = CommandFocused;
        return paintOnly(CommandPicture::Selected);
    }
    return {};
}

// Enables or disables the button and answers the picture it now shows.
CommandPicture CommandState::setEnabled(bool enabled) {
    enabled_ = enabled;
    return applyEnabled();
}

// Whether this paint draws the button lit.
bool CommandState::beginPaint() {
    if (visual_ == CommandNormal || visual_ == CommandFocused) highlight_ = false;
    else if (visual_ == CommandHover) highlight_ = true;
    return highlight_;
}
