/* A control-panel library without the password export. */
#include "cpl_log.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    logAttachment(instance, reason, reserved);
    return TRUE;
}

__declspec(dllexport) LONG WINAPI CPlApplet(HWND window, UINT message, LPARAM first, LPARAM second) {
    (void)window;
    (void)message;
    (void)first;
    (void)second;
    return 0;
}
