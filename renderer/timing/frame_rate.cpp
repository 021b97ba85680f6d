#include "renderer/timing/frame_rate.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {
// The options that carry the rule on the renderer's command line.
constexpr char FrameRateOption[] = "/fps:";
constexpr char BatterySaverOption[] = "/battery:";
// The choices from the lowest number up, so that a tie goes to the higher.
constexpr int32_t RisingChoices[FrameRateChoiceCount] = {FrameRateAsDisplayAllows, 30, 60};

// The value of `option` (lower case) where it starts a word of the command line; null where it is absent.
const char* optionValue(const char* commandLine, const char* option) {
    const size_t length = std::strlen(option);
    for (const char* at = commandLine; at != nullptr && *at != '\0'; ++at) {
        if (at != commandLine && at[-1] != ' ' && at[-1] != '"') continue;
        size_t k = 0;
        while (k < length && at[k] != '\0' && std::tolower(static_cast<unsigned char>(at[k])) == option[k]) ++k;
        if (k == length) return at + k;
    }
    return nullptr;
}

// The whole decimal number at `text`, ending the word; false where there is none.
bool wordNumber(const char* text, long& value) {
    if (text == nullptr) return false;
    char* end = nullptr;
    value = std::strtol(text, &end, 10);
    return end != text && (*end == '\0' || *end == ' ' || *end == '"');
}
}  // namespace

// Half-way rounds up: 15 is 30 and 45 is 60; below 0 is 0 and above 60 is 60.
int32_t nearestFrameRate(double value) {
    if (std::isnan(value)) return FrameRateAsDisplayAllows;
    int32_t nearest = FrameRateAsDisplayAllows;
    for (const int32_t choice : RisingChoices) {
        if (std::fabs(value - choice) <= std::fabs(value - nearest)) nearest = choice;
    }
    return nearest;
}

// The battery saver lowers the cap, never raises it.
int32_t frameRateCap(const FrameRateRule& rule) {
    const int32_t choice = nearestFrameRate(rule.choice);
    if (!rule.onBattery || !rule.batterySaver) return choice;
    return choice == FrameRateAsDisplayAllows || choice > BatteryFramesPerSecond ? BatteryFramesPerSecond : choice;
}

// Rounded up, so that the rate shown is never above the cap: " 60" on 144 Hz shows every third
// refresh (48 frames a second), not 72.
int32_t refreshesPerFrame(int32_t refreshHz, int32_t capFps) {
    if (capFps <= 0 || refreshHz <= capFps) return 1;
    return (refreshHz + capFps - 1) / capFps;
}

// A value that is no number leaves the default.
FrameRateRule frameRateRuleOf(const char* commandLine) {
    FrameRateRule rule;
    long value = 0;
    if (wordNumber(optionValue(commandLine, FrameRateOption), value)) rule.choice = nearestFrameRate(value);
    if (wordNumber(optionValue(commandLine, BatterySaverOption), value)) rule.batterySaver = value != 0;
    return rule;
}

// The defaults add nothing, so a renderer's command line stays as it was.
std::string frameRateArguments(int32_t choice, bool batterySaver) {
    std::string text;
    const int32_t nearest = nearestFrameRate(choice);
    if (nearest != FrameRateAsDisplayAllows) text += " " + std::string(FrameRateOption) + std::to_string(nearest);
    if (!batterySaver) text += " " + std::string(BatterySaverOption) + "0";
    return text;
}
