// OpenGL context set-up and the frame tick (first cut: context only, scene still empty).
#include "renderer/frame/gl_scene.h"

#include <GL/gl.h>

namespace {
HDC deviceContext = nullptr;
HGLRC renderContext = nullptr;
}  // namespace

// Builds a double-buffered RGBA context on the window's device context.
void setUpScene(HWND window) {
    deviceContext = GetDC(window);
    PIXELFORMATDESCRIPTOR request{};
    request.nSize = sizeof(request);
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = 24;
    request.cDepthBits = 24;
    SetPixelFormat(deviceContext, ChoosePixelFormat(deviceContext, &request), &request);
    renderContext = wglCreateContext(deviceContext);
    wglMakeCurrent(deviceContext, renderContext);
    glClearColor(0, 0, 0, 1);
}

// Releases the device context and deletes the OpenGL context.
void tearDownScene(HWND window) {
    ReleaseDC(window, deviceContext);
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(renderContext);
    renderContext = nullptr;
}

// Presents a black frame while a context exists.
void frameTick() {
    if (renderContext == nullptr) return;
    glClear(GL_COLOR_BUFFER_BIT);
    wglSwapLayerBuffers(deviceContext, WGL_SWAP_MAIN_PLANE);
}
