// Settings dialog rules: the track box's number text, the gradient rows and the placement.
#include "shell/dialog/dialog_rules.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(TrackText, RoundsHalvesToEvenGivesZeroForTextAndClampsToSixteenBits) {
    struct Case { const char* text; int value; bool numeric; bool clamped; };
    for (Case c : {Case{"2.5", 2, true, false}, Case{"3.5", 4, true, false}, Case{"-2.5", -2, true, false},
                   Case{"2.51", 3, true, false}, Case{" 12 ", 12, true, false}, Case{"1e1", 10, true, false},
                   Case{"", 0, false, false}, Case{"abc", 0, false, false}, Case{"1a", 0, false, false},
                   Case{"--1", 0, false, false}, Case{"１２", 0, false, false},
                   Case{"32767", 32767, true, false}, Case{"-32768", -32768, true, false},
                   Case{"40000", 32767, true, true}, Case{"32767.5", 32767, true, true},
                   Case{"-99999999999999999999", -32768, true, true}, Case{"1e400", 32767, true, true}}) {
        TrackText t = trackFromText(c.text);
        EXPECT_EQ(t.value, c.value) << c.text;
        EXPECT_EQ(t.numeric, c.numeric) << c.text;
        EXPECT_EQ(t.clamped, c.clamped) << c.text;
    }
}

TEST(HashHashFormat, ZeroIsEmptyOthersAreDigits) {
    EXPECT_EQ(formatHashHash(0), "");
    EXPECT_EQ(formatHashHash(30), "30");
    EXPECT_EQ(formatHashHash(-7), "-7");
}

TEST(Gradient, LevelsFollowTheSineRoundedHalfToEven) {
    struct Case { double x, rounded; };
    for (Case c : {Case{0.5, 0}, Case{1.5, 2}, Case{110.5, 110}, Case{111.5, 112}, Case{111.4999, 111}, Case{-2.5, -2}}) {
        EXPECT_EQ(roundHalfEven(c.x), c.rounded) << c.x;
    }
    EXPECT_EQ(gradientLevel(10, 252), 27);  // |sin(10 * 3.142 / 252)| * 220 = 27.35
    for (int y = 0; y <= 252; ++y) {
        double exact = std::fabs(std::sin(y / (252 / 3.142))) * 220.0;
        EXPECT_LE(std::fabs(gradientLevel(y, 252) - exact), 0.5) << y;
    }
}

TEST(Gradient, DialogIsBlueLiftedAndPanelGreyLiftedFromFirstToMiddleRow) {
    struct Case { Rgb colour; Rgb expected; };
    for (Case c : {Case{dialogRowColour(0, 252), {0, 0, 30}}, Case{dialogRowColour(126, 252), {220, 220, 250}},
                   Case{panelRowColour(0, 169), {30, 30, 30}}, Case{panelRowColour(85, 169), {250, 250, 250}}}) {
        EXPECT_EQ(c.colour.r, c.expected.r);
        EXPECT_EQ(c.colour.g, c.expected.g);
        EXPECT_EQ(c.colour.b, c.expected.b);
    }
}

TEST(Placement, CentredAcrossOneThirdOfTheFreeHeightAboveCut) {
    Point p = dialogPlacement(1024, 768, 485, 278);
    EXPECT_EQ(p.x, 269);  // 269.5
    EXPECT_EQ(p.y, 163);  // 163.3
}
