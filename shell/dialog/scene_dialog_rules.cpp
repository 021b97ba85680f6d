// What the Scene dialog's controls choose and what the live picture makes of it.
#include "shell/dialog/scene_dialog_rules.h"

namespace {
// The slider steps in SceneKnob order (the colours have no slider). Particles move in fifties, so
// that an arrow key makes a change one can see and Page Up or Down a tenth of the range.
constexpr SliderSteps KnobSteps[SceneKnobCount] = {
    {50, 500},  // particles
    {1, 5},     // size
    {1, 5},     // speed
    {1, 5},     // camera
    {1, 10},    // trails
    {1, 1},     // emitters
    {1, 1},     // absorbers
    {1, 1},     // colours
};
}  // namespace

// An unknown knob moves by one.
SliderSteps sliderSteps(SceneKnob knob) {
    const auto index = static_cast<int32_t>(knob);
    return index >= 0 && index < SceneKnobCount ? KnobSteps[index] : SliderSteps{1, 1};
}

// Stored settings are already within their ranges; held again, so a record made by hand is too.
SceneChoice openSceneChoice(const SceneSettings& stored) {
    const SceneSettings held = withinRanges(stored);
    return SceneChoice{held, held};
}

// Settings of no preset are the user's own.
int32_t presetEntry(const SceneChoice& choice) {
    const int32_t preset = presetOf(choice.current);
    return preset >= 0 ? preset : OwnPresetEntry;
}

// The own settings follow every slider, so the own entry returns to the last ones the user set.
PictureChange setSceneKnob(SceneChoice& choice, SceneKnob knob, int32_t value) {
    const SceneSettings before = choice.current;
    setKnobValue(choice.current, knob, value);
    choice.own = choice.current;
    return pictureChange(before, choice.current);
}

// A preset leaves the own settings as they were.
PictureChange choosePresetEntry(SceneChoice& choice, int32_t entry) {
    if (entry < 0 || entry > OwnPresetEntry) return PictureChange::None;
    const SceneSettings before = choice.current;
    choice.current = entry == OwnPresetEntry ? choice.own : ScenePresets[entry].settings;
    return pictureChange(before, choice.current);
}

// The scene makes its emitters, absorbers and particles once, at its start.
PictureChange pictureChange(const SceneSettings& before, const SceneSettings& after) {
    if (before.ParticleCount != after.ParticleCount || before.EmitterCount != after.EmitterCount ||
        before.AbsorberCount != after.AbsorberCount)
        return PictureChange::Restart;
    return sameSceneSettings(before, after) ? PictureChange::None : PictureChange::Live;
}
