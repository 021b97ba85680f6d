// Settings dialog rules: number texts of the track box, gradient rows, placement, twips.
#pragma once

#include <cstdint>
#include <string>

constexpr int TwipsPerPixel = 15;  // at 96 dpi

// Nearest integer, halves to the even neighbour, whatever the floating-point mode.
double roundHalfEven(double x);

// Twips to pixels at 96 dpi, to the nearest pixel.
int twipsToPixels(int twips);

// The "##" pattern: decimal digits without leading zeros; 0 gives an empty text.
std::string trackNumberText(int value);

// Result of reading the track box's text when saving.
struct TrackText {
    int16_t value = 0;     // the number to store
    bool numeric = false;  // false: text was not a number, value is 0
    bool clamped = false;  // true: the number lay outside 16 bits and was clamped
};

// The track box's text as a 16-bit track number: fractions round to the nearest integer,
// halves to even; non-numeric text gives 0; numbers beyond 16 bits are clamped to the range.
TrackText trackFromText(const std::string& text);

// v = |sin(y / k)| * 220 with k = height / 3.142, rounded half to even.
int gradientLevel(int y, double height);

struct Rgb {
    uint8_t r, g, b;
};
// Colour of row y of the dialog's own background.
Rgb dialogRowColour(int y, double height);
// Colour of row y of the music panel.
Rgb panelRowColour(int y, double height);

struct Point {
    int x, y;
};
// Top-left corner, in pixels, of a window of the given outer size: centred across,
// with one third of the free height above it.
Point dialogPlacement(int screenWidth, int screenHeight, int windowWidth, int windowHeight);
