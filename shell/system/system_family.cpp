#include "shell/system/system_family.h"

namespace {
constexpr uint32_t PlatformWindows = 1;  // VER_PLATFORM_WIN32_WINDOWS: 95, 98 and ME
}  // namespace

// Win32s (0) never runs the shell; every id but the 9x family's is taken as NT.
SystemFamily systemFamilyOf(uint32_t platformId) {
    return platformId == PlatformWindows ? SystemFamily::NineX : SystemFamily::Nt;
}

bool speaksAnsi(SystemFamily family) { return family == SystemFamily::NineX; }
