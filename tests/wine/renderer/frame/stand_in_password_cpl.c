/* A stand-in for the 9x family's PASSWORD.CPL that logs its life to "password-log.txt" beside it.
   Built with STAND_IN_VERIFIES it exports VerifyScreenSavePwd, which answers from "answer.txt"
   beside it: "1" accepts, "w" keeps its dialog open for 1.5 s (pumping messages, as a modal dialog
   does) and refuses, anything else refuses. */
#include <windows.h>

static HMODULE self;

/* Opens the file `name` in this library's folder. */
static HANDLE openBesideSelf(const char* name, DWORD access, DWORD disposition) {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(self, path, MAX_PATH);
    while (n > 0 && path[n - 1] != '\\') --n;
    lstrcpyA(path + n, name);
    return CreateFileA(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, disposition, 0, NULL);
}

/* Appends `line` to the log. */
static void appendLog(const char* line) {
    HANDLE f = openBesideSelf("password-log.txt", FILE_APPEND_DATA, OPEN_ALWAYS);
    DWORD wrote = 0;
    WriteFile(f, line, lstrlenA(line), &wrote, NULL);
    CloseHandle(f);
}

/* Logs the load, and tells a FreeLibrary by the program ("free") from the end of the process ("exit"). */
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    self = instance;
    if (reason == DLL_PROCESS_ATTACH || reason == DLL_PROCESS_DETACH) {
        appendLog(reason == DLL_PROCESS_ATTACH ? "load\n" : reserved ? "exit\n" : "free\n");
    }
    return TRUE;
}

#ifdef STAND_IN_VERIFIES
/* Logs the class of the window it was handed and whether the system was told a saver runs
   (SPI_GETSCREENSAVERRUNNING). */
__declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window) {
    char line[128] = "ask window=", answer = '0';
    BOOL saverRunning = FALSE;
    GetClassNameA(window, line + lstrlenA(line), 64);
    SystemParametersInfoA(0x0072, 0, &saverRunning, 0);
    appendLog(lstrcatA(line, saverRunning ? " saverRunning=1\n" : " saverRunning=0\n"));
    HANDLE f = openBesideSelf("answer.txt", GENERIC_READ, OPEN_EXISTING);
    DWORD got = 0;
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
