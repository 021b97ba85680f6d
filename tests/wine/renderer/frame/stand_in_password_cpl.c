/* A stand-in for the 9x family's PASSWORD.CPL in the renderer's current folder. With STAND_IN_VERIFIES its
   VerifyScreenSavePwd logs the question to password-log.txt and answers what answer.txt says: "1" accepts, "w"
   keeps its dialog open for 1.5 s (pumping messages, as a modal dialog does) and refuses, anything else refuses. */
#include <windows.h>

#ifdef STAND_IN_VERIFIES
/* Appends `line` to the log. */
static void appendLog(const char* line) {
    HANDLE f = CreateFileA("password-log.txt", FILE_APPEND_DATA, FILE_SHARE_READ, NULL, OPEN_ALWAYS, 0, NULL);
    DWORD wrote = 0;
    WriteFile(f, line, lstrlenA(line), &wrote, NULL);
    CloseHandle(f);
}

/* Logs the class of the window it was handed and answers. */
__declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window) {
    char line[80] = "ask ", answer = '0';
    DWORD got = 0;
    GetClassNameA(window, line + 4, 64);
    appendLog(lstrcatA(line, "\n"));
    HANDLE f = CreateFileA("answer.txt", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    ReadFile(f, &answer, 1, &got, NULL);
    CloseHandle(f);
    for (DWORD start = GetTickCount(); answer == 'w' && GetTickCount() - start < 1500; Sleep(10)) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    if (answer == 'w') appendLog("dialog closed\n");
    return answer == '1';
}
#endif
