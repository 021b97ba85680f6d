// Stored-value rules and command-line rules of the shell.
#include "shell/startup/settings.h"

#include <cmath>
#include <cstdlib>
#include <cwctype>

namespace {

constexpr double Int16Min = -32768.0;
constexpr double Int16Max = 32767.0;
constexpr double Int32Span = 4294967296.0;  // 2^32: handle numbers above 2^31 are unsigned spellings
constexpr double Int32Max = 2147483647.0;
constexpr size_t ModeLetterIndex = 1;       // the first character (slash, hyphen, anything) is never read
constexpr size_t PreviewNumberIndex = 3;    // "/p" and the blank or colon behind it are skipped

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlankW(wchar_t c) { return c == L' ' || c == L'\t'; }
bool isDigitW(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Length of the plain decimal number at the start of `s` ([sign] digits [.digits] [e[sign]digits]); 0 if none.
template <typename Char, typename IsDigit>
size_t decimalLength(const std::basic_string<Char>& s, size_t from, IsDigit digit) {
    size_t i = from;
    if (i < s.size() && (s[i] == Char('+') || s[i] == Char('-'))) ++i;
    size_t digits = 0;
    while (i < s.size() && digit(s[i])) { ++i; ++digits; }
    if (i < s.size() && s[i] == Char('.')) {
        ++i;
        while (i < s.size() && digit(s[i])) { ++i; ++digits; }
    }
    if (digits == 0) return 0;
    if (i < s.size() && (s[i] == Char('e') || s[i] == Char('E'))) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == Char('+') || s[j] == Char('-'))) ++j;
        size_t expDigits = 0;
        while (j < s.size() && digit(s[j])) { ++j; ++expDigits; }
        if (expDigits > 0) i = j;
    }
    return i - from;
}

std::string trimBlanks(const std::string& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin])) ++begin;
    while (end > begin && isBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

}  // namespace

const char IniSection[] = "Section";
const char IniKeyKind[] = "BGM\x8B\xE6\x95\xAA";
const char IniKeyRepeat[] = "BGM\xD8\xCB\xDF\xB0\xC4";
const char IniKeyFile[] = "BGM\xCC\xA7\xB2\xD9";

// Reads a stored number as a whole decimal text between blanks, floored, within 16 bits.
bool parseSettingNumber(const std::string& text, int16_t& value) {
    const std::string number = trimBlanks(text);
    const size_t length = decimalLength(number, 0, isDigit);
    if (length == 0 || length != number.size()) return false;
    const double floored = std::floor(std::strtod(number.c_str(), nullptr));
    if (!(floored >= Int16Min && floored <= Int16Max)) return false;
    value = static_cast<int16_t>(floored);
    return true;
}

// Formats a stored number with the sign column the settings file has always used.
std::string formatSettingNumber(int value) {
    return value < 0 ? std::to_string(value) : " " + std::to_string(value);
}

// Removes the one trailing backslash a folder-style path may carry.
std::string fileTestPath(const std::string& path) {
    if (!path.empty() && path.back() == '\\') return path.substr(0, path.size() - 1);
    return path;
}

// Applies the load rule; a music file that cannot be opened falls back to no music.
void applyStoredSettings(ShellSettings& settings, const std::string& kindText,
                         const std::string& repeatText, const std::string& fileText,
                         const std::function<bool(const std::string&)>& fileExists) {
    if (trimBlanks(kindText).empty()) settings.BGM_Kind = 0;
    else parseSettingNumber(kindText, settings.BGM_Kind);
    if (trimBlanks(repeatText).empty()) settings.BGM_RepeatTrack = 0;
    else parseSettingNumber(repeatText, settings.BGM_RepeatTrack);

    if (!fileText.empty()) {
        settings.BGM_File = fileText;
        if (fileExists(fileText)) return;
    }
    settings.BGM_File.clear();
    if (settings.BGM_Kind == BgmKindFile) settings.BGM_Kind = BgmKindNone;
}

// Skips the program name (quoted or not) and the blanks behind it.
std::wstring argumentText(const std::wstring& commandLine) {
    size_t i = 0;
    if (!commandLine.empty() && commandLine[0] == L'"') {
        const size_t close = commandLine.find(L'"', 1);
        i = close == std::wstring::npos ? commandLine.size() : close + 1;
    }
    while (i < commandLine.size() && !isBlankW(commandLine[i])) ++i;
    while (i < commandLine.size() && isBlankW(commandLine[i])) ++i;
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

// Reads the host window number; an unsigned spelling of a handle keeps its 32 bits.
int32_t previewHandle(const std::wstring& argumentText) {
    if (argumentText.size() <= PreviewNumberIndex) return 0;
    size_t i = PreviewNumberIndex;
    while (i < argumentText.size() && isBlankW(argumentText[i])) ++i;
    const size_t length = decimalLength(argumentText, i, isDigitW);
    if (length == 0) return 0;
    std::string narrow;
    for (size_t k = i; k < i + length; ++k) narrow += static_cast<char>(argumentText[k]);
    double number = std::nearbyint(std::strtod(narrow.c_str(), nullptr));
    if (number > Int32Max && number < Int32Span) number -= Int32Span;
    if (!(number >= -Int32Max - 1.0 && number <= Int32Max)) return 0;
    return static_cast<int32_t>(number);
}
