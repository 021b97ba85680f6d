#include "shell/texts/text_rules.h"

namespace {
constexpr uint16_t PrimaryLanguageMask = 0x03FF;  // the low ten bits of a LANGID
constexpr uint16_t LanguageJapanese = 0x11;       // LANG_JAPANESE
constexpr uint16_t JapaneseTable = 0x0411;        // LANG_JAPANESE, SUBLANG_DEFAULT
constexpr uint16_t EnglishTable = 0x0409;         // LANG_ENGLISH, SUBLANG_ENGLISH_US
constexpr unsigned TextsPerBlock = 16;
}  // namespace

// Japanese for a Japanese interface language, English for every other.
TextLanguage textLanguageFor(uint16_t interfaceLanguage) {
    return (interfaceLanguage & PrimaryLanguageMask) == LanguageJapanese ? TextLanguage::Japanese
                                                                         : TextLanguage::English;
}

// The string table's language id for a text language.
uint16_t tableLanguageId(TextLanguage language) {
    return language == TextLanguage::Japanese ? JapaneseTable : EnglishTable;
}

// The string table block that holds a text id, sixteen texts to a block.
unsigned stringBlockId(unsigned textId) { return textId / TextsPerBlock + 1; }

// Walks past the entries before the text's own; a length that runs past the block's end finds nothing.
TextSpan stringBlockEntry(const uint16_t* block, size_t units, unsigned textId) {
    size_t at = 0;
    for (unsigned entry = 0; entry < textId % TextsPerBlock; ++entry) {
        if (at >= units) return {};
        at += 1 + size_t{block[at]};
    }
    if (at >= units || block[at] > units - at - 1) return {};
    return {at + 1, block[at]};
}
