#include "renderer/draw/extension_list.h"

#include <gtest/gtest.h>

TEST(ExtensionList, OnlyWholeNamesCount) {
    const struct { const char* list; const char* name; bool found; } cases[] = {
        {"GLX_ARB_multisample GLX_EXT_swap_control GLX_SGI_video_sync", "GLX_EXT_swap_control", true},
        {"GLX_ARB_multisample GLX_EXT_swap_control ", "GLX_EXT_swap_control", true},  // a trailing space, as drivers leave it
        {"GLX_EXT_swap_control_tear GLX_EXT_swap_control", "GLX_EXT_swap_control", true},
        {"GLX_EXT_swap_control_tear", "GLX_EXT_swap_control", false},  // a longer name that starts alike
        {"WGL_EXT_swap_control", "EXT_swap_control", false},            // a longer name that ends alike
        {nullptr, "GLX_EXT_swap_control", false},
    };
    for (const auto& c : cases) EXPECT_EQ(hasExtension(c.list, c.name), c.found) << (c.list ? c.list : "(null)");
}
