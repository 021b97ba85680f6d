#include "shell/settings/number_text.h"

namespace {
// Whether c is a blank the number texts may carry.
bool isBlank(char c) { return c == ' ' || c == '\t'; }
// Whether c is a decimal digit.
bool isDigit(char c) { return c >= '0' && c <= '9'; }
// Whether c is a sign.
bool isSign(char c) { return c == '+' || c == '-'; }
}  // namespace

// Digits before or after the point both count; the exponent joins only with a digit of its own.
size_t decimalLength(const std::string& text, size_t from) {
    size_t i = from;
    if (i < text.size() && isSign(text[i])) ++i;
    size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) { ++i; ++digits; }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) { ++i; ++digits; }
    }
    if (digits == 0) return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        if (j < text.size() && isSign(text[j])) ++j;
        size_t exponentDigits = 0;
        while (j < text.size() && isDigit(text[j])) { ++j; ++exponentDigits; }
        if (exponentDigits > 0) i = j;
    }
    return i - from;
}

// The text without its leading and trailing blanks.
std::string trimBlanks(const std::string& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin])) ++begin;
    while (end > begin && isBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

// Whether the text, blanks aside, is one decimal number.
bool isDecimalText(const std::string& text) {
    const std::string number = trimBlanks(text);
    const size_t length = decimalLength(number);
    return length != 0 && length == number.size();
}
