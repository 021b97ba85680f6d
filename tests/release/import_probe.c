/* Imports what the import check must name, each for its own reason; it is never run. */
#define _WIN32_WINNT 0x0600
#include <windows.h>
#include <shlobj.h>
#include <commctrl.h>
#include <mmsystem.h>

/* Every call sits behind a condition that is never true, so that the compiler keeps each import. */
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    wchar_t path[MAX_PATH];
    (void)previous;
    (void)show;
    if (commandLine[0] != 'x') return 0;
    GetTickCount();                                              /* everywhere */
    lstrlenW(path);                                              /* wide, carried out on 9x */
    GetTickCount64();                                            /* Vista and later */
    AddVectoredExceptionHandler(0, NULL);                        /* XP and later */
    CreateWindowExW(0, L"x", L"x", 0, 0, 0, 0, 0, NULL, NULL, instance, NULL);  /* wide, a stub on 9x */
    MoveFileExA("a", "b", MOVEFILE_REPLACE_EXISTING);            /* a stub on 9x */
    SHGetFolderPathW(NULL, CSIDL_APPDATA, NULL, 0, path);        /* 2000 and ME on, and wide */
    timeGetTime();                                               /* from winmm, at load */
    TaskDialog(NULL, NULL, NULL, NULL, NULL, 0, NULL, NULL);     /* Vista's, late from comctl32 */
    return 1;
}
