// The two families of Windows the shell runs on, and which functions it speaks through on each.
// No Windows here.
#pragma once

#include <cstdint>

// The 9x family (98 SE, ME) or the NT family (2000, XP and every later Windows).
enum class SystemFamily { NineX, Nt };

// The family of the platform id that GetVersionEx reports.
SystemFamily systemFamilyOf(uint32_t platformId);

// True where the shell speaks through the ANSI functions, in the system's code page: the 9x family,
// which carries out only a few wide functions. The NT family keeps the wide ones, which can name
// any folder or file.
bool speaksAnsi(SystemFamily family);
