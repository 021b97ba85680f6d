// The shell's texts in the language of the user's interface, from the string tables of texts.rc.
#pragma once

#include <windows.h>

#include <string>

#include "shell/texts/text_rules.h"

// The language of the user's interface as the shell speaks it: Japanese or English.
TextLanguage shellLanguage();

// A text by its id (common/names.h) in the shell's language; empty when the table lacks it.
std::wstring shellText(HINSTANCE module, unsigned textId);

// A text by its id from one language's table of a module; empty when the table lacks it.
std::wstring tableText(HINSTANCE module, unsigned textId, TextLanguage language);
