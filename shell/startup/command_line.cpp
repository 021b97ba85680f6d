// The screensaver command-line table.
#include "shell/startup/command_line.h"

#include <cmath>
#include <cstdlib>
#include <cwctype>

#include "shell/settings/number_text.h"

namespace {
constexpr double Int32Span = 4294967296.0;  // 2^32: handle numbers above 2^31 are unsigned spellings
constexpr double Int32Max = 2147483647.0;
constexpr size_t ModeLetterIndex = 1;       // the first character (slash, hyphen, anything) is never read
constexpr size_t PreviewNumberIndex = 3;    // "/p" and the blank or colon behind it are skipped
constexpr size_t OwnerColonIndex = 2;       // "/c:" carries the owner's handle behind its colon

// Whether c separates the command line's words.
bool isBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// The text with every character outside ASCII replaced, so that the number reader can see it.
std::string narrowed(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}
}  // namespace

// Skips the program name (quoted or not) and the blanks behind it.
std::wstring argumentText(const std::wstring& commandLine) {
    size_t i = 0;
    if (!commandLine.empty() && commandLine[0] == L'"') {
        const size_t close = commandLine.find(L'"', 1);
        i = close == std::wstring::npos ? commandLine.size() : close + 1;
    }
    while (i < commandLine.size() && !isBlank(commandLine[i])) ++i;
    while (i < commandLine.size() && isBlank(commandLine[i])) ++i;
    return commandLine.substr(i);
}

// The mode letter decides the mode; only its upper-case form matters.
wchar_t modeLetter(const std::wstring& argumentText) {
    if (argumentText.size() <= ModeLetterIndex) return 0;
    return static_cast<wchar_t>(std::towupper(static_cast<wint_t>(argumentText[ModeLetterIndex])));
}

// Maps the argument text onto the screensaver command-line table.
StartMode startMode(const std::wstring& argumentText) {
    if (argumentText.empty()) return StartMode::RunShowPointer;
    switch (modeLetter(argumentText)) {
        case L'P': return StartMode::Preview;
        case L'C': return StartMode::Settings;
        case L'S': return StartMode::RunHidePointer;
        default: return StartMode::End;
    }
}

// Two previews may stand side by side, and neither keeps out a saver or the settings.
bool holdsSingleInstanceLock(StartMode mode) {
    return mode == StartMode::Settings || mode == StartMode::RunHidePointer || mode == StartMode::RunShowPointer;
}

// Reads the host window number; an unsigned spelling of a handle keeps its 32 bits.
int32_t previewHandle(const std::wstring& argumentText) {
    if (argumentText.size() <= PreviewNumberIndex) return 0;
    size_t i = PreviewNumberIndex;
    while (i < argumentText.size() && isBlank(argumentText[i])) ++i;
    const std::string text = narrowed(argumentText);
    const size_t length = decimalLength(text, i);
    if (length == 0) return 0;
    double number = std::nearbyint(std::strtod(text.substr(i, length).c_str(), nullptr));
    if (number > Int32Max && number < Int32Span) number -= Int32Span;
    if (!(number >= -Int32Max - 1.0 && number <= Int32Max)) return 0;
    return static_cast<int32_t>(number);
}

// Only the colon form carries a window; a settings command line of another kind has no owner.
int32_t settingsOwnerHandle(const std::wstring& argumentText) {
    if (startMode(argumentText) != StartMode::Settings || argumentText.size() <= OwnerColonIndex ||
        argumentText[OwnerColonIndex] != L':')
        return 0;
    return previewHandle(argumentText);
}
