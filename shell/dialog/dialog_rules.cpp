#include "shell/dialog/dialog_rules.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace lumivane {

namespace {

constexpr double kGradientPeak = 220.0;   // brightest level of a gradient row
constexpr double kHalfTurn = 3.142;      // rows per half sine wave: height / this
constexpr int kBlueLift = 30;            // dialog rows are this much bluer
constexpr int kPanelLift = 30;           // panel rows are this much lighter

// A decimal number with optional sign, fraction and exponent, blanks allowed around it.
bool isNumericText(const std::string& text) {
    size_t i = 0, n = text.size();
    while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    size_t digits = 0;
    while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) { ++i; ++digits; }
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) { ++i; ++digits; }
    }
    if (digits == 0) return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
        size_t expDigits = 0;
        while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) { ++i; ++expDigits; }
        if (expDigits == 0) return false;
    }
    while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
    return i == n;
}

}  // namespace

double roundHalfEven(double x) {
    double lower = std::floor(x);
    double diff = x - lower;
    if (diff > 0.5) return lower + 1.0;
    if (diff < 0.5) return lower;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

int twipsToPixels(int twips) {
    return static_cast<int>(std::lround(static_cast<double>(twips) / kTwipsPerPixel));
}

std::string formatHashHash(int value) {
    return value == 0 ? std::string() : std::to_string(value);
}

TrackText trackFromText(const std::string& text) {
    TrackText t;
    if (!isNumericText(text)) return t;
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

int gradientLevel(int y, double height) {
    double k = height / kHalfTurn;
    if (k <= 0.0) return 0;
    return static_cast<int>(roundHalfEven(std::fabs(std::sin(y / k)) * kGradientPeak));
}

Rgb dialogRowColour(int y, double height) {
    int v = gradientLevel(y, height);
    return {static_cast<uint8_t>(v), static_cast<uint8_t>(v), static_cast<uint8_t>(v + kBlueLift)};
}

Rgb panelRowColour(int y, double height) {
    auto v = static_cast<uint8_t>(gradientLevel(y, height) + kPanelLift);
    return {v, v, v};
}

Point dialogPlacement(int screenWidth, int screenHeight, int windowWidth, int windowHeight) {
    // The arithmetic runs in twips with truncating division, as the window toolkit places forms.
    int left = (screenWidth - windowWidth) * kTwipsPerPixel / 2;
    int top = (screenHeight - windowHeight) * kTwipsPerPixel / 3;
    return {left / kTwipsPerPixel, top / kTwipsPerPixel};
}

}  // namespace lumivane
