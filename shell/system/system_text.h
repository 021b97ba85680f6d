// The shell's one choice between the ANSI and the wide functions, its conversions to and from the
// system's ANSI code page, and the look-up of functions that not every Windows has.
#pragma once

#include <windows.h>

#include <string>

#include "shell/system/system_family.h"

// The family of the Windows the shell runs on, as GetVersionEx reports it.
SystemFamily thisSystemFamily();

// True on the 9x family, where every call that takes text goes through the ANSI function; the NT
// family takes the wide ones. Every part of the shell asks this, and nothing else decides.
bool ansiCalls();

// Text in the system's ANSI code page, and back. Characters the code page lacks become its default
// character, and `lossless` says so.
std::wstring fromAnsi(const std::string& text);
std::string toAnsi(const std::wstring& text, bool* lossless = nullptr);

// A function of a system DLL that the program has loaded already, or null where this Windows lacks it.
template <typename Function>
Function systemFunction(const char* library, const char* name) {
    const HMODULE module = GetModuleHandleA(library);
    return module == nullptr ? nullptr
                             : reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
