// A part of the drawable the scene is drawn into, as OpenGL takes a viewport: from the drawable's
// bottom-left corner, in pixels. A window over several monitors has one per monitor.
#pragma once

#include <cstdint>

struct SceneView {
    int32_t x = 0, y = 0, width = 0, height = 0;
};
