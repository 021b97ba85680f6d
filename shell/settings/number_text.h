// Decimal number texts as the shell reads them from the settings file, the track box and the
// command line: [sign] digits [. digits] [e [sign] digits]. No Windows here.
#pragma once

#include <cstddef>
#include <string>

// Length of the decimal number at `from`; 0 when none starts there. An exponent without
// digits is not part of the number.
size_t decimalLength(const std::string& text, size_t from = 0);
// The text without the blanks and tabs around it.
std::string trimBlanks(const std::string& text);
// True when the whole text, blanks around it aside, is one decimal number.
bool isDecimalText(const std::string& text);
