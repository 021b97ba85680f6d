// The button's stored properties: defaults, what is left out when storing, and round trips.
#include "shell/controls/command_properties.h"

#include <gtest/gtest.h>

using namespace lumivane;

TEST(CommandProperties, EmptyStorageGivesTheDefaults) {
    CommandProperties p = readCommandProperties({});
    EXPECT_TRUE(p.enabled);
    EXPECT_EQ(p.caption, "Command1");
    EXPECT_EQ(p.firstRun, 1);
    EXPECT_EQ(p.fontColour, 0u);
    EXPECT_EQ(p.visible(), 255);
}

TEST(CommandProperties, CaptionCommandIsNotStoredAndComesBackAsCommand1) {
    CommandProperties p;
    p.caption = "Command";
    PropertyBag bag = writeCommandProperties(p);
    EXPECT_EQ(bag.count("Caption"), 0u);
    EXPECT_EQ(readCommandProperties(bag).caption, "Command1");
    // Any other caption, the read default included, survives the trip.
    for (const char* caption : {"Command1", "設定", ""}) {
        p.caption = caption;
        EXPECT_EQ(readCommandProperties(writeCommandProperties(p)).caption, caption);
    }
}

TEST(CommandProperties, OnlyValuesDifferentFromTheirDefaultsAreStored) {
    CommandProperties p;
    p.caption = "Command";
    EXPECT_TRUE(writeCommandProperties(p).empty());
    p.enabled = false;
    p.fontColour = 0x00FF8040;
    p.setVisible(0);
    p.firstRun = 0;
    PropertyBag bag = writeCommandProperties(p);
    EXPECT_EQ(bag.size(), 4u);
    CommandProperties back = readCommandProperties(bag);
    EXPECT_FALSE(back.enabled);
    EXPECT_EQ(back.fontColour, 0x00FF8040u);
    EXPECT_EQ(back.visible(), 0);
    EXPECT_EQ(back.firstRun, 0);
}

TEST(CommandProperties, VisibleReadsAs255Or0) {
    CommandProperties p;
    for (int value : {1, 7, 128, 255}) {
        p.setVisible(static_cast<uint8_t>(value));
        EXPECT_EQ(p.visible(), 255) << value;
        p.setVisible(0);
        EXPECT_EQ(p.visible(), 0);
    }
}

TEST(CommandProperties, UnusableStoredValuesKeepTheirDefaults) {
    PropertyBag bag{{"Visible", "2"}, {"FirstRun", "300"}, {"Enabled", "yes"}, {"FontColour", "-5"}};
    CommandProperties p = readCommandProperties(bag);
    EXPECT_EQ(p.visible(), 255);
    EXPECT_EQ(p.firstRun, 1);
    EXPECT_TRUE(p.enabled);
    EXPECT_EQ(p.fontColour, 0u);
}
