/* A stand-in for the 9x family's PASSWORD.CPL. Built with STAND_IN_VERIFIES it exports
   VerifyScreenSavePwd and answers from "answer.txt" beside it: "1" accepts, "0" (or no file)
   refuses, "w" keeps its dialog open for a while (pumping messages, as a modal dialog does) and then
   refuses. Built without, it has no such export. Either way it logs its life to "password-log.txt". */
#include <windows.h>

#include <stdio.h>

#define DIALOG_OPEN_MS 1500
#define SPI_GET_SCREENSAVER_RUNNING 0x0072

static HMODULE self;

/* Puts the path of `name` in this library's folder into `path` (MAX_PATH chars). */
static void besideSelf(const char* name, char* path) {
    DWORD n = GetModuleFileNameA(self, path, MAX_PATH);
    while (n > 0 && path[n - 1] != '\\') --n;
    lstrcpyA(path + n, name);
}

/* Appends `line` and a newline to the log. */
static void appendLog(const char* line) {
    char path[MAX_PATH];
    besideSelf("password-log.txt", path);
    HANDLE f = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS, 0, NULL);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD wrote = 0;
    WriteFile(f, line, lstrlenA(line), &wrote, NULL);
    WriteFile(f, "\n", 1, &wrote, NULL);
    CloseHandle(f);
}

/* Logs the load, and tells a FreeLibrary by the program ("free") from the end of the process ("exit"). */
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    self = instance;
    if (reason == DLL_PROCESS_ATTACH) appendLog("load");
    if (reason == DLL_PROCESS_DETACH) appendLog(reserved ? "exit" : "free");
    return TRUE;
}

#ifdef STAND_IN_VERIFIES
/* The first byte of answer.txt; '0' when there is none. */
static char readAnswer(void) {
    char path[MAX_PATH];
    besideSelf("answer.txt", path);
    char answer = '0';
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    if (f != INVALID_HANDLE_VALUE) {
        DWORD got = 0;
        ReadFile(f, &answer, 1, &got, NULL);
        CloseHandle(f);
    }
    return answer;
}

/* Logs the class of the window it was handed and whether the system was told a saver runs. */
__declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window) {
    char cls[64] = "";
    GetClassNameA(window, cls, sizeof cls);
    BOOL saverRunning = FALSE;
    SystemParametersInfoA(SPI_GET_SCREENSAVER_RUNNING, 0, &saverRunning, 0);
    char line[160];
    snprintf(line, sizeof line, "ask window=%s saverRunning=%d", cls, saverRunning ? 1 : 0);
    appendLog(line);

    char answer = readAnswer();
    if (answer != 'w') return answer == '1';
    for (DWORD start = GetTickCount(); GetTickCount() - start < DIALOG_OPEN_MS; Sleep(10)) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    appendLog("dialog closed");
    return FALSE;
}
#endif
