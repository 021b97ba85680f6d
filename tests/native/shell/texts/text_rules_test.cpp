// The choice of string table and the walk through a string block.
#include "shell/texts/text_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(TextLanguage, JapaneseOfAnyKindReadsJapaneseEveryOtherLanguageEnglish) {
    struct Case { uint16_t interfaceLanguage; TextLanguage expected; };
    for (Case c : {Case{0x0411, TextLanguage::Japanese}, Case{0x0011, TextLanguage::Japanese},
                   Case{0x0409, TextLanguage::English}, Case{0x0809, TextLanguage::English},
                   Case{0x0407, TextLanguage::English}, Case{0x040C, TextLanguage::English},
                   Case{0x0404, TextLanguage::English}, Case{0x0412, TextLanguage::English},
                   Case{0x0000, TextLanguage::English}}) {
        EXPECT_EQ(textLanguageFor(c.interfaceLanguage), c.expected) << std::hex << c.interfaceLanguage;
    }
    EXPECT_EQ(tableLanguageId(TextLanguage::Japanese), 0x0411);
    EXPECT_EQ(tableLanguageId(TextLanguage::English), 0x0409);
}

// A block as windres stores it: sixteen [length][characters] entries.
std::vector<uint16_t> block(const std::vector<std::u16string>& texts) {
    std::vector<uint16_t> units;
    for (size_t n = 0; n < 16; ++n) {
        const std::u16string text = n < texts.size() ? texts[n] : u"";
        units.push_back(static_cast<uint16_t>(text.size()));
        units.insert(units.end(), text.begin(), text.end());
    }
    return units;
}

std::u16string entry(const std::vector<uint16_t>& units, size_t size, unsigned textId) {
    const TextSpan span = stringBlockEntry(units.data(), size, textId);
    return std::u16string(units.begin() + static_cast<long>(span.offset),
                          units.begin() + static_cast<long>(span.offset + span.length));
}

TEST(StringBlock, FindsEachEntryPastEmptyOnesAndNothingPastTheBlocksEnd) {
    std::vector<std::u16string> texts(16);
    texts[0] = u"BGM";
    texts[3] = u"音楽CD";
    texts[15] = u"Cancel";
    const std::vector<uint16_t> units = block(texts);
    EXPECT_EQ(stringBlockId(1000), 63u);
    EXPECT_EQ(stringBlockId(1007), 63u);
    EXPECT_EQ(stringBlockId(1008), 64u);
    // Text id 1008 is entry 0 of its block, 1011 entry 3, 1023 entry 15.
    EXPECT_EQ(entry(units, units.size(), 1008), u"BGM");
    EXPECT_EQ(entry(units, units.size(), 1011), u"音楽CD");
    EXPECT_EQ(entry(units, units.size(), 1023), u"Cancel");
    EXPECT_EQ(entry(units, units.size(), 1012), u"");
    // A cut block: the last entry's characters, or its length, lie beyond the end.
    EXPECT_EQ(stringBlockEntry(units.data(), units.size() - 1, 1023).length, 0u);
    EXPECT_EQ(stringBlockEntry(units.data(), units.size() - 7, 1023).length, 0u);
    EXPECT_EQ(stringBlockEntry(units.data(), 3, 1011).length, 0u);
    EXPECT_EQ(stringBlockEntry(units.data(), 0, 1008).length, 0u);
}
