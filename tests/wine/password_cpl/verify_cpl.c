/* A stand-in for the system's password library. It answers from "answer.txt" beside it:
   "1" accepts, "0" refuses, "w" keeps its dialog open for a while (pumping messages, as a modal
   dialog does) and then refuses. Every question is logged with what the library saw. */
#include "cpl_log.h"

#include <stdio.h>

#define SPI_GET_SCREENSAVER_RUNNING 0x0072
#define DIALOG_OPEN_MS 1500

static HMODULE self;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    self = instance;
    logAttachment(instance, reason, reserved);
    return TRUE;
}

/* Reads the first byte of answer.txt beside this library; '0' when there is none. */
static char readAnswer(void) {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(self, path, MAX_PATH);
    while (n > 0 && path[n - 1] != '\\') --n;
    lstrcpyA(path + n, "answer.txt");
    char answer = '0';
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    if (f != INVALID_HANDLE_VALUE) {
        DWORD got = 0;
        ReadFile(f, &answer, 1, &got, NULL);
        CloseHandle(f);
    }
    return answer;
}

__declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window) {
    char cls[64] = "";
    GetClassNameA(window, cls, sizeof cls);
    BOOL saverRunning = FALSE;
    SystemParametersInfoA(SPI_GET_SCREENSAVER_RUNNING, 0, &saverRunning, 0);
    char line[160];
    snprintf(line, sizeof line, "ask window=%s saverRunning=%d", cls, saverRunning ? 1 : 0);
    appendLog(self, line);

    char answer = readAnswer();
    if (answer == 'w') {
        DWORD start = GetTickCount();
        while (GetTickCount() - start < DIALOG_OPEN_MS) {
            MSG msg;
            while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            Sleep(10);
        }
        appendLog(self, "dialog closed");
        return FALSE;
    }
    return answer == '1';
}
