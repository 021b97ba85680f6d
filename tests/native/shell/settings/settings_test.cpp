// The shell's rules for stored numbers.
#include <gtest/gtest.h>

#include <utility>

#include "shell/settings/settings.h"

namespace {

TEST(SettingNumber, ReadFlooredOrLeftUnchanged) {
    const std::pair<const char*, int> numbers[] = {{"1.7", 1},   {"1.9", 1}, {"-1.5", -2},        {"-0.5", -1},
                                                   {" 2", 2},    {"2", 2},   {"\t2  ", 2},        {"2e1", 20},
                                                   {"3", 3},     {"-1", -1}, {"32767.9", 32767},  {"-32768", -32768},
                                                   {".5", 0},    {"-.5", -1}};
    for (const auto& [text, expected] : numbers) {
        int16_t value = 7;
        EXPECT_TRUE(parseSettingNumber(text, value)) << text;
        EXPECT_EQ(value, expected) << text;
    }
    for (const char* text : {"abc", "40000", "32768", "-32768.5", "1x", "", " ", "-", ".", "0x10", "inf", "1e999", "1e", "2E+"}) {
        int16_t value = 7;
        EXPECT_FALSE(parseSettingNumber(text, value)) << text;
        EXPECT_EQ(value, 7) << text;
    }
}

TEST(SettingNumber, WrittenWithOneBlankBeforeANonNegativeNumber) {
    EXPECT_EQ(formatSettingNumber(2), " 2");
    EXPECT_EQ(formatSettingNumber(0), " 0");
    EXPECT_EQ(formatSettingNumber(-1), "-1");
}

}  // namespace
