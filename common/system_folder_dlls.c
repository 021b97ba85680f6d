/* The programs' own helper for the DLLs they load at the first call (cmake/system-folder-imports.cmake). It
 * stands in for the runtime's: each DLL is loaded by its full path in the system folder, so that a file of the
 * same name in the program's own folder (a Downloads folder, for a portable copy) is never loaded; and on
 * x86-64 the first call's floating-point arguments arrive whole (the linker's stub before the helper keeps
 * only the integer ones, and the helper's own calls would overwrite xmm0 to xmm3). C, like the stand-ins
 * beside it. */
#include <windows.h>
#include <delayimp.h>

/* Longest path of a system DLL (characters), with its NUL. */
#define SystemPathChars MAX_PATH

extern IMAGE_DOS_HEADER __ImageBase;

/* The DLL of this name in the system folder; null where it cannot be loaded from there. */
static HMODULE loadFromSystemFolder(const char *name) {
    char path[SystemPathChars];
    const UINT length = GetSystemDirectoryA(path, SystemPathChars);
    if (length == 0 || length + 1 + (UINT)lstrlenA(name) >= SystemPathChars) return NULL;
    path[length] = '\\';
    lstrcpyA(path + length + 1, name);
    return LoadLibraryA(path);
}

/* Loads the descriptor's DLL once and puts the function of `slot` in its place; a DLL or function the
 * system lacks raises the exception the runtime's helper raises, and ends the run as a missing import would. */
FARPROC WINAPI resolveLateImport(PCImgDelayDescr descriptor, FARPROC *slot) {
    char *const base = (char *)&__ImageBase;
    HMODULE *const module = (HMODULE *)(base + descriptor->rvaHmod);
    const char *const dll = base + descriptor->rvaDLLName;
    const PCImgThunkData names = (PCImgThunkData)(base + descriptor->rvaINT);
    const PCImgThunkData name = names + (slot - (FARPROC *)(base + descriptor->rvaIAT));
    FARPROC function;
    if (*module == NULL) *module = loadFromSystemFolder(dll);
    if (*module == NULL) RaiseException(VcppException(ERROR_SEVERITY_ERROR, ERROR_MOD_NOT_FOUND), 0, 0, NULL);
    function = IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal)
                   ? GetProcAddress(*module, (LPCSTR)(ULONG_PTR)IMAGE_ORDINAL(name->u1.Ordinal))
                   : GetProcAddress(*module, ((PIMAGE_IMPORT_BY_NAME)(base + name->u1.AddressOfData))->Name);
    if (function == NULL) RaiseException(VcppException(ERROR_SEVERITY_ERROR, ERROR_PROC_NOT_FOUND), 0, 0, NULL);
    *slot = function;
    return function;
}

#ifdef _WIN64
/* The helper the stubs call: keeps xmm0 to xmm3 around the resolution (rcx and rdx pass on unchanged). */
__attribute__((naked)) FARPROC WINAPI __delayLoadHelper2(PCImgDelayDescr descriptor, FARPROC *slot) {
    (void)descriptor;
    (void)slot;
    __asm__(
        "subq $0x68, %rsp\n\t"  /* shadow space, four registers, and the stack kept aligned */
        "movdqu %xmm0, 0x20(%rsp)\n\t"
        "movdqu %xmm1, 0x30(%rsp)\n\t"
        "movdqu %xmm2, 0x40(%rsp)\n\t"
        "movdqu %xmm3, 0x50(%rsp)\n\t"
        "call resolveLateImport\n\t"
        "movdqu 0x20(%rsp), %xmm0\n\t"
        "movdqu 0x30(%rsp), %xmm1\n\t"
        "movdqu 0x40(%rsp), %xmm2\n\t"
        "movdqu 0x50(%rsp), %xmm3\n\t"
        "addq $0x68, %rsp\n\t"
        "ret");
}
#else
/* The helper the stubs call; arguments travel on the stack here, and come back as they were. */
FARPROC WINAPI __delayLoadHelper2(PCImgDelayDescr descriptor, FARPROC *slot) {
    return resolveLateImport(descriptor, slot);
}
#endif
