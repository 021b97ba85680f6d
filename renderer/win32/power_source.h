// Whether the computer runs on battery: the system's power status, and its notification of a change
// of power source. The status is in every kernel32 from 98 SE on; the power-setting notification
// (Vista and later) is looked up at run time. Where the system cannot tell, the computer is on mains.
#pragma once

#include <windows.h>

// The power-source notification's handle, to be given back when the window goes; null where the
// system has no such notification.
struct PowerSourceNotification {
    void* handle = nullptr;
};

// True when the system reports that it runs on battery; false on mains and where it does not know.
bool systemOnBattery();
// Asks for the power-source notification to be sent to the window, where the system offers it.
void registerPowerSourceNotification(PowerSourceNotification& notification, HWND window);
// Gives back the notification that registration obtained.
void unregisterPowerSourceNotification(PowerSourceNotification& notification);
// What a WM_POWERBROADCAST says of the power source: nothing, that the power status changed (read it
// again), or the source itself (the power-setting notification).
enum class PowerNews { None, StatusChanged, OnBattery, OnMains };
PowerNews readPowerNews(WPARAM wParam, LPARAM lParam);
