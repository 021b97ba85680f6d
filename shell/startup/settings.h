// The shell's settings and command-line rules: the three stored values, their number format,
// the INI key names and what each screensaver command line asks for. No Windows here.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// The three stored settings; the program keeps one process-wide copy (g_settings).
struct ShellSettings {
    int16_t BGM_Kind = 0;         // 0 no music, 1 audio CD, 2 MP3 or WAV file; others mean no music
    int16_t BGM_RepeatTrack = 0;  // CD track to repeat, 0 none
    std::string BGM_File;         // full path in the system ANSI code page, empty for none
};

// Music sources stored in BGM_Kind.
constexpr int16_t BgmKindNone = 0;
constexpr int16_t BgmKindCd = 1;
constexpr int16_t BgmKindFile = 2;

// Section name and the three key names, as the exact Shift-JIS bytes stored files hold
// whatever the system's code page is.
extern const char IniSection[];    // "Section"
extern const char IniKeyKind[];    // "BGM区分"   = 42 47 4D 8B E6 95 AA
extern const char IniKeyRepeat[];  // "BGMﾘﾋﾟｰﾄ" = 42 47 4D D8 CB DF B0 C4
extern const char IniKeyFile[];    // "BGMﾌｧｲﾙ"  = 42 47 4D CC A7 B2 D9

// Reads a stored number: blanks ignored, decimal (fraction and exponent allowed), floored toward
// minus infinity. Not a number or outside the 16-bit range: false, and `value` is left as it was.
bool parseSettingNumber(const std::string& text, int16_t& value);

// Text a number is stored as: one blank before a non-negative number (" 2"), "-1" otherwise.
std::string formatSettingNumber(int value);

// Path the file test opens: one trailing backslash removed.
std::string fileTestPath(const std::string& path);

// Fills `settings` from the three stored texts as the load rule says; `fileExists` tests the music file.
void applyStoredSettings(ShellSettings& settings, const std::string& kindText,
                         const std::string& repeatText, const std::string& fileText,
                         const std::function<bool(const std::string&)>& fileExists);

// ---- Command line ----

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

// Preview host handle: the decimal number from the fourth character on (leading blanks skipped,
// rounded to 32-bit signed); 0 when there is none.
int32_t previewHandle(const std::wstring& argumentText);
