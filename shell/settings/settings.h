// The shell's settings: their values, the load rule, their number format and the INI key names.
// No Windows here.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "renderer/scene/scene_settings.h"
#include "renderer/timing/frame_rate.h"

// The stored settings; the shell's entry point owns one copy and hands it on.
struct ShellSettings {
    int16_t musicSource = 0;  // 0 no music, 1 audio CD, 2 MP3 or WAV file; others mean no music
    int16_t repeatTrack = 0;  // CD track to repeat, 0 none
    std::string musicFile;    // full path in the system ANSI code page, empty for none
    int16_t screens = 0;      // how the scene fills the monitors, 0 to 3 below; others as 0
    SceneSettings scene{};    // the scene's own settings, each within its range
    int16_t frameRate = FrameRateAsDisplayAllows;  // most frames a second: 0 (as the display allows), 60 or 30
    bool batterySaver = true;                      // at most 30 frames a second while on battery
};

// Music sources stored in musicSource.
constexpr int16_t MusicSourceNone = 0;
constexpr int16_t MusicSourceCd = 1;
constexpr int16_t MusicSourceFile = 2;
// How the scene fills the monitors, stored in screens.
constexpr int16_t ScreensEveryMonitor = 0;  // the same scene on each
constexpr int16_t ScreensPrimaryOnly = 1;   // the primary only, the others black
constexpr int16_t ScreensSpan = 2;          // one picture across all of them
constexpr int16_t ScreensOwnScenes = 3;     // a scene of its own on each

// Section name and the six key names; the first three as the exact Shift-JIS bytes stored files hold
// whatever the system's code page is.
extern const char IniSection[];    // "Section"
extern const char IniKeySource[];  // "BGM区分"   = 42 47 4D 8B E6 95 AA
extern const char IniKeyRepeat[];  // "BGMﾘﾋﾟｰﾄ" = 42 47 4D D8 CB DF B0 C4
extern const char IniKeyFile[];    // "BGMﾌｧｲﾙ"  = 42 47 4D CC A7 B2 D9
extern const char IniKeyScreens[]; // "Screens", plain ASCII; files written before it lack it
extern const char IniKeyFrameRate[];     // "FrameRate", plain ASCII
extern const char IniKeyBatterySaver[];  // "BatterySaver", plain ASCII

// Reads a stored number: blanks ignored, decimal (fraction and exponent allowed), floored toward
// minus infinity. Not a number or outside the 16-bit range: false, and `value` is left as it was.
bool parseSettingNumber(const std::string& text, int16_t& value);

// Text a number is stored as: one blank before a non-negative number (" 2"), "-1" otherwise.
std::string formatSettingNumber(int value);

// Path the file test opens: one trailing backslash removed.
std::string fileTestPath(const std::string& path);

// The texts a settings file holds under the keys; empty for a missing key.
struct StoredTexts {
    std::string source, repeat, file, screens;
    std::string frameRate{}, batterySaver{};
    std::string scene[SceneKnobCount]{};  // under the knobs' keys, in knob order
};

// A scene knob as its stored text gives it: a missing or empty text, or one that is no number, is
// the standard value; a number is floored and brought to the nearest value the knob takes.
int32_t storedKnobValue(SceneKnob knob, const std::string& text);

// Fills `settings` from the stored texts as the load rule says; `fileExists` tests the music file.
void applyStoredSettings(ShellSettings& settings, const StoredTexts& stored,
                         const std::function<bool(const std::string&)>& fileExists);
