// The programs' only test and benchmark hooks, all read from the environment in this one file:
//   LUMIVANE_UNPACED=1          the renderer draws as fast as the driver presents (benchmarks);
//   LUMIVANE_ON_BATTERY=1       the renderer takes the computer to run on battery (benchmarks of the
//                               battery saver, on machines that have none);
//   LUMIVANE_SEED=<number>      the renderer plays the scene of this seed, not the calendar time's, so
//                               that benchmarks compare runs along the same camera path;
//   LUMIVANE_POINTER_LOG=<file> the shell appends each change of the pointer's display count to the
//                               file ("hide -1", "show 0"), so that tests can see the pointer come back.
// None of them is a user setting; without them the programs behave as shipped.
#pragma once

#include <cstdint>

// True when the benchmarks switched the renderer's pacing off.
bool pacingSwitchedOff();
// True when the benchmarks have the renderer run as if on battery.
bool batteryPretended();
// The seed the benchmarks named, or `otherwise`.
uint32_t benchmarkSeed(uint32_t otherwise);
// Appends the pointer's new display count to the pointer log, where one is named.
void tracePointerCount(bool shown, int count);
