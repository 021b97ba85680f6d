// The load rule and the stored number format of the shell's settings.
#include "shell/settings/settings.h"

#include <cmath>
#include <cstdlib>

#include "shell/settings/number_text.h"

namespace {
constexpr double Int16Min = -32768.0;
constexpr double Int16Max = 32767.0;

// Applies the load rule to one number: an empty text is 0, one that is no number keeps the value.
void loadNumber(const std::string& text, int16_t& value) {
    if (trimBlanks(text).empty()) value = 0;
    else parseSettingNumber(text, value);
}

// A stored frame rate is the nearest choice; missing or no number, as the display allows.
int16_t loadFrameRate(const std::string& text) {
    if (!isDecimalText(text)) return FrameRateAsDisplayAllows;
    return static_cast<int16_t>(nearestFrameRate(std::strtod(trimBlanks(text).c_str(), nullptr)));
}

// Only a stored number that floors to 0 switches the battery saver off; missing or no number leaves it on.
bool loadBatterySaver(const std::string& text) {
    if (!isDecimalText(text)) return true;
    return std::floor(std::strtod(trimBlanks(text).c_str(), nullptr)) != 0;
}
}  // namespace

const char IniSection[] = "Section";
const char IniKeySource[] = "BGM\x8B\xE6\x95\xAA";
const char IniKeyRepeat[] = "BGM\xD8\xCB\xDF\xB0\xC4";
const char IniKeyFile[] = "BGM\xCC\xA7\xB2\xD9";
const char IniKeyScreens[] = "Screens";
const char IniKeyFrameRate[] = "FrameRate";
const char IniKeyBatterySaver[] = "BatterySaver";

// Reads a stored number as a whole decimal text between blanks, floored, within 16 bits.
bool parseSettingNumber(const std::string& text, int16_t& value) {
    if (!isDecimalText(text)) return false;
    const double floored = std::floor(std::strtod(trimBlanks(text).c_str(), nullptr));
    if (!(floored >= Int16Min && floored <= Int16Max)) return false;
    value = static_cast<int16_t>(floored);
    return true;
}

// Formats a stored number with the sign column the settings file has always used.
std::string formatSettingNumber(int value) {
    return value < 0 ? std::to_string(value) : " " + std::to_string(value);
}

// Removes the one trailing backslash a folder-style path may carry.
std::string fileTestPath(const std::string& path) {
    if (!path.empty() && path.back() == '\\') return path.substr(0, path.size() - 1);
    return path;
}

// Beyond 16 bits is still a number, and so the nearest end of the range.
int32_t storedKnobValue(SceneKnob knob, const std::string& text) {
    SceneSettings settings;
    if (isDecimalText(text)) setKnobValue(settings, knob, std::strtod(trimBlanks(text).c_str(), nullptr));
    return knobValue(settings, knob);
}

// Applies the load rule; a music file that cannot be opened falls back to no music.
void applyStoredSettings(ShellSettings& settings, const StoredTexts& stored,
                         const std::function<bool(const std::string&)>& fileExists) {
    loadNumber(stored.source, settings.musicSource);
    loadNumber(stored.repeat, settings.repeatTrack);
    loadNumber(stored.screens, settings.screens);
    settings.frameRate = loadFrameRate(stored.frameRate);
    settings.batterySaver = loadBatterySaver(stored.batterySaver);
    for (int32_t k = 0; k < SceneKnobCount; ++k) {
        const auto knob = static_cast<SceneKnob>(k);
        setKnobValue(settings.scene, knob, storedKnobValue(knob, stored.scene[k]));
    }
    if (!stored.file.empty()) {
        settings.musicFile = stored.file;
        if (fileExists(stored.file)) return;
    }
    settings.musicFile.clear();
    if (settings.musicSource == MusicSourceFile) settings.musicSource = MusicSourceNone;
}
