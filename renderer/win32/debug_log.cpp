// The debugger's log of both programs.
#include "renderer/win32/debug_log.h"

#include <windows.h>

// The shell's preview draws with the renderer's code too, so the line names whichever program runs.
void logRendererMessage(const char* text) {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const char* name = path;
    // CharNextA steps over double-byte characters, whose second byte may look like a backslash.
    for (const char* at = path; *at != '\0'; at = CharNextA(at)) {
        if (*at == '\\' || *at == '/') name = at + 1;
    }
    OutputDebugStringA(name);
    OutputDebugStringA(": ");
    OutputDebugStringA(text);
    OutputDebugStringA("\n");
}
