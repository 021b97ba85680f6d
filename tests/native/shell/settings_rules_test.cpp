// The shell's rules for stored numbers and for the screensaver command lines.
#include <gtest/gtest.h>

#include <utility>

#include "shell/startup/settings.h"

namespace {

TEST(SettingNumber, ReadFlooredOrLeftUnchanged) {
    const std::pair<const char*, int> numbers[] = {{"1.7", 1},   {"1.9", 1}, {"-1.5", -2},        {"-0.5", -1},
                                                   {" 2", 2},    {"2", 2},   {"\t2  ", 2},        {"2e1", 20},
                                                   {"3", 3},     {"-1", -1}, {"32767.9", 32767},  {"-32768", -32768}};
    for (const auto& [text, expected] : numbers) {
        int16_t value = 7;
        EXPECT_TRUE(parseSettingNumber(text, value)) << text;
        EXPECT_EQ(value, expected) << text;
    }
    for (const char* text : {"abc", "40000", "32768", "-32768.5", "1x", "", " ", "-", ".", "0x10", "inf", "1e999"}) {
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

TEST(CommandLine, ModeOfEachCommandLine) {
    const std::pair<const wchar_t*, StartMode> lines[] = {
        {L"Lumivane.scr /S", StartMode::RunHidePointer},
        {L"Lumivane.scr /s", StartMode::RunHidePointer},
        {L"Lumivane.scr -s", StartMode::RunHidePointer},
        {L"Lumivane.scr xS", StartMode::RunHidePointer},  // the first character is never read
        {L"\"C:\\Program Files\\Lumi vane\\Lumivane.scr\" /s", StartMode::RunHidePointer},
        {L"Lumivane.scr", StartMode::RunShowPointer},
        {L"\"C:\\x y\\Lumivane.scr\"   ", StartMode::RunShowPointer},
        {L"Lumivane.scr /c:1234", StartMode::Settings},
        {L"Lumivane.scr /C", StartMode::Settings},
        {L"Lumivane.scr /p 1234", StartMode::Preview},
        {L"Lumivane.scr s", StartMode::End},
        {L"Lumivane.scr /a", StartMode::End},
    };
    for (const auto& [line, mode] : lines) EXPECT_EQ(startMode(argumentText(line)), mode) << line;
}

TEST(CommandLine, PreviewHandleFromTheFourthCharacter) {
    const std::pair<const wchar_t*, int32_t> handles[] = {
        {L"/p 1234", 1234}, {L"/p:1234", 1234}, {L"/P   77abc", 77}, {L"/p", 0},
        {L"/p ", 0},        {L"/p:x", 0},       {L"/p 12.6", 13},    {L"/p 4294967295", -1},  // a handle's 32 bits
        {L"/p 99999999999", 0},
    };
    for (const auto& [text, handle] : handles) EXPECT_EQ(previewHandle(text), handle) << text;
}

}  // namespace
