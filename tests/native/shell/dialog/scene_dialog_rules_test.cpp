#include "shell/dialog/scene_dialog_rules.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The knob values of settings in knob order, so a failure shows them all.
std::vector<int32_t> values(const SceneSettings& settings) {
    std::vector<int32_t> v;
    for (int32_t k = 0; k < SceneKnobCount; ++k) v.push_back(knobValue(settings, static_cast<SceneKnob>(k)));
    return v;
}

// A user's session in the dialog, step by step: each slider or list choice, what the picture is asked
// to do, which entry the preset list then shows and what the dialog holds.
TEST(SceneDialogRules, SlidersAndPresetsChooseTheSettingsTheListShowsAndThePictureFollows) {
    SceneSettings stored;
    stored.SizeScale = 12;  // a look of the user's own
    SceneChoice choice = openSceneChoice(stored);
    EXPECT_EQ(presetEntry(choice), OwnPresetEntry);
    const SceneSettings calm = ScenePresets[1].settings;
    enum Kind { Slider, Preset };
    const struct Step {
        Kind kind;
        int32_t what;  // knob or preset entry
        int32_t value;
        PictureChange change;
        int32_t entry;  // the preset list's entry afterwards
        int32_t size, particles;
    } steps[] = {
        {Preset, 0, 0, PictureChange::Live, 0, 10, 1000},                // default: only the size differed
        {Slider, int32_t(SceneKnob::Particles), 2000, PictureChange::Restart, OwnPresetEntry, 10, 2000},
        {Slider, int32_t(SceneKnob::Particles), 1000, PictureChange::Restart, 0, 10, 1000},  // back at the default
        {Preset, 1, 0, PictureChange::Restart, 1, calm.SizeScale, calm.ParticleCount},
        {Slider, int32_t(SceneKnob::Trails), 41, PictureChange::Live, OwnPresetEntry, calm.SizeScale, calm.ParticleCount},
        {Preset, 2, 0, PictureChange::Restart, 2, ScenePresets[2].settings.SizeScale, ScenePresets[2].settings.ParticleCount},
        {Preset, OwnPresetEntry, 0, PictureChange::Restart, OwnPresetEntry, calm.SizeScale, calm.ParticleCount},
        {Preset, OwnPresetEntry, 0, PictureChange::None, OwnPresetEntry, calm.SizeScale, calm.ParticleCount},
        {Preset, PresetEntryCount, 0, PictureChange::None, OwnPresetEntry, calm.SizeScale, calm.ParticleCount},
        {Preset, -1, 0, PictureChange::None, OwnPresetEntry, calm.SizeScale, calm.ParticleCount},
        {Slider, int32_t(SceneKnob::Size), 99, PictureChange::Live, OwnPresetEntry, 30, calm.ParticleCount},  // held
        {Slider, int32_t(SceneKnob::Size), 30, PictureChange::None, OwnPresetEntry, 30, calm.ParticleCount},
        {Slider, int32_t(SceneKnob::Particles), 0, PictureChange::Restart, OwnPresetEntry, 30, 50},
        {Slider, int32_t(SceneKnob::Emitters), 8, PictureChange::Restart, OwnPresetEntry, 30, 50},
        {Slider, int32_t(SceneKnob::Absorbers), 1, PictureChange::Restart, OwnPresetEntry, 30, 50},
        {Slider, int32_t(SceneKnob::Colours), 3, PictureChange::Live, OwnPresetEntry, 30, 50},
        {Slider, int32_t(SceneKnob::Camera), 0, PictureChange::Live, OwnPresetEntry, 30, 50},
        {Slider, int32_t(SceneKnob::Speed), 1, PictureChange::Live, OwnPresetEntry, 30, 50},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << "step " << &s - steps);
        const PictureChange change = s.kind == Slider ? setSceneKnob(choice, static_cast<SceneKnob>(s.what), s.value)
                                                      : choosePresetEntry(choice, s.what);
        EXPECT_EQ(change, s.change);
        EXPECT_EQ(presetEntry(choice), s.entry);
        EXPECT_EQ(choice.current.SizeScale, s.size);
        EXPECT_EQ(choice.current.ParticleCount, s.particles);
    }
    EXPECT_EQ(values(choice.current), (std::vector<int32_t>{50, 30, 1, 0, 41, 8, 1, 3}));
    EXPECT_EQ(values(choice.own), values(choice.current)) << "the sliders' settings are the user's own";

    // Every preset, chosen from every other, shows itself in the list; the picture starts again exactly
    // when a count differs.
    for (int32_t from = 0; from < PresetEntryCount - 1; ++from) {
        for (int32_t to = 0; to < PresetEntryCount - 1; ++to) {
            SceneChoice c = openSceneChoice(ScenePresets[from].settings);
            const SceneSettings &a = ScenePresets[from].settings, &b = ScenePresets[to].settings;
            const bool counts = a.ParticleCount != b.ParticleCount || a.EmitterCount != b.EmitterCount ||
                                a.AbsorberCount != b.AbsorberCount;
            EXPECT_EQ(choosePresetEntry(c, to), from == to ? PictureChange::None
                                                : counts  ? PictureChange::Restart
                                                          : PictureChange::Live) << from << " to " << to;
            EXPECT_EQ(presetEntry(c), to);
            EXPECT_EQ(values(c.own), values(a)) << "a preset tried is not the user's own";
        }
    }
}

// Opening holds settings made by hand to their ranges; the steps fit each slider's range, so that an
// arrow key always moves and Page Up or Down moves further without leaping over the whole range.
TEST(SceneDialogRules, OpensWithinRangesAndEverySliderStepsThroughItsRange) {
    SceneSettings wild;
    wild.ParticleCount = 1 << 30;
    wild.TrailLevel = -5;
    wild.Colours = static_cast<Palette>(17);
    const SceneChoice choice = openSceneChoice(wild);
    EXPECT_EQ(values(choice.current), (std::vector<int32_t>{5000, 10, 10, 10, 0, 3, 3, 0}));
    for (int32_t k = 0; k < SceneSliderCount; ++k) {
        const SceneKnobInfo& info = SceneKnobs[k];
        const SliderSteps steps = sliderSteps(static_cast<SceneKnob>(k));
        EXPECT_GE(steps.line * 100, info.high - info.low) << info.key << ": an arrow step one cannot see";
        EXPECT_GE(steps.page, steps.line) << info.key;
        EXPECT_LE(steps.page * 2, info.high - info.low) << info.key;
        EXPECT_EQ((info.standard - info.low) % steps.line, 0) << info.key << ": the standard value lies off the arrow steps";
    }
}

}  // namespace
