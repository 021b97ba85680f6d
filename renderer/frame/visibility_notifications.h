// The system's notifications about whether anyone can see the screen: the console display state
// (Windows 8 and later) and session changes (XP and later). Both are looked up at run time, so the
// renderer still starts where they do not exist, the 9x family included.
#pragma once

#include <windows.h>

#include <cstdint>

// What the registration obtained, to be given back when the window goes.
struct VisibilityNotifications {
    void* displayNotification = nullptr;  // the power-setting notification's handle
    HMODULE sessionLibrary = nullptr;     // wtsapi32, where it exists
    bool sessionRegistered = false;
};

// Asks for both notifications to be sent to the window, where the system offers them.
void registerVisibilityNotifications(VisibilityNotifications& notifications, HWND window);
// Gives back whatever the registration obtained.
void unregisterVisibilityNotifications(VisibilityNotifications& notifications, HWND window);
// Reads a WM_POWERBROADCAST: true, with the display state, when it reports the console display state.
bool readDisplayState(WPARAM wParam, LPARAM lParam, uint32_t& state);
