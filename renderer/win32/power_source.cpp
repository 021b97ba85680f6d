#include "renderer/win32/power_source.h"

#include <cstring>

namespace {
constexpr const char* UserLibrary = "user32.dll";
// GetSystemPowerStatus's ACLineStatus for "offline": on battery (1 is online, 255 unknown).
constexpr BYTE AcLineOffline = 0;
// The power-source notification's values: mains, battery, a short-term source such as a UPS.
constexpr DWORD PowerSourceAc = 0;
// Size of the power source in the notification's data (bytes).
constexpr DWORD PowerSourceBytes = sizeof(DWORD);

using RegisterPowerSettingNotificationFn = void*(WINAPI*)(HANDLE, const GUID*, DWORD);
using UnregisterPowerSettingNotificationFn = BOOL(WINAPI*)(void*);

// An export of user32 as a function pointer of the given type, or null.
template <typename Function>
Function userExport(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(UserLibrary), name)));
}
}  // namespace

// Only a reported "offline" counts: a status that cannot be read or is unknown is mains.
bool systemOnBattery() {
    SYSTEM_POWER_STATUS status{};
    return GetSystemPowerStatus(&status) && status.ACLineStatus == AcLineOffline;
}

// Before Vista the status change that every top-level window receives is the only news.
void registerPowerSourceNotification(PowerSourceNotification& notification, HWND window) {
    if (auto registerPower = userExport<RegisterPowerSettingNotificationFn>("RegisterPowerSettingNotification")) {
        notification.handle = registerPower(window, &GUID_ACDC_POWER_SOURCE, DEVICE_NOTIFY_WINDOW_HANDLE);
    }
}

// Stops the notification that registration started.
void unregisterPowerSourceNotification(PowerSourceNotification& notification) {
    if (notification.handle == nullptr) return;
    if (auto unregisterPower = userExport<UnregisterPowerSettingNotificationFn>("UnregisterPowerSettingNotification")) {
        unregisterPower(notification.handle);
    }
    notification.handle = nullptr;
}

// A short-term source (a UPS) counts as a battery: it runs out too.
PowerNews readPowerNews(WPARAM wParam, LPARAM lParam) {
    if (wParam == PBT_APMPOWERSTATUSCHANGE) return PowerNews::StatusChanged;
    if (wParam != PBT_POWERSETTINGCHANGE || lParam == 0) return PowerNews::None;
    const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam);
    if (setting->PowerSetting != GUID_ACDC_POWER_SOURCE || setting->DataLength < PowerSourceBytes) return PowerNews::None;
    DWORD source = 0;
    std::memcpy(&source, setting->Data, PowerSourceBytes);
    return source == PowerSourceAc ? PowerNews::OnMains : PowerNews::OnBattery;
}
