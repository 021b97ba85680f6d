// Settings dialog rules: the track box's number text, the gradient rows, placement and twips.
#include "shell/dialog/dialog_rules.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace lumivane;

TEST(TrackText, RoundsHalvesToEvenAndReadsPlainNumbers) {
    struct Case { const char* text; int value; };
    for (Case c : {Case{"2.5", 2}, Case{"3.5", 4}, Case{"0.5", 0}, Case{"1.5", 2}, Case{"-2.5", -2},
                   Case{"2.51", 3}, Case{"7", 7}, Case{" 12 ", 12}, Case{"45", 45}, Case{"30", 30},
                   Case{"-3", -3}, Case{"1e1", 10}}) {
        TrackText t = trackFromText(c.text);
        EXPECT_TRUE(t.numeric) << c.text;
        EXPECT_FALSE(t.clamped) << c.text;
        EXPECT_EQ(t.value, c.value) << c.text;
    }
}

TEST(TrackText, NonNumericTextGivesZero) {
    for (const char* text : {"", " ", "abc", "1a", "--1", ".", "1e", "3 4", "１２"}) {
        TrackText t = trackFromText(text);
        EXPECT_FALSE(t.numeric) << text;
        EXPECT_EQ(t.value, 0) << text;
    }
}

TEST(TrackText, NumbersBeyondSixteenBitsAreClamped) {
    EXPECT_EQ(trackFromText("32767").value, 32767);
    EXPECT_FALSE(trackFromText("32767").clamped);
    EXPECT_EQ(trackFromText("-32768").value, -32768);
    TrackText high = trackFromText("40000");
    EXPECT_TRUE(high.clamped);
    EXPECT_EQ(high.value, 32767);
    TrackText low = trackFromText("-99999999999999999999");
    EXPECT_TRUE(low.clamped);
    EXPECT_EQ(low.value, -32768);
    EXPECT_EQ(trackFromText("32767.5").value, 32767);
    EXPECT_EQ(trackFromText("1e400").value, 32767);
}

TEST(HashHashFormat, ZeroIsEmptyOthersAreDigits) {
    EXPECT_EQ(formatHashHash(0), "");
    EXPECT_EQ(formatHashHash(1), "1");
    EXPECT_EQ(formatHashHash(30), "30");
    EXPECT_EQ(formatHashHash(45), "45");
    EXPECT_EQ(formatHashHash(-7), "-7");
}

TEST(Gradient, DialogRowsRunFromDarkBlueToPaleLavenderAndBack) {
    const double h = 252;
    Rgb first = dialogRowColour(0, h);
    EXPECT_EQ(first.r, 0);
    EXPECT_EQ(first.b, 30);
    // Middle row: y / k = 126 * 3.142 / 252 = 1.571, just under the peak of the sine.
    Rgb middle = dialogRowColour(126, h);
    EXPECT_EQ(middle.r, 220);
    EXPECT_EQ(middle.g, 220);
    EXPECT_EQ(middle.b, 250);
    // Row 10: |sin(10 * 3.142 / 252)| * 220 = 27.35...
    EXPECT_EQ(dialogRowColour(10, h).r, 27);
    Rgb last = dialogRowColour(251, h);
    EXPECT_LT(last.r, 5);
}

TEST(Gradient, PanelRowsAreGreyAndLifted) {
    const double h = 169;
    Rgb first = panelRowColour(0, h);
    EXPECT_EQ(first.r, 30);
    EXPECT_EQ(first.g, 30);
    EXPECT_EQ(first.b, 30);
    Rgb middle = panelRowColour(85, h);
    EXPECT_EQ(middle.r, 250);
    EXPECT_EQ(middle.b, 250);
}

TEST(Gradient, LevelsRoundHalvesToEven) {
    EXPECT_EQ(roundHalfEven(0.5), 0.0);
    EXPECT_EQ(roundHalfEven(1.5), 2.0);
    EXPECT_EQ(roundHalfEven(110.5), 110.0);
    EXPECT_EQ(roundHalfEven(111.5), 112.0);
    EXPECT_EQ(roundHalfEven(111.4999), 111.0);
    EXPECT_EQ(roundHalfEven(-2.5), -2.0);
    // Every row of the dialog lies within half a step of the exact sine.
    for (int y = 0; y <= 252; ++y) {
        double exact = std::fabs(std::sin(y / (252 / 3.142))) * 220.0;
        EXPECT_LE(std::fabs(gradientLevel(y, 252) - exact), 0.5) << y;
    }
}

TEST(Placement, CentredAcrossOneThirdOfTheFreeHeightAbove) {
    Point p = dialogPlacement(1024, 768, 485, 278);
    EXPECT_EQ(p.x, 269);   // (1024 - 485) / 2 = 269.5, cut
    EXPECT_EQ(p.y, 163);   // (768 - 278) / 3 = 163.3, cut
    Point q = dialogPlacement(800, 600, 500, 300);
    EXPECT_EQ(q.x, 150);
    EXPECT_EQ(q.y, 100);
}

TEST(Twips, ConvertAtFifteenPerPixel) {
    EXPECT_EQ(twipsToPixels(7185), 479);
    EXPECT_EQ(twipsToPixels(3780), 252);
    EXPECT_EQ(twipsToPixels(195), 13);
    EXPECT_EQ(twipsToPixels(0), 0);
}
