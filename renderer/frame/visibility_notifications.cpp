#include "renderer/frame/visibility_notifications.h"

namespace {
constexpr const char* UserLibrary = "user32.dll";
constexpr const char* SessionLibrary = "wtsapi32.dll";
// Session notifications for the renderer's own session only (NOTIFY_FOR_THIS_SESSION).
constexpr DWORD NotifyForThisSession = 0;
// Size of the display state in the notification's data (bytes).
constexpr DWORD DisplayStateBytes = sizeof(DWORD);

using RegisterPowerSettingNotificationFn = void*(WINAPI*)(HANDLE, const GUID*, DWORD);
using UnregisterPowerSettingNotificationFn = BOOL(WINAPI*)(void*);
using WtsRegisterSessionNotificationFn = BOOL(WINAPI*)(HWND, DWORD);
using WtsUnRegisterSessionNotificationFn = BOOL(WINAPI*)(HWND);

// An export of a loaded library as a function pointer of the given type, or null.
template <typename Function>
Function exportOf(HMODULE library, const char* name) {
    if (library == nullptr) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}
}  // namespace

// user32 is always loaded; wtsapi32 is loaded only to register, and kept until the window goes.
void registerVisibilityNotifications(VisibilityNotifications& notifications, HWND window) {
    if (auto registerPower = exportOf<RegisterPowerSettingNotificationFn>(GetModuleHandleA(UserLibrary),
                                                                          "RegisterPowerSettingNotification")) {
        notifications.displayNotification =
            registerPower(window, &GUID_CONSOLE_DISPLAY_STATE, DEVICE_NOTIFY_WINDOW_HANDLE);
    }
    notifications.sessionLibrary = LoadLibraryA(SessionLibrary);
    if (auto registerSession = exportOf<WtsRegisterSessionNotificationFn>(notifications.sessionLibrary,
                                                                          "WTSRegisterSessionNotification")) {
        notifications.sessionRegistered = registerSession(window, NotifyForThisSession) != FALSE;
    }
}

// Stops the display and session notifications that registration started.
void unregisterVisibilityNotifications(VisibilityNotifications& notifications, HWND window) {
    if (notifications.displayNotification != nullptr) {
        if (auto unregisterPower = exportOf<UnregisterPowerSettingNotificationFn>(
                GetModuleHandleA(UserLibrary), "UnregisterPowerSettingNotification")) {
            unregisterPower(notifications.displayNotification);
        }
        notifications.displayNotification = nullptr;
    }
    if (notifications.sessionRegistered) {
        if (auto unregisterSession = exportOf<WtsUnRegisterSessionNotificationFn>(
                notifications.sessionLibrary, "WTSUnRegisterSessionNotification")) {
            unregisterSession(window);
        }
        notifications.sessionRegistered = false;
    }
    if (notifications.sessionLibrary != nullptr) {
        FreeLibrary(notifications.sessionLibrary);
        notifications.sessionLibrary = nullptr;
    }
}

// Reads the console display state from a power broadcast; false when it is some other broadcast.
bool readDisplayState(WPARAM wParam, LPARAM lParam, uint32_t& state) {
    if (wParam != PBT_POWERSETTINGCHANGE || lParam == 0) return false;
    const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam);
    if (setting->PowerSetting != GUID_CONSOLE_DISPLAY_STATE || setting->DataLength < DisplayStateBytes) return false;
    DWORD value = 0;
    CopyMemory(&value, setting->Data, DisplayStateBytes);
    state = value;
    return true;
}
