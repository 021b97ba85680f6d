// The monitors as the system lists them, for the rule that lays the saver's views out over them.
#pragma once

#include "renderer/screens/monitor_layout.h"

// Fills up to `capacity` areas with the monitors the system lists and returns how many it found;
// 0 on systems without multiple-monitor support, where the primary screen stands for them.
int listMonitors(MonitorArea* areas, int capacity);
