// What each screensaver command line asks the shell to do. No Windows here.
#pragma once

#include <cstdint>
#include <string>

// What a command line asks the shell to do.
enum class StartMode {
    Preview,          // "P": preview inside the given window
    Settings,         // "C": settings dialog
    RunHidePointer,   // "S": run the saver with the pointer hidden
    RunShowPointer,   // empty argument text: run the saver, pointer left alone
    End,              // anything else: end silently (after the settings load and renderer check)
};

// Argument text of a full command line: the program name (quoted or not) and the blanks after it removed.
std::wstring argumentText(const std::wstring& commandLine);

// Second character of the upper-cased argument text; 0 when the text is shorter than two characters.
wchar_t modeLetter(const std::wstring& argumentText);

// What the argument text asks for.
StartMode startMode(const std::wstring& argumentText);

// True for the modes that hold the shell's single-instance lock: the saver runs and the settings
// dialog. A preview never takes it and is never kept out by it; other command lines just end.
bool holdsSingleInstanceLock(StartMode mode);

// Preview host handle: the decimal number from the fourth character on (leading blanks skipped,
// rounded to 32-bit signed); 0 when there is none.
int32_t previewHandle(const std::wstring& argumentText);

// Owner of the settings dialog: the handle number behind "/c:" (Windows' screensaver settings pass
// their window so), read like the preview host handle; 0 for "/c" alone and any other form.
int32_t settingsOwnerHandle(const std::wstring& argumentText);
