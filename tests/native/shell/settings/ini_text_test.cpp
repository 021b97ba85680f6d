#include "shell/settings/ini_text.h"

#include <gtest/gtest.h>

namespace {
const std::string Key = "BGM\x8B\xE6\x95\xAA";  // Shift-JIS bytes, whatever the code page
}

TEST(IniText, ReadsTheFirstKeyOfTheFirstSectionWhateverTheBytesOfItsName) {
    const struct { std::string text, section, key, want; } cases[] = {
        {"[Section]\r\n" + Key + "= 2\r\n", "Section", Key, "2"},
        {"[section]\nscreens\t=\t 1 \n", "Section", "Screens", "1"},    // LF only, case and blanks
        {"[ Section ]\r\nFile=\"C:\\a b.wav\"\r\n", "Section", "File", "C:\\a b.wav"},
        {"[Section]\r\nFile='x\"\r\n", "Section", "File", "'x\""},        // quotes that do not match stay
        {"[Other]\r\nScreens=3\r\n[Section]\r\nScreens=2\r\nScreens=1\r\n", "Section", "Screens", "2"},
        {"[Section]\r\nA=1\r\n[Section]\r\nScreens=2\r\n", "Section", "Screens", ""},  // only the first section
        {"Screens=1\r\n[Section]\r\n", "Section", "Screens", ""},         // a key before any section
        {"[Section]\r\nScreens\r\n", "Section", "Screens", ""},           // no '='
        {"[Section]\r\nBGM\x8B\xE6\x95\xAB=1\r\n", "Section", Key, ""},   // one byte apart
        {"", "Section", "Screens", ""},
        {"[Section]\r\nScreens=1", "Section", "Screens", "1"},            // no line break at the end
    };
    for (const auto& c : cases) EXPECT_EQ(iniValue(c.text, c.section, c.key), c.want) << c.text;
}

TEST(IniText, WritesInPlaceAfterTheLastKeyOrInANewSectionAndKeepsEveryOtherByte) {
    const struct { std::string text, key, value, want; } cases[] = {
        {"", "Screens", " 1", "[Section]\r\nScreens= 1\r\n"},
        {"[Section]\r\n" + Key + "= 2\r\n", Key, " 0", "[Section]\r\n" + Key + "= 0\r\n"},
        {"; mine\n[section]\nA = 1\nscreens = 3 \n\n[B]\nX=1\n", "Screens", " 2",
         "; mine\n[section]\nA = 1\nScreens= 2\n\n[B]\nX=1\n"},
        {"[Section]\r\nA=1\r\n\r\n[B]\r\nX=1\r\n", "Screens", " 2", "[Section]\r\nA=1\r\nScreens= 2\r\n\r\n[B]\r\nX=1\r\n"},
        {"[B]\r\nX=1", "Screens", " 2", "[B]\r\nX=1\r\n[Section]\r\nScreens= 2\r\n"},
        {"[Section]\r\nA=1", "Screens", " 2", "[Section]\r\nA=1\r\nScreens= 2\r\n"},
    };
    for (const auto& c : cases) {
        const std::string written = withIniValue(c.text, "Section", c.key, c.value);
        EXPECT_EQ(written, c.want) << c.text;
        EXPECT_EQ(iniValue(written, "Section", c.key), c.value.substr(1)) << c.text;
    }
}
