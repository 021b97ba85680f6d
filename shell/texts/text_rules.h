// Which of the shell's two string tables a person reads, and where a text lies in a string block.
#pragma once

#include <cstddef>
#include <cstdint>

#include "shell/system/system_family.h"

enum class TextLanguage { Japanese, English };

// What the system tells about the language a person reads.
struct TextFacts {
    SystemFamily family = SystemFamily::Nt;
    uint16_t interfaceLanguage = 0;  // the interface language (a LANGID); 0 where the system does not report it
    uint16_t localeLanguage = 0;     // the user's locale (a LANGID); 0 where unknown
    unsigned ansiCodePage = 0;       // the system's ANSI code page
};

// The table a person reads. On the 9x family the texts go through the system's code page, so Japanese
// where that is 932 (Shift-JIS) and English otherwise. On the NT family Japanese for a Japanese interface
// language and English for every other; where the interface language is not reported, the locale's
// language decides, and where that is unknown too, the code page.
TextLanguage textLanguageFor(const TextFacts& facts);

// The LANGID under which a language's string table is stored.
uint16_t tableLanguageId(TextLanguage language);

// Resource name of the string block that holds a text: texts are stored sixteen to a block.
unsigned stringBlockId(unsigned textId);

// A text inside a string block, in 16-bit units from the block's start.
struct TextSpan {
    size_t offset = 0;
    size_t length = 0;  // 0: the entry is empty, or the block ends before it
};

// Finds a text's entry in its block: sixteen entries, each its length followed by its characters.
TextSpan stringBlockEntry(const uint16_t* block, size_t units, unsigned textId);
