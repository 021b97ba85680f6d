#include "shell/texts/text_rules.h"

namespace {
constexpr uint16_t PrimaryLanguageMask = 0x03FF;  // the low ten bits of a LANGID
constexpr uint16_t LanguageJapanese = 0x11;       // LANG_JAPANESE
constexpr uint16_t JapaneseTable = 0x0411;        // LANG_JAPANESE, SUBLANG_DEFAULT
constexpr uint16_t EnglishTable = 0x0409;         // LANG_ENGLISH, SUBLANG_ENGLISH_US
constexpr unsigned ShiftJisCodePage = 932;
constexpr unsigned TextsPerBlock = 16;

// True for Japanese as spoken anywhere.
bool japanese(uint16_t language) { return (language & PrimaryLanguageMask) == LanguageJapanese; }
}  // namespace

// Japanese where the system says a person reads it and the shell's calls can show it, English otherwise.
TextLanguage textLanguageFor(const TextFacts& facts) {
    bool reads = false;
    if (facts.family == SystemFamily::NineX) {
        reads = facts.ansiCodePage == ShiftJisCodePage;
    } else if (facts.interfaceLanguage != 0) {
        reads = japanese(facts.interfaceLanguage);
    } else if (facts.localeLanguage != 0) {
        reads = japanese(facts.localeLanguage);
    } else {
        reads = facts.ansiCodePage == ShiftJisCodePage;
    }
    return reads ? TextLanguage::Japanese : TextLanguage::English;
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
