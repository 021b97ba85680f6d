// The screensaver command lines.
#include "shell/startup/command_line.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

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
