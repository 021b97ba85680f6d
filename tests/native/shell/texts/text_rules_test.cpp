#include "shell/texts/text_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The family from the platform id, and the table a person reads from what the system tells: the interface
// language on the NT family (the locale, then the code page, where it is not reported), the code page on the 9x
// family, whose ANSI functions can show Japanese only in code page 932.
TEST(TextRules, TheTableFollowsTheInterfaceLanguageOnNtAndTheCodePageOn9x) {
    constexpr auto NineX = SystemFamily::NineX, Nt = SystemFamily::Nt;
    constexpr auto Ja = TextLanguage::Japanese, En = TextLanguage::English;
    EXPECT_TRUE(systemFamilyOf(1) == NineX && systemFamilyOf(2) == Nt && systemFamilyOf(0) == Nt);
    EXPECT_TRUE(speaksAnsi(NineX) && !speaksAnsi(Nt));
    const struct { TextFacts facts; TextLanguage expected; const char* what; } cases[] = {
        {{Nt, 0x0411, 0x0411, 932}, Ja, "Japanese Windows"},
        {{Nt, 0x0409, 0x0409, 1252}, En, "American Windows"},
        {{Nt, 0x0407, 0x0407, 1252}, En, "German Windows"},
        {{Nt, 0x0011, 0x0409, 1252}, Ja, "a Japanese interface over a Western code page"},
        {{Nt, 0x0409, 0x0411, 932}, En, "an English interface on a Japanese system"},
        {{Nt, 0x0412, 0x0412, 949}, En, "Korean Windows"},
        {{Nt, 0, 0x0411, 1252}, Ja, "no interface language reported: the locale"},
        {{Nt, 0, 0x0409, 932}, En, "no interface language reported: the locale before the code page"},
        {{Nt, 0, 0, 932}, Ja, "nothing but the code page"},
        {{Nt, 0, 0, 1252}, En, "nothing but a Western code page"},
        {{NineX, 0, 0x0411, 932}, Ja, "Japanese 98"},
        {{NineX, 0x0411, 0x0411, 932}, Ja, "Japanese ME"},
        {{NineX, 0, 0x0409, 1252}, En, "American 98"},
        {{NineX, 0x0411, 0x0411, 1252}, En, "a Japanese ME language over a Western code page"},
        {{NineX, 0x0409, 0x0409, 932}, Ja, "an English ME language over Shift-JIS"},
        {{NineX, 0, 0x0804, 936}, En, "Chinese 98"},
    };
    for (const auto& c : cases) EXPECT_EQ(textLanguageFor(c.facts), c.expected) << c.what;
}

TEST(TextRules, EachEntryOfAStringBlock) {
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
