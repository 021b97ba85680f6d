// The push button's look-and-click rules: visual state, pointer and focus events, the click rule.
#pragma once

#include <cstdint>

// The six state pictures a button can be painted from (None: paint nothing).
enum class CommandPicture : uint8_t { None, Normal, HighLight, Selected, HighLightSelect, Pressed, Disable };

enum class CommandMouseButton : uint8_t { Left, Right, Middle };

// Visual states of the button.
enum CommandVisual : uint8_t {
    CommandUninitialised = 0,
    CommandNormal = 1,
    CommandHover = 2,
    CommandFocused = 3,
    CommandFocusedHover = 4,
};

// What the window layer must do after an event: repaint from a picture, raise Click, start the timer.
struct CommandReaction {
    CommandPicture paint = CommandPicture::None;
    bool click = false;
    bool startTimer = false;
};

// Per-button state; the window procedure feeds it events and carries out the reactions.
class CommandState {
public:
    // Whether the button takes input.
    bool enabled() const { return enabled_; }

    // Visual state 1 and the 100 ms pointer timer; works while disabled too.
    CommandReaction initialize();
    CommandReaction mouseMove();
    CommandReaction gotFocus();
    CommandReaction lostFocus();
    CommandReaction mouseDown(CommandMouseButton button);
    CommandReaction mouseUp(CommandMouseButton button);
    // Timer tick: `overButton` is true when the window under the pointer is the button's own.
    CommandReaction timerTick(bool overButton);
    // Pointer no longer over the button: hover looks fall back.
    CommandReaction pointerLeft();

    // Stores the enabled flag; the picture to repaint with (the visual state is kept).
    CommandPicture setEnabled(bool enabled);
    // Picture for a resize or an enabled change.
    CommandPicture applyEnabled() const { return enabled_ ? CommandPicture::Normal : CommandPicture::Disable; }
    // Start of every repaint: updates the highlight flag that orients the face gradient.
    bool beginPaint();

private:
    uint8_t visual_ = CommandUninitialised;
    bool enabled_ = true;
    bool mouseDown_ = false;
    bool highlight_ = false;
};
