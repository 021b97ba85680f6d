#include "shell/dialog/dialog_rules.h"

#include <gtest/gtest.h>

// Colours compare field by field, so a failure names the channel that is wrong.
static void expectColour(const Rgb& c, int r, int g, int b, int row) {
    EXPECT_EQ(int{c.r}, r) << "row " << row;
    EXPECT_EQ(int{c.g}, g) << "row " << row;
    EXPECT_EQ(int{c.b}, b) << "row " << row;
}

TEST(DialogRules, TrackTextGradientRowsPlacementAndPixels) {
    // The track box: fractions to the nearest, halves to even, text to 0, numbers beyond 16 bits clamped.
    const struct { const char* text; int value; bool numeric, clamped; } tracks[] = {
        {"2.5", 2, true, false}, {"3.5", 4, true, false}, {"-2.5", -2, true, false}, {"2.51", 3, true, false}, {" 1e1 ", 10, true, false},
        {"1a", 0, false, false}, {"40000", 32767, true, true}, {"-99999999999999999999", -32768, true, true},
    };
    for (const auto& c : tracks) {
        const TrackText t = trackFromText(c.text);
        EXPECT_EQ(t.value, c.value) << c.text;
        EXPECT_EQ(t.numeric, c.numeric) << c.text;
        EXPECT_EQ(t.clamped, c.clamped) << c.text;
    }
    EXPECT_EQ(trackNumberText(0), "");
    EXPECT_EQ(trackNumberText(30), "30");
    // The background: dark blue at the top and bottom, light in the middle, half a sine wave over the height.
    const struct { int y; int level; } dialogRows[] = {{0, 0}, {63, 156}, {126, 220}, {189, 156}, {252, 0}};
    for (const auto& row : dialogRows) expectColour(dialogRowColour(row.y, 252), row.level, row.level, row.level + 30, row.y);
    const struct { int y; int level; } panelRows[] = {{0, 30}, {42, 185}, {85, 250}, {169, 30}};
    for (const auto& row : panelRows) expectColour(panelRowColour(row.y, 169), row.level, row.level, row.level, row.y);
    for (int y = 1; y <= 252; ++y) {
        const int step = dialogRowColour(y, 252).r - dialogRowColour(y - 1, 252).r;
        EXPECT_TRUE(y <= 126 ? step >= 0 && step <= 5 : step <= 0 && step >= -5) << "a smooth rise to the middle and fall, row " << y;
    }
    const Point p = dialogPlacement(1024, 768, 485, 278);  // centred across, a third of the free height above
    EXPECT_EQ(p.x, 269);
    EXPECT_EQ(p.y, 163);
    EXPECT_EQ(twipsToPixels(22), 1);
    EXPECT_EQ(twipsToPixels(23), 2);
}
