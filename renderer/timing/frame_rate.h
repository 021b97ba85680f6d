// The frame-rate choice and the battery saver: the most frames a second the user allows, how running
// on battery lowers it, and how many of the display's refreshes each frame then stays up. Plain C++:
// the settings file, the command line and the power notifications supply the facts, these rules answer.
#pragma once

#include <cstdint>
#include <string>

// Frame-rate choices (frames a second; 0: as fast as the display allows), in the order the settings
// dialog lists them.
constexpr int32_t FrameRateAsDisplayAllows = 0;
constexpr int32_t FrameRateChoiceCount = 3;
constexpr int32_t FrameRateChoices[FrameRateChoiceCount] = {FrameRateAsDisplayAllows, 60, 30};
// The most frames a second on battery while the battery saver is on.
constexpr int32_t BatteryFramesPerSecond = 30;

// What decides the frame rate.
struct FrameRateRule {
    int32_t choice = FrameRateAsDisplayAllows;  // one of FrameRateChoices
    bool batterySaver = true;                   // on battery, at most BatteryFramesPerSecond
    bool onBattery = false;                     // as the system last reported; unknown counts as mains
};

// The choice nearest a number: 0, 30 or 60; a number half-way between two goes to the higher, and
// one that is not a number at all (NaN) is 0.
int32_t nearestFrameRate(double value);
// The most frames a second the rule allows now; 0 for no limit.
int32_t frameRateCap(const FrameRateRule& rule);
// How many refreshes of a display at refreshHz each frame stays up, so that no more than capFps
// frames a second are shown: 1 without a cap, else the fewest whole refreshes that keep to it.
int32_t refreshesPerFrame(int32_t refreshHz, int32_t capFps);

// The rule as the renderer's command line gives it: "/fps:N" (the nearest choice) and "/battery:0"
// (the saver off), each at the start of a word in any letter case; absent, the defaults.
FrameRateRule frameRateRuleOf(const char* commandLine);
// What the renderer's command line carries for a choice and a battery saver: nothing for the
// defaults, " /fps:N" and " /battery:0" for the others.
std::string frameRateArguments(int32_t choice, bool batterySaver);
