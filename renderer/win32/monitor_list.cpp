// The monitors through EnumDisplayMonitors, looked up at run time.
#include "renderer/win32/monitor_list.h"

#include <windows.h>

namespace {
using EnumDisplayMonitorsFn = BOOL(WINAPI*)(HDC, LPCRECT, MONITORENUMPROC, LPARAM);
using GetMonitorInfoFn = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);

// The monitors found so far while the system lists them.
struct MonitorList {
    MonitorArea* areas = nullptr;
    int capacity = 0;
    int count = 0;
    GetMonitorInfoFn getInfo = nullptr;
};

// Adds one listed monitor while there is room.
BOOL CALLBACK addMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    auto& list = *reinterpret_cast<MonitorList*>(data);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (list.count < list.capacity && list.getInfo(monitor, &info)) {
        const RECT& r = info.rcMonitor;
        list.areas[list.count++] = {{r.left, r.top, r.right, r.bottom}, (info.dwFlags & MONITORINFOF_PRIMARY) != 0};
    }
    return TRUE;
}
}  // namespace

// Systems older than multiple monitors lack the calls, so they are looked up at run time.
int listMonitors(MonitorArea* areas, int capacity) {
    MonitorList list;
    list.areas = areas;
    list.capacity = capacity;
    HMODULE user32 = GetModuleHandleA("user32.dll");
    auto enumerate = reinterpret_cast<EnumDisplayMonitorsFn>(
        reinterpret_cast<void*>(GetProcAddress(user32, "EnumDisplayMonitors")));
    list.getInfo = reinterpret_cast<GetMonitorInfoFn>(reinterpret_cast<void*>(GetProcAddress(user32, "GetMonitorInfoA")));
    if (enumerate != nullptr && list.getInfo != nullptr) enumerate(nullptr, nullptr, addMonitor, reinterpret_cast<LPARAM>(&list));
    return list.count;
}
