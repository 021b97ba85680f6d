#include "renderer/frame/shell_link.h"

#include <gtest/gtest.h>

TEST(ShellLink, TheShellsHandleIsReadFromItsOwnWordOnly) {
    const std::pair<const char*, uint64_t> lines[] = {
        {"/shell:500", 500}, {"/screens:primary /shell:1234", 1234}, {"/SHELL:77 /screens:primary", 77},
        {"", 0}, {"/screens:primary", 0}, {"/shell:", 0}, {"/shell:12x", 0}, {"x/shell:12", 0},
        {"/shell:-5", 0}, {"/shell:18446744073709551615", 18446744073709551615u}, {"/shell:18446744073709551616", 0},
    };
    for (const auto& [line, handle] : lines) EXPECT_EQ(shellProcessHandleOf(line), handle) << line;
}
