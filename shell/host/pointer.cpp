// Pointer display count changes of the shell, with an optional trace for tests.
#include "shell/host/pointer.h"

#include <windows.h>

#include <cstdio>

namespace {
constexpr char PointerLogVariable[] = "LUMIVANE_POINTER_LOG";
constexpr DWORD PointerLogPathChars = 1024;
}  // namespace

// Changes the display count and, on request, records the new count.
void setPointerShown(bool shown) {
    const int count = ShowCursor(shown ? TRUE : FALSE);
    char logPath[PointerLogPathChars];
    const DWORD length = GetEnvironmentVariableA(PointerLogVariable, logPath, PointerLogPathChars);
    if (length == 0 || length >= PointerLogPathChars) return;
    if (FILE* log = std::fopen(logPath, "ab")) {
        std::fprintf(log, "%s %d\n", shown ? "show" : "hide", count);
        std::fclose(log);
    }
}
