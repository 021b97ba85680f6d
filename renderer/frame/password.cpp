#include "renderer/frame/password.h"

namespace {
// Tells the 9x family a saver is running (disables task switching keys); the system's own value.
constexpr UINT SpiSetScreenSaverRunning = 97;
const char* const PasswordLibrary = "PASSWORD.CPL";
const char* const PasswordExport = "VerifyScreenSavePwd";

using VerifyScreenSavePwdFn = BOOL(WINAPI*)(HWND);
}  // namespace

// Asks the system's password dialog on the 9x family; the library is loaded anew for each attempt.
BOOL verifyPassword(HWND window, bool& dialogOpen) {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    if (version.dwPlatformId != VER_PLATFORM_WIN32_WINDOWS) return TRUE;

    HMODULE library = LoadLibraryA(PasswordLibrary);
    if (!library) return TRUE;
    auto verify = reinterpret_cast<VerifyScreenSavePwdFn>(
        reinterpret_cast<void*>(GetProcAddress(library, PasswordExport)));
    if (!verify) {
        FreeLibrary(library);
        return TRUE;
    }

    BYTE previousState = 0;  // receives the earlier state; not read
    SystemParametersInfoA(SpiSetScreenSaverRunning, TRUE, &previousState, 0);
    dialogOpen = true;
    BOOL result = verify(window);
    dialogOpen = false;
    SystemParametersInfoA(SpiSetScreenSaverRunning, FALSE, &previousState, 0);

    FreeLibrary(library);
    return result;
}
