/* Shared by the stand-in password libraries: a line log kept beside the library itself. */
#pragma once

#include <windows.h>

/* Appends `line` and a newline to "password-log.txt" in the folder of `module`. */
static void appendLog(HMODULE module, const char* line) {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(module, path, MAX_PATH);
    while (n > 0 && path[n - 1] != '\\') --n;
    lstrcpyA(path + n, "password-log.txt");
    HANDLE f = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS, 0, NULL);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD wrote = 0;
    WriteFile(f, line, lstrlenA(line), &wrote, NULL);
    WriteFile(f, "\n", 1, &wrote, NULL);
    CloseHandle(f);
}

/* Logs whether the library is being loaded, freed by the program, or dropped at process exit. */
static void logAttachment(HMODULE module, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) appendLog(module, "load");
    if (reason == DLL_PROCESS_DETACH) appendLog(module, reserved ? "exit" : "free");
}
