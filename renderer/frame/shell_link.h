// The shell that started the renderer: the process handle it hands over on the command line, which
// the renderer watches so that it never outlives its shell. Plain C++: the entry point reads the
// number, the loop waits on the handle.
#pragma once

#include <cctype>
#include <cstdint>
#include <cstring>

#include "common/names.h"

// The handle number of "/shell:<decimal>" (any letter case) among the command line's words; 0 when
// the renderer was started alone, or the number is missing, malformed or beyond 64 bits.
inline uint64_t shellProcessHandleOf(const char* commandLine) {
    const size_t length = std::strlen(ShellProcessOption);
    for (const char* at = commandLine; at != nullptr && *at != '\0'; ++at) {
        if (at != commandLine && at[-1] != ' ') continue;
        size_t k = 0;
        while (k < length && at[k] != '\0' && std::tolower(static_cast<unsigned char>(at[k])) == ShellProcessOption[k]) ++k;
        if (k != length) continue;
        uint64_t value = 0;
        const char* digit = at + k;
        for (; std::isdigit(static_cast<unsigned char>(*digit)); ++digit) {
            const uint64_t next = value * 10 + static_cast<uint64_t>(*digit - '0');
            if (next / 10 != value) return 0;
            value = next;
        }
        const bool wordEnds = *digit == '\0' || *digit == ' ';
        return digit != at + k && wordEnds ? value : 0;
    }
    return 0;
}
