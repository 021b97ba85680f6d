// Scene dialog rules: what its sliders and lists choose, which preset the list shows, and whether the
// live picture takes a change as it runs or must start again. No Windows here.
#pragma once

#include <cstdint>

#include "renderer/scene/scene_settings.h"

// The knobs with a slider, top to bottom: every knob but the colours, which have a list.
constexpr int32_t SceneSliderCount = SceneKnobCount - 1;

// How far a slider moves for an arrow key (line) and for Page Up or Page Down (page).
struct SliderSteps {
    int32_t line;
    int32_t page;
};
// The steps of a knob's slider.
SliderSteps sliderSteps(SceneKnob knob);

// The preset list: the presets in their order, then the user's own settings.
constexpr int32_t OwnPresetEntry = ScenePresetCount;
constexpr int32_t PresetEntryCount = ScenePresetCount + 1;

// What the dialog has chosen: the settings it shows, and the user's own, which the own entry of the
// preset list brings back after a preset was tried.
struct SceneChoice {
    SceneSettings current;
    SceneSettings own;
};

// What a change asks of the live picture.
enum class PictureChange { None, Live, Restart };

// The choice the dialog opens with: the stored settings, which are also the user's own.
SceneChoice openSceneChoice(const SceneSettings& stored);
// The preset list's entry for the settings shown: their preset, or the own entry.
int32_t presetEntry(const SceneChoice& choice);
// A slider or the colour list set a knob (held to its range); the settings become the user's own.
PictureChange setSceneKnob(SceneChoice& choice, SceneKnob knob, int32_t value);
// An entry of the preset list was chosen: a preset's settings, or the user's own; others change nothing.
PictureChange choosePresetEntry(SceneChoice& choice, int32_t entry);
// What going from one set of settings to another asks of the picture: the counts make new objects,
// the rest the running scene reads frame by frame.
PictureChange pictureChange(const SceneSettings& before, const SceneSettings& after);
