// The scene's own settings: their ranges and defaults, the colour palettes, the presets, and how
// they travel on the renderer's command line. No Windows and no OpenGL here.
#pragma once
#include <cstdint>
#include <string>

// The colours particles may take: every hue, or a band of hues the drift stays within.
enum class Palette : int32_t { EveryHue, Warm, Cold, Green, Violet };
constexpr int32_t PaletteCount = 5;

// The scene's settings, read by every formula of the scene; the defaults are the standard scene.
struct SceneSettings {
    int32_t EmitterCount = 3;
    int32_t AbsorberCount = 3;
    int32_t ParticleCount = 1000;
    int32_t SizeScale = 10;
    int32_t SpeedScale = 10;
    int32_t CameraSpeed = 10;  // 0 holds the camera and the spin still
    int32_t TrailLevel = 10;   // 0 clears every frame; 1..100 ever longer trails
    Palette Colours = Palette::EveryHue;
};

// The eight settings a user can change, in the order the settings file, the Scene dialog and the
// command line list them.
enum class SceneKnob : int32_t { Particles, Size, Speed, Camera, Trails, Emitters, Absorbers, Colours };
constexpr int32_t SceneKnobCount = 8;

// What a knob is called and which values it takes.
struct SceneKnobInfo {
    const char* key;     // its key in the settings file, ASCII ("Particles")
    const char* option;  // its option on Linux, without the dash ("particles")
    int32_t low, high;   // the values it takes
    int32_t standard;    // the standard scene's value
};
// The knobs in SceneKnob order.
extern const SceneKnobInfo SceneKnobs[SceneKnobCount];

// One knob's value in the settings.
int32_t knobValue(const SceneSettings& settings, SceneKnob knob);
// Sets one knob to the nearest value it takes: a number is floored and held to the knob's range,
// and a palette outside the list is every hue.
void setKnobValue(SceneSettings& settings, SceneKnob knob, double value);
// The settings with every knob brought into its range.
SceneSettings withinRanges(const SceneSettings& settings);
// Whether two settings give the same scene.
bool sameSceneSettings(const SceneSettings& a, const SceneSettings& b);

// A band of hues on the wheel 0..1: from low, width wide, wrapping past 1.
struct HueBand {
    float low;
    float width;
};
// The band a palette keeps to; every hue is the whole wheel.
HueBand paletteBand(Palette palette);
// Where the drifting hue (0..1, every hue) falls in the palette's band; every hue leaves it as it is.
float paletteHue(Palette palette, float hue);
// The palette's name as the Linux option takes it ("every-hue", "warm", ...).
const char* paletteName(Palette palette);

// A named look: all eight settings.
struct ScenePreset {
    const char* name;  // as the Linux option takes it; the dialog shows its own texts
    SceneSettings settings;
};
constexpr int32_t ScenePresetCount = 6;
// The presets; the first is the standard scene.
extern const ScenePreset ScenePresets[ScenePresetCount];
// The preset whose settings these are, or -1 for settings of the user's own.
int32_t presetOf(const SceneSettings& settings);

// What the renderer's command line carries for these settings: nothing for the standard scene,
// otherwise " /scene:" and the eight values in knob order, separated by commas.
std::string sceneArguments(const SceneSettings& settings);
// The settings a command line names through "/scene:"; the standard ones where it names none.
// A value missing or no number is the standard one; the others are brought into their ranges.
SceneSettings sceneSettingsOf(const char* commandLine);
