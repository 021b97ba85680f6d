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
// Reads a WM_POWERBROADCAST: true, with whether the source is now a battery, when it reports the
// power source (a power-setting change); a status change asks the status through `onBattery`.
bool readPowerSource(WPARAM wParam, LPARAM lParam, bool (*onBattery)(), bool& battery);
