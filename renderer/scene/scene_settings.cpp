// The scene's settings: ranges, palettes, presets and their command-line form.
#include "renderer/scene/scene_settings.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {
// The option that carries the settings on the renderer's command line.
constexpr char SceneOption[] = "/scene:";
constexpr size_t SceneOptionLength = sizeof SceneOption - 1;

// The hue bands of the palettes (fractions of the wheel), in Palette order; warm wraps past red.
constexpr HueBand PaletteBands[PaletteCount] = {
    {0.0f, 1.0f},    // every hue
    {0.94f, 0.22f},  // warm: crimson through orange to yellow
    {0.48f, 0.20f},  // cold: cyan to blue
    {0.22f, 0.20f},  // green: yellow-green to sea green
    {0.70f, 0.18f},  // violet: indigo to purple
};
constexpr const char* PaletteNames[PaletteCount] = {"every-hue", "warm", "cold", "green", "violet"};

// The field of a knob that holds an integer; colours are kept apart.
int32_t SceneSettings::*const KnobFields[SceneKnobCount - 1] = {
    &SceneSettings::ParticleCount, &SceneSettings::SizeScale,  &SceneSettings::SpeedScale,
    &SceneSettings::CameraSpeed,   &SceneSettings::TrailLevel, &SceneSettings::EmitterCount,
    &SceneSettings::AbsorberCount,
};

// Whether the command line has the option at this place, at the start of a word.
bool sceneOptionAt(const char* commandLine, const char* at) {
    if (at != commandLine && at[-1] != ' ' && at[-1] != '"') return false;
    for (size_t k = 0; k < SceneOptionLength; ++k) {
        if (std::tolower(static_cast<unsigned char>(at[k])) != SceneOption[k]) return false;
    }
    return true;
}
}  // namespace

// Particles up to 5000 still hold the paced rate at 1920x1080 on software OpenGL; eight poles of
// each kind fill every layout without crowding it.
const SceneKnobInfo SceneKnobs[SceneKnobCount] = {
    {"Particles", "particles", 50, 5000, 1000}, {"Size", "size", 1, 30, 10},
    {"Speed", "speed", 1, 30, 10},              {"Camera", "camera", 0, 30, 10},
    {"Trails", "trails", 0, 100, 10},           {"Emitters", "emitters", 1, 8, 3},
    {"Absorbers", "absorbers", 1, 8, 3},        {"Colours", "colours", 0, PaletteCount - 1, 0},
};

const ScenePreset ScenePresets[ScenePresetCount] = {
    {"default", SceneSettings{}},
    {"calm", SceneSettings{2, 2, 600, 14, 5, 4, 40, Palette::Cold}},
    {"swarm", SceneSettings{6, 6, 4000, 6, 14, 12, 20, Palette::EveryHue}},
    {"embers", SceneSettings{4, 3, 1500, 8, 8, 6, 60, Palette::Warm}},
    {"aurora", SceneSettings{3, 5, 2500, 16, 6, 8, 80, Palette::Green}},
    {"nebula", SceneSettings{8, 8, 2000, 24, 4, 3, 50, Palette::Violet}},
};

// Colours are read as the palette's number.
int32_t knobValue(const SceneSettings& settings, SceneKnob knob) {
    if (knob == SceneKnob::Colours) return static_cast<int32_t>(settings.Colours);
    return settings.*KnobFields[static_cast<int32_t>(knob)];
}

// A value that is not a number at all (NaN) is the standard one.
void setKnobValue(SceneSettings& settings, SceneKnob knob, double value) {
    const SceneKnobInfo& info = SceneKnobs[static_cast<int32_t>(knob)];
    double whole = std::floor(value);
    if (std::isnan(whole)) whole = info.standard;
    if (knob == SceneKnob::Colours) {
        const bool listed = whole >= info.low && whole <= info.high;
        settings.Colours = static_cast<Palette>(listed ? static_cast<int32_t>(whole) : info.standard);
        return;
    }
    if (whole < info.low) whole = info.low;
    if (whole > info.high) whole = info.high;
    settings.*KnobFields[static_cast<int32_t>(knob)] = static_cast<int32_t>(whole);
}

// Each knob goes through the same rule as a stored value.
SceneSettings withinRanges(const SceneSettings& settings) {
    SceneSettings held = settings;
    for (int32_t k = 0; k < SceneKnobCount; ++k) {
        const auto knob = static_cast<SceneKnob>(k);
        setKnobValue(held, knob, knobValue(settings, knob));
    }
    return held;
}

// Compared knob by knob, so a field added later is not forgotten here.
bool sameSceneSettings(const SceneSettings& a, const SceneSettings& b) {
    for (int32_t k = 0; k < SceneKnobCount; ++k) {
        if (knobValue(a, static_cast<SceneKnob>(k)) != knobValue(b, static_cast<SceneKnob>(k))) return false;
    }
    return true;
}

// An unknown palette has the whole wheel.
HueBand paletteBand(Palette palette) {
    const auto index = static_cast<int32_t>(palette);
    return index > 0 && index < PaletteCount ? PaletteBands[index] : PaletteBands[0];
}

// The drift runs over the whole wheel as always; a band folds it there and back, so the hue moves
// as smoothly as the drift does and never leaves the band.
float paletteHue(Palette palette, float hue) {
    const HueBand band = paletteBand(palette);
    if (band.width >= 1.0f) return hue;
    const float there = 1.0f - std::fabs(2.0f * hue - 1.0f);
    float folded = band.low + band.width * there;
    if (folded >= 1.0f) folded -= 1.0f;
    return folded;
}

// An unknown palette is named as every hue.
const char* paletteName(Palette palette) {
    const auto index = static_cast<int32_t>(palette);
    return PaletteNames[index > 0 && index < PaletteCount ? index : 0];
}

// The first preset that gives the same scene.
int32_t presetOf(const SceneSettings& settings) {
    for (int32_t p = 0; p < ScenePresetCount; ++p) {
        if (sameSceneSettings(settings, ScenePresets[p].settings)) return p;
    }
    return -1;
}

// The standard scene adds nothing, so a renderer's command line stays as it always was.
std::string sceneArguments(const SceneSettings& settings) {
    if (sameSceneSettings(settings, SceneSettings{})) return {};
    std::string text = " ";
    text += SceneOption;
    for (int32_t k = 0; k < SceneKnobCount; ++k) {
        if (k > 0) text += ',';
        text += std::to_string(knobValue(settings, static_cast<SceneKnob>(k)));
    }
    return text;
}

// The values are read as whole decimal numbers; anything else in a field leaves its standard value.
SceneSettings sceneSettingsOf(const char* commandLine) {
    SceneSettings settings;
    if (commandLine == nullptr) return settings;
    const char* at = commandLine;
    while (*at != '\0' && !sceneOptionAt(commandLine, at)) ++at;
    if (*at == '\0') return settings;
    at += SceneOptionLength;
    for (int32_t k = 0; k < SceneKnobCount; ++k) {
        char* end = nullptr;
        const long value = std::strtol(at, &end, 10);
        const bool number = end != at && (*end == ',' || *end == ' ' || *end == '"' || *end == '\0');
        if (number) setKnobValue(settings, static_cast<SceneKnob>(k), static_cast<double>(value));
        while (*at != ',' && *at != ' ' && *at != '"' && *at != '\0') ++at;
        if (*at != ',') break;
        ++at;
    }
    return settings;
}
