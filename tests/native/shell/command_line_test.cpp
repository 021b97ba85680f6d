// The screensaver command lines: what each one asks the shell to do.
#include <gtest/gtest.h>

#include "shell/startup/settings.h"

namespace {

// Mode of a full command line as Windows passes it, program name included.
StartMode modeOf(const std::wstring& commandLine) { return startMode(argumentText(commandLine)); }

TEST(CommandLine, RunModesAndPointer) {
    EXPECT_EQ(modeOf(L"Lumivane.scr /S"), StartMode::RunHidePointer);
    EXPECT_EQ(modeOf(L"Lumivane.scr /s"), StartMode::RunHidePointer);
    EXPECT_EQ(modeOf(L"Lumivane.scr -s"), StartMode::RunHidePointer);
    EXPECT_EQ(modeOf(L"\"C:\\Program Files\\Lumi vane\\Lumivane.scr\" /s"), StartMode::RunHidePointer);
    EXPECT_EQ(modeOf(L"Lumivane.scr"), StartMode::RunShowPointer);
    EXPECT_EQ(modeOf(L"\"C:\\x y\\Lumivane.scr\"   "), StartMode::RunShowPointer) << "blanks behind the name are no argument";
    EXPECT_EQ(modeOf(L"\"C:\\x y\\Lumivane.scr\""), StartMode::RunShowPointer);
}

TEST(CommandLine, SettingsPreviewAndEnd) {
    EXPECT_EQ(modeOf(L"Lumivane.scr /c:1234"), StartMode::Settings);
    EXPECT_EQ(modeOf(L"Lumivane.scr /C"), StartMode::Settings);
    EXPECT_EQ(modeOf(L"Lumivane.scr /p 1234"), StartMode::Preview);
    EXPECT_EQ(modeOf(L"Lumivane.scr s"), StartMode::End);
    EXPECT_EQ(modeOf(L"Lumivane.scr /a"), StartMode::End);
    EXPECT_EQ(modeOf(L"Lumivane.scr xS"), StartMode::RunHidePointer) << "the first character is never read";
}

TEST(CommandLine, ModeLetterIsTheUpperCasedSecondCharacter) {
    EXPECT_EQ(modeLetter(L"/s"), L'S');
    EXPECT_EQ(modeLetter(L"-c:99"), L'C');
    EXPECT_EQ(modeLetter(L"s"), 0);
    EXPECT_EQ(modeLetter(L""), 0);
}

TEST(CommandLine, PreviewHandleFromTheFourthCharacter) {
    EXPECT_EQ(previewHandle(L"/p 1234"), 1234);
    EXPECT_EQ(previewHandle(L"/p:1234"), 1234);
    EXPECT_EQ(previewHandle(L"/P   77abc"), 77) << "blanks skipped, reading stops at the first non-digit";
    EXPECT_EQ(previewHandle(L"/p"), 0);
    EXPECT_EQ(previewHandle(L"/p "), 0);
    EXPECT_EQ(previewHandle(L"/p:x"), 0);
    EXPECT_EQ(previewHandle(L"/p 12.6"), 13) << "rounded to a whole handle";
    EXPECT_EQ(previewHandle(L"/p 4294967295"), -1) << "an unsigned spelling keeps the handle's 32 bits";
    EXPECT_EQ(previewHandle(L"/p 99999999999"), 0) << "beyond 32 bits is no handle";
}

}  // namespace
