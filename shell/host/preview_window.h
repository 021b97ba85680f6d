// The preview window Glimra_R ("Preview Window") inside the host window that Windows names: the
// animation, or its still where OpenGL cannot be set up. Runs until the preview window or its
// host is gone (at once for no window or the desktop); the caller then ends the process.
#pragma once
#include <windows.h>

#include <cstdint>

#include "renderer/scene/scene_settings.h"
#include "renderer/timing/frame_rate.h"

class WglSurface;

// Plays the preview in the host on the preview window's own OpenGL surface, within the saver's
// frame-rate rule; the power source is read as it starts.
void runPreview(HINSTANCE instance, HWND host, const SceneSettings& scene, FrameRateRule rule);
// The same on the given surface, which tests make refuse a step of the set-up, at most capFps frames
// a second (0: the preview's own rate).
void runPreviewOn(HINSTANCE instance, HWND host, WglSurface& surface, const SceneSettings& scene = {},
                  int32_t capFps = 0);
