// OpenGL context and scene set-up and teardown, and the per-idle-turn frame tick.
#pragma once

#include <windows.h>

// Seeds the scene, builds the OpenGL context on the window's own device context and creates the scene objects.
void setUpScene(HWND window);
// Frees the scene objects, releases the device context and deletes the OpenGL context.
void tearDownScene(HWND window);
// Measures the frame time and, while the scene is ready, advances, draws and presents one frame.
void frameTick();
