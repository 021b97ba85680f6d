// The test and benchmark hooks read from the environment.
#include "renderer/win32/test_hooks.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
constexpr char UnpacedVariable[] = "LUMIVANE_UNPACED";
constexpr char OnBatteryVariable[] = "LUMIVANE_ON_BATTERY";
constexpr char SeedVariable[] = "LUMIVANE_SEED";
constexpr char PointerLogVariable[] = "LUMIVANE_POINTER_LOG";
// Longest value read from the environment (characters).
constexpr DWORD ValueChars = 1024;

// The variable's value, or false where it is unset or too long.
bool readVariable(const char* name, char (&value)[ValueChars]) {
    const DWORD length = GetEnvironmentVariableA(name, value, ValueChars);
    return length != 0 && length < ValueChars;
}
}  // namespace

// Only the exact value 1 switches pacing off.
bool pacingSwitchedOff() {
    char value[ValueChars];
    return readVariable(UnpacedVariable, value) && std::strcmp(value, "1") == 0;
}

// Only the exact value 1 pretends a battery.
bool batteryPretended() {
    char value[ValueChars];
    return readVariable(OnBatteryVariable, value) && std::strcmp(value, "1") == 0;
}

// A value that is not a whole decimal number is no seed.
uint32_t benchmarkSeed(uint32_t otherwise) {
    char value[ValueChars];
    if (!readVariable(SeedVariable, value)) return otherwise;
    char* end = nullptr;
    const unsigned long seed = std::strtoul(value, &end, 10);
    return end != value && *end == '\0' ? static_cast<uint32_t>(seed) : otherwise;
}

// The file is opened for each line, so a test may read it at any moment.
void tracePointerCount(bool shown, int count) {
    char path[ValueChars];
    if (!readVariable(PointerLogVariable, path)) return;
    if (FILE* log = std::fopen(path, "ab")) {
        std::fprintf(log, "%s %d\n", shown ? "show" : "hide", count);
        std::fclose(log);
    }
}
