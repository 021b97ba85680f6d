#include "shell/dialog/dialog_rules.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(DialogRules, TrackTextGradientRowsPlacementAndPixels) {
    // The track box: fractions to the nearest, halves to even, text to 0, numbers beyond 16 bits clamped.
    const struct { const char* text; int value; bool numeric, clamped; } tracks[] = {
        {"2.5", 2, true, false}, {"3.5", 4, true, false}, {"-2.5", -2, true, false}, {"2.51", 3, true, false}, {" 1e1 ", 10, true, false},
        {"1a", 0, false, false}, {"40000", 32767, true, true}, {"-99999999999999999999", -32768, true, true},
    };
    for (const auto& c : tracks) {
        const TrackText t = trackFromText(c.text);
        EXPECT_TRUE(t.value == c.value && t.numeric == c.numeric && t.clamped == c.clamped) << c.text << ": " << t.value;
    }
    EXPECT_TRUE(trackNumberText(0) == "" && trackNumberText(30) == "30");
    for (int y = 0; y <= 252; ++y) {
        EXPECT_LE(std::fabs(dialogRowColour(y, 252).r - std::fabs(std::sin(y / (252 / 3.142))) * 220.0), 0.5) << y;
    }
    const struct { Rgb colour, expected; } rows[] = {
        {dialogRowColour(0, 252), {0, 0, 30}}, {dialogRowColour(126, 252), {220, 220, 250}}, {panelRowColour(85, 169), {250, 250, 250}}};
    for (const auto& [c, e] : rows) EXPECT_TRUE(c.r == e.r && c.g == e.g && c.b == e.b) << int(c.r) << " " << int(c.g) << " " << int(c.b);
    const Point p = dialogPlacement(1024, 768, 485, 278);  // centred across, a third of the free height above
    EXPECT_TRUE(p.x == 269 && p.y == 163) << p.x << "," << p.y;
    EXPECT_TRUE(twipsToPixels(22) == 1 && twipsToPixels(23) == 2);
}
