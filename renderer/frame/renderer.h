// The renderer program's whole state: one record, owned by the entry point and reached from the
// saver window. Tests make records of their own.
#pragma once

#include <windows.h>

#include "renderer/frame/input_rules.h"
#include "renderer/frame/wgl_surface.h"
#include "renderer/scene/frame_clock.h"
#include "renderer/scene/scene.h"

struct Renderer {
    HINSTANCE instance = nullptr;
    Scene scene;
    FrameClock clock;
    WglSurface surface;
    InputState input;
    bool sceneReady = false;          // from the end of the set-up until the window starts being destroyed
    bool passwordDialogOpen = false;  // the system's password dialog is on screen: no frame is drawn
};

// Seeds the scene, sets up OpenGL on the window and creates the scene's objects. False when
// OpenGL could not be set up (the reason is in the debug log).
bool setUpScene(Renderer& renderer, HWND window, uint32_t seed);
// Frees the scene's objects and the OpenGL objects of the window.
void tearDownScene(Renderer& renderer, HWND window);
// Measures the frame time and, while the scene is ready, advances, draws and presents one frame.
void frameTick(Renderer& renderer);
