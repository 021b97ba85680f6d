// The button's stored properties: the caption left out when storing and the Visible reading.
#include "shell/controls/command_properties.h"

#include <gtest/gtest.h>

using namespace lumivane;

TEST(CommandProperties, CaptionCommandIsNotStoredAndComesBackAsCommand1) {
    CommandProperties p;
    p.caption = "Command";
    EXPECT_TRUE(writeCommandProperties(p).empty());
    EXPECT_EQ(readCommandProperties({}).caption, "Command1");
    for (const char* caption : {"Command1", "設定", ""}) {
        p.caption = caption;
        EXPECT_EQ(readCommandProperties(writeCommandProperties(p)).caption, caption);
    }
}

TEST(CommandProperties, VisibleReadsAs255Or0AndSurvivesStoring) {
    CommandProperties p;
    for (int value : {1, 7, 255, 0}) {
        p.setVisible(static_cast<uint8_t>(value));
        EXPECT_EQ(readCommandProperties(writeCommandProperties(p)).visible(), value ? 255 : 0) << value;
    }
}
