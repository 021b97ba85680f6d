// Which of the shell's two string tables a person reads, and where a text lies in a string block.
#pragma once

#include <cstddef>
#include <cstdint>

enum class TextLanguage { Japanese, English };

// The table for a Windows interface language (a LANGID): Japanese for Japanese, English for every other.
TextLanguage textLanguageFor(uint16_t interfaceLanguage);

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
