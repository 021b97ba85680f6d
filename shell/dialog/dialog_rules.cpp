// The settings dialog's rules.
#include "shell/dialog/dialog_rules.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "shell/settings/number_text.h"

namespace {
constexpr double GradientPeak = 220.0;   // brightest level of a gradient row
constexpr double HalfTurn = 3.142;       // rows per half sine wave: height / this
constexpr int BlueLift = 30;             // dialog rows are this much bluer
constexpr int PanelLift = 30;            // panel rows are this much lighter
}  // namespace

// Rounds to the nearest whole number, halves to the even one.
double roundHalfEven(double x) {
    double lower = std::floor(x);
    double diff = x - lower;
    if (diff > 0.5) return lower + 1.0;
    if (diff < 0.5) return lower;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

// Twips to pixels at the dialog's fixed scale, rounded.
int twipsToPixels(int twips) {
    return static_cast<int>(std::lround(static_cast<double>(twips) / TwipsPerPixel));
}

// The CD track box's text for a track number; 0 shows an empty box.
std::string trackNumberText(int value) {
    return value == 0 ? std::string() : std::to_string(value);
}

// Reads the CD track box: whether it holds a number, and the track it names.
TrackText trackFromText(const std::string& text) {
    TrackText t;
    if (!isDecimalText(text)) return t;
    t.numeric = true;
    double rounded = roundHalfEven(std::strtod(text.c_str(), nullptr));
    constexpr double low = std::numeric_limits<int16_t>::min();
    constexpr double high = std::numeric_limits<int16_t>::max();
    if (rounded < low || rounded > high) {
        t.clamped = true;
        rounded = rounded < low ? low : high;
    }
    t.value = static_cast<int16_t>(rounded);
    return t;
}

// Brightness of row y of the dialog's background gradient.
int gradientLevel(int y, double height) {
    double k = height / HalfTurn;
    if (k <= 0.0) return 0;
    return static_cast<int>(roundHalfEven(std::fabs(std::sin(y / k)) * GradientPeak));
}

// Colour of row y of the dialog's background.
Rgb dialogRowColour(int y, double height) {
    int v = gradientLevel(y, height);
    return {static_cast<uint8_t>(v), static_cast<uint8_t>(v), static_cast<uint8_t>(v + BlueLift)};
}

// Colour of row y of the dialog's inner panel.
Rgb panelRowColour(int y, double height) {
    auto v = static_cast<uint8_t>(gradientLevel(y, height) + PanelLift);
    return {v, v, v};
}

// Where the dialog stands: centred across, a third of the way down.
Point dialogPlacement(int screenWidth, int screenHeight, int windowWidth, int windowHeight) {
    // The arithmetic runs in twips with truncating division, as the window toolkit places forms.
    int left = (screenWidth - windowWidth) * TwipsPerPixel / 2;
    int top = (screenHeight - windowHeight) * TwipsPerPixel / 3;
    return {left / TwipsPerPixel, top / TwipsPerPixel};
}
