// A part of the drawable the scene is drawn into, as OpenGL takes a viewport: from the drawable's
// bottom-left corner, in pixels. A window over several monitors has one per monitor.
#pragma once

#include <cstdint>

struct SceneView {
    int32_t x = 0, y = 0, width = 0, height = 0;
    // The whole picture the view shows a part of, in the same pixels, where one picture spreads
    // over several views; a width of 0 means the view itself.
    int32_t pictureX = 0, pictureY = 0, pictureWidth = 0, pictureHeight = 0;
};
