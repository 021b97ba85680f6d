// The screensaver command lines.
#include "shell/startup/command_line.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

TEST(CommandLine, ModeOfEachCommandLineAndWhetherItTakesTheSingleInstanceLock) {
    struct Line { const wchar_t* text; StartMode mode; bool lock; };
    const Line lines[] = {
        {L"Lumivane.scr /S", StartMode::RunHidePointer, true},
        {L"Lumivane.scr /s", StartMode::RunHidePointer, true},
        {L"Lumivane.scr -s", StartMode::RunHidePointer, true},
        {L"Lumivane.scr xS", StartMode::RunHidePointer, true},  // the first character is never read
        {L"\"C:\\Program Files\\Lumi vane\\Lumivane.scr\" /s", StartMode::RunHidePointer, true},
        {L"Lumivane.scr", StartMode::RunShowPointer, true},
        {L"\"C:\\x y\\Lumivane.scr\"   ", StartMode::RunShowPointer, true},
        {L"Lumivane.scr /c:1234", StartMode::Settings, true},
        {L"Lumivane.scr /C", StartMode::Settings, true},
        {L"Lumivane.scr /p 1234", StartMode::Preview, false},
        {L"Lumivane.scr s", StartMode::End, false},
        {L"Lumivane.scr /a", StartMode::End, false},
    };
    for (const Line& line : lines) {
        const StartMode mode = startMode(argumentText(line.text));
        EXPECT_EQ(mode, line.mode) << line.text;
        EXPECT_EQ(holdsSingleInstanceLock(mode), line.lock) << line.text;
    }
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
