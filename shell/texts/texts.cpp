// Loads a text from the table of one language. LoadStringW would pick the table by the thread's
// locale, which is not always the interface language, so the block is found by language and walked here.
#include "shell/texts/texts.h"

#include <cstdint>

#include "shell/system/system_text.h"

namespace {
// Windows 2000 and ME report the interface language; 98 and NT 4 do not.
using GetUserDefaultUILanguageFn = LANGID(WINAPI*)();
}  // namespace

// What the system tells about the language a person reads, and the rule's answer.
TextLanguage shellLanguage() {
    TextFacts facts;
    facts.family = thisSystemFamily();
    if (auto interfaceLanguage = systemFunction<GetUserDefaultUILanguageFn>("kernel32.dll", "GetUserDefaultUILanguage")) {
        facts.interfaceLanguage = interfaceLanguage();
    }
    facts.localeLanguage = GetUserDefaultLangID();
    facts.ansiCodePage = GetACP();
    return textLanguageFor(facts);
}

// One of the shell's texts in the language it speaks.
std::wstring shellText(HINSTANCE module, unsigned textId) { return tableText(module, textId, shellLanguage()); }

// One text from the string table of the given language.
std::wstring tableText(HINSTANCE module, unsigned textId, TextLanguage language) {
    // RT_STRING is an integer resource type, the same value for the wide functions.
    const auto type = reinterpret_cast<LPCWSTR>(RT_STRING);
    HRSRC found =
        FindResourceExW(module, type, MAKEINTRESOURCEW(stringBlockId(textId)), tableLanguageId(language));
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const auto* block = static_cast<const uint16_t*>(loaded ? LockResource(loaded) : nullptr);
    if (!block) return {};
    const TextSpan span = stringBlockEntry(block, SizeofResource(module, found) / sizeof(uint16_t), textId);
    return std::wstring(reinterpret_cast<const wchar_t*>(block + span.offset), span.length);
}
