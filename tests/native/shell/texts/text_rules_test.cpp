#include "shell/texts/text_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(TextRules, JapaneseTablesForJapaneseOfAnyKindAndEachEntryOfAStringBlock) {
    for (uint16_t japanese : {0x0411, 0x0011}) EXPECT_EQ(textLanguageFor(japanese), TextLanguage::Japanese);
    for (uint16_t other : {0x0409, 0x0407, 0x0412, 0x0000}) EXPECT_EQ(textLanguageFor(other), TextLanguage::English);
    EXPECT_EQ(tableLanguageId(TextLanguage::Japanese), 0x0411);
    EXPECT_EQ(tableLanguageId(TextLanguage::English), 0x0409);
    // A block as windres stores it: sixteen [length][characters] entries, here of the texts 1008..1023.
    std::vector<uint16_t> units;
    for (const std::u16string text : {u"BGM", u"", u"", u"音楽CD", u"", u"", u"", u"", u"", u"", u"", u"", u"", u"", u"", u"Cancel"}) {
        units.push_back(static_cast<uint16_t>(text.size()));
        units.insert(units.end(), text.begin(), text.end());
    }
    EXPECT_EQ(stringBlockId(1007), 63u);
    EXPECT_EQ(stringBlockId(1008), 64u);
    for (const auto& [id, text] : {std::pair<unsigned, std::u16string>{1008, u"BGM"}, {1011, u"音楽CD"}, {1012, u""}, {1023, u"Cancel"}}) {
        const TextSpan span = stringBlockEntry(units.data(), units.size(), id);
        EXPECT_EQ(std::u16string(units.begin() + span.offset, units.begin() + span.offset + span.length), text) << id;
    }
    // A cut block: the last entry's characters, or its length, lie beyond the end, or the walk reaches it.
    EXPECT_EQ(stringBlockEntry(units.data(), units.size() - 1, 1023).length, 0u);
    EXPECT_EQ(stringBlockEntry(units.data(), units.size() - 7, 1023).length, 0u);
    const std::vector<uint16_t> cut(units.begin(), units.begin() + 4);  // "BGM" alone
    EXPECT_EQ(stringBlockEntry(cut.data(), cut.size(), 1011).length, 0u);
}
