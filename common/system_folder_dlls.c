/* The programs' load hook for the DLLs they load at the first call (cmake/system-folder-imports.cmake):
 * each is loaded by its full path in the system folder, so that a file of the same name in the program's
 * own folder (a Downloads folder, for a portable copy) is never loaded. The hook is the pointer the runtime's
 * late-loading helper reads, set before the first instruction runs; C, like the stand-ins beside it. */
#include <windows.h>
#include <delayimp.h>

/* Longest path of a system DLL (characters), with its NUL. */
#define SystemPathChars MAX_PATH

/* Before the helper loads a DLL: loads it from the system folder. Where that fails, the answer is no module
 * rather than null, since null would send the helper to its own search, the program's folder first; the
 * call then fails as one into a missing DLL does. */
static FARPROC WINAPI loadFromSystemFolder(unsigned notice, PDelayLoadInfo info) {
    char path[SystemPathChars];
    UINT length;
    size_t name;
    if (notice != dliNotePreLoadLibrary) return NULL;
    length = GetSystemDirectoryA(path, SystemPathChars);
    name = lstrlenA(info->szDll);
    if (length == 0 || length + 1 + name >= SystemPathChars) return (FARPROC)INVALID_HANDLE_VALUE;
    path[length] = '\\';
    lstrcpyA(path + length + 1, info->szDll);
    {
        HMODULE module = LoadLibraryA(path);
        return module ? (FARPROC)module : (FARPROC)INVALID_HANDLE_VALUE;
    }
}

/* The helper's hook, by the name and type it declares. */
PfnDliHook __pfnDliNotifyHook2 = loadFromSystemFolder;
