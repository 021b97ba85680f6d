/* The programs' stand-ins for the three wide functions that the compiler's own runtime calls
 * (thread locks, the exception unwinder and the C library's locale look up their modules and make
 * their semaphores through them). The 9x family exports them only as stubs that fail, so each
 * stand-in passes the same request on to the ANSI function, which every Windows carries out. The
 * runtime names only ASCII modules and unnamed semaphores.
 * Each is put in place of the system's import by defining the import's own pointer, so the import
 * table no longer lists the wide function. C, not C++: the pointers must be constant data, there
 * from the first instruction, before any constructor runs. The 64-bit programs, which only later
 * Windows runs, take the same stand-ins, so that their tests try them. */
#include <windows.h>

/* The import pointer's symbol: 32-bit names carry the leading underscore and the argument bytes. */
#ifdef _WIN64
#define ImportSymbol(name, argumentBytes) "__imp_" #name
#else
#define ImportSymbol(name, argumentBytes) "__imp__" #name "@" #argumentBytes
#endif

/* Longest object or module name passed on (characters). */
#define NameChars MAX_PATH

/* The name in the ANSI code page; false when it does not fit. */
static BOOL ansiName(LPCWSTR name, char *out) {
    return WideCharToMultiByte(CP_ACP, 0, name, -1, out, NameChars, NULL, NULL) > 0;
}

/* CreateSemaphoreW through CreateSemaphoreA. */
static HANDLE WINAPI createSemaphore(LPSECURITY_ATTRIBUTES attributes, LONG initial, LONG maximum, LPCWSTR name) {
    char ansi[NameChars];
    if (name == NULL) return CreateSemaphoreA(attributes, initial, maximum, NULL);
    if (!ansiName(name, ansi)) return NULL;
    return CreateSemaphoreA(attributes, initial, maximum, ansi);
}

/* GetModuleHandleW through GetModuleHandleA. */
static HMODULE WINAPI moduleHandle(LPCWSTR name) {
    char ansi[NameChars];
    if (name == NULL) return GetModuleHandleA(NULL);
    return ansiName(name, ansi) ? GetModuleHandleA(ansi) : NULL;
}

/* LoadLibraryW through LoadLibraryA. */
static HMODULE WINAPI loadLibrary(LPCWSTR name) {
    char ansi[NameChars];
    return name != NULL && ansiName(name, ansi) ? LoadLibraryA(ansi) : NULL;
}

void *createSemaphoreImport __asm__(ImportSymbol(CreateSemaphoreW, 16)) = (void *)createSemaphore;
void *moduleHandleImport __asm__(ImportSymbol(GetModuleHandleW, 4)) = (void *)moduleHandle;
void *loadLibraryImport __asm__(ImportSymbol(LoadLibraryW, 4)) = (void *)loadLibrary;
