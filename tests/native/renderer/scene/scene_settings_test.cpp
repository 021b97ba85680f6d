#include "renderer/scene/scene_settings.h"

#include <cmath>
#include <set>
#include <string>

#include "renderer/scene/scene_test_support.h"

// The hue a colour shows, 0..1, for a fully saturated colour.
static float hueOf(const Vector3& rgb) {
    const float top = std::max({rgb.x, rgb.y, rgb.z}), bottom = std::min({rgb.x, rgb.y, rgb.z});
    if (top - bottom < 1e-4f) return 0.0f;
    float h;
    if (top == rgb.x) h = (rgb.y - rgb.z) / (top - bottom);
    else if (top == rgb.y) h = 2.0f + (rgb.z - rgb.x) / (top - bottom);
    else h = 4.0f + (rgb.x - rgb.y) / (top - bottom);
    h /= 6.0f;
    return h < 0.0f ? h + 1.0f : h;
}

// How far a hue lies outside a band, around the wheel; 0 inside it.
static float outsideBand(float hue, HueBand band) {
    const float from = std::fmod(hue - band.low + 2.0f, 1.0f);
    if (from <= band.width + 1e-4f) return 0.0f;
    return std::min(from - band.width, 1.0f - from);
}

TEST(SceneSettings, KnobsTakeTheNearestValueTheyHaveAndTheCommandLineCarriesThem) {
    const struct { SceneKnob knob; double given; int32_t kept; } cases[] = {
        {SceneKnob::Particles, 10, 50},       {SceneKnob::Particles, 1e12, 5000}, {SceneKnob::Particles, 2500.9, 2500},
        {SceneKnob::Size, -3, 1},             {SceneKnob::Speed, 31, 30},         {SceneKnob::Camera, 0, 0},
        {SceneKnob::Camera, -0.5, 0},         {SceneKnob::Trails, 100, 100},      {SceneKnob::Trails, 101, 100},
        {SceneKnob::Emitters, 9, 8},          {SceneKnob::Absorbers, 0, 1},       {SceneKnob::Colours, 4, 4},
        {SceneKnob::Colours, 5, 0},           {SceneKnob::Colours, -1, 0},        {SceneKnob::Size, std::nan(""), 10},
    };
    for (const auto& c : cases) {
        SceneSettings settings;
        setKnobValue(settings, c.knob, c.given);
        EXPECT_EQ(knobValue(settings, c.knob), c.kept) << SceneKnobs[static_cast<int>(c.knob)].key << " " << c.given;
    }
    // The standard scene adds nothing to the renderer's command line; others travel whole.
    EXPECT_EQ(sceneArguments(SceneSettings{}), "");
    EXPECT_EQ(sceneArguments(ScenePresets[1].settings), " /scene:600,14,5,4,40,2,2,2");
    const SceneSettings warm{3, 3, 1000, 10, 10, 10, 10, Palette::Warm};  // the standard scene but for its colours
    EXPECT_EQ(sceneArguments(warm), " /scene:1000,10,10,10,10,3,3,1");
    const struct { const char* line; SceneSettings expected; } lines[] = {
        {"/s", SceneSettings{}},
        {"/s /screens:primary /SCENE:600,14,5,4,40,2,2,2", ScenePresets[1].settings},
        {"/s /scene:9999,12x,,-4,40", SceneSettings{3, 3, 5000, 10, 10, 0, 40}},  // held, standard, held
        {"/s/scene:600", SceneSettings{}},  // not a word of its own
    };
    for (const auto& l : lines) {
        const SceneSettings got = sceneSettingsOf(l.line);
        for (int k = 0; k < SceneKnobCount; ++k) {
            EXPECT_EQ(knobValue(got, static_cast<SceneKnob>(k)), knobValue(l.expected, static_cast<SceneKnob>(k)))
                << l.line << ": " << SceneKnobs[k].key;
        }
    }
}

TEST(SceneSettings, PresetsAreLooksOfTheirOwnWithinTheRanges) {
    EXPECT_TRUE(sameSceneSettings(ScenePresets[0].settings, SceneSettings{})) << "the first preset is the standard scene";
    std::set<std::string> names;
    for (int p = 0; p < ScenePresetCount; ++p) {
        const SceneSettings& s = ScenePresets[p].settings;
        EXPECT_TRUE(sameSceneSettings(withinRanges(s), s)) << ScenePresets[p].name << " leaves a range";
        EXPECT_EQ(presetOf(s), p) << ScenePresets[p].name << " is the same scene as an earlier preset";
        EXPECT_TRUE(names.insert(ScenePresets[p].name).second) << ScenePresets[p].name;
        EXPECT_TRUE(sameSceneSettings(sceneSettingsOf(sceneArguments(s).c_str()), s)) << ScenePresets[p].name;
    }
    SceneSettings own = ScenePresets[2].settings;
    own.SizeScale += 1;
    EXPECT_EQ(presetOf(own), -1);
}

TEST(SceneSettings, PalettesKeepTheDriftWithinTheirBandAndEveryHueKeepsItWhole) {
    for (int p = 0; p < PaletteCount; ++p) {
        const auto palette = static_cast<Palette>(p);
        const HueBand band = paletteBand(palette);
        float before = paletteHue(palette, 0.0f);
        for (int step = 1; step <= 1000; ++step) {
            const float hue = step / 1000.0f;
            const float shown = paletteHue(palette, hue);
            if (p == 0) {
                ASSERT_EQ(shown, hue);
                continue;
            }
            ASSERT_EQ(outsideBand(shown, band), 0.0f) << paletteName(palette) << " at " << hue << ": " << shown;
            const float jump = std::fabs(shown - before);
            ASSERT_LT(std::min(jump, 1.0f - jump), 2.5f * band.width / 1000.0f) << paletteName(palette) << " jumps at " << hue;
            before = shown;
        }
        if (p > 0) {
            EXPECT_LT(band.width, 0.3f) << "a band, not most of the wheel";
        }
    }
    // A long run of the real colour cycle shows only the band's hues, and the whole band.
    Scene scene;
    makeScene(scene, 3, 3, 1000);
    scene.settings.Colours = Palette::Warm;
    float lowest = 1.0f, highest = 0.0f;
    for (int frame = 0; frame < 20000; ++frame) {
        advanceColourCycle(scene, 0.1f);
        const float hue = hueOf(scene.spawnColour);
        if (scene.colour.currentHsv.y < 0.2f) continue;  // too pale to have a hue worth judging
        ASSERT_LT(outsideBand(hue, paletteBand(Palette::Warm)), 0.01f) << "frame " << frame << ": hue " << hue;
        const float into = std::fmod(hue - paletteBand(Palette::Warm).low + 1.0f, 1.0f);
        lowest = std::min(lowest, into), highest = std::max(highest, into);
    }
    EXPECT_GT(highest - lowest, 0.8f * paletteBand(Palette::Warm).width) << "the drift covers the band";
}

TEST(SceneSettings, EveryTrailStepFadesVisiblyLongerAndTheStandardVeilIsKept) {
    EXPECT_FLOAT_EQ(veilAlpha(10), 0.22445562f);
    EXPECT_GT(veilAlpha(1), 0.9f) << "level 1 all but clears";
    float before = veilAlpha(1);
    for (int level = 2; level <= 100; ++level) {
        const float alpha = veilAlpha(level);
        // Half-life in frames of what a pass keeps: each step lengthens it by at least 1 %.
        const double halfLife = std::log(0.5) / std::log(1.0 - alpha), earlier = std::log(0.5) / std::log(1.0 - before);
        EXPECT_GT(halfLife, 1.01 * earlier) << "level " << level;
        EXPECT_GT(alpha, 0.01f) << "level " << level << " must still fade";
        before = alpha;
    }
}
