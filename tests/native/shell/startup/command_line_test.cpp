#include "shell/startup/command_line.h"

#include <gtest/gtest.h>

TEST(CommandLine, ModeLockPreviewHandleAndSettingsOwnerOfEachCommandLine) {
    const struct { const wchar_t* text; StartMode mode; bool lock; } lines[] = {
        {L"Lumivane.scr /s", StartMode::RunHidePointer, true},
        {L"Lumivane.scr xS", StartMode::RunHidePointer, true},  // the first character is never read
        {L"\"C:\\Program Files\\Lumi vane\\Lumivane.scr\"  /s", StartMode::RunHidePointer, true},
        {L"\"C:\\x y\\Lumivane.scr\"   ", StartMode::RunShowPointer, true},
        {L"Lumivane.scr /c:1234", StartMode::Settings, true},
        {L"Lumivane.scr /p 1234", StartMode::Preview, false},
        {L"Lumivane.scr /a", StartMode::End, false},
    };
    for (const auto& [text, mode, lock] : lines) {
        const StartMode got = startMode(argumentText(text));
        EXPECT_TRUE(got == mode && holdsSingleInstanceLock(got) == lock) << text;
    }
    const std::pair<const wchar_t*, int32_t> handles[] = {{L"/p 1234", 1234}, {L"/p:1234", 1234}, {L"/P   77abc", 77}, {L"/p", 0},
        {L"/p:x", 0}, {L"/p 12.6", 13}, {L"/p 4294967295", -1} /* a handle's 32 bits */, {L"/p 99999999999", 0}};
    for (const auto& [text, handle] : handles) EXPECT_EQ(previewHandle(text), handle) << text;
    const std::pair<const wchar_t*, int32_t> owners[] = {{L"/c:1234", 1234}, {L"/C:4294967295", -1}, {L"/c", 0},
        {L"/c:", 0}, {L"/c 1234", 0}, {L"/c:x", 0}, {L"/p:1234", 0}, {L"/s:1234", 0}};
    for (const auto& [text, handle] : owners) EXPECT_EQ(settingsOwnerHandle(text), handle) << text;
}
