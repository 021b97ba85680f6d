// The push button's state table.
#include "shell/controls/command_state.h"

namespace {
CommandReaction paintOnly(CommandPicture picture) {
    CommandReaction r;
    r.paint = picture;
    return r;
}
}  // namespace

CommandReaction CommandState::initialize() {
    visual_ = CommandNormal;
    CommandReaction r;
    r.startTimer = true;
    return r;
}

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

CommandReaction CommandState::gotFocus() {
    if (!enabled_) return {};
    if (visual_ == CommandHover) {
        visual_ = CommandFocusedHover;
        return paintOnly(CommandPicture::Pressed);
    }
    visual_ = CommandFocused;
    return paintOnly(CommandPicture::Selected);
}

CommandReaction CommandState::lostFocus() {
    if (!enabled_ || visual_ == CommandNormal) return {};
    visual_ = CommandNormal;
    return paintOnly(CommandPicture::Normal);
}

CommandReaction CommandState::mouseDown(CommandMouseButton button) {
    if (!enabled_ || button != CommandMouseButton::Left) return {};
    mouseDown_ = true;
    return paintOnly(CommandPicture::Pressed);
}

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

CommandReaction CommandState::timerTick(bool overButton) {
    if (overButton) return {};
    return pointerLeft();
}

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

CommandPicture CommandState::setEnabled(bool enabled) {
    enabled_ = enabled;
    return applyEnabled();
}

bool CommandState::beginPaint() {
    if (visual_ == CommandNormal || visual_ == CommandFocused) highlight_ = false;
    else if (visual_ == CommandHover) highlight_ = true;
    return highlight_;
}
