// OpenGL context and scene set-up and teardown, the swap probe, and the frame tick.
#include "renderer/frame/gl_scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstring>
#include <ctime>
#include <vector>

#include "renderer/frame/gl_scene_state.h"
#include "renderer/frame/glow_image.h"
#include "renderer/frame/pixel_format.h"
#include "renderer/frame/renderer_state.h"
#include "renderer/scene/sprite_pass.h"

namespace {
// Projection: vertical field of view (degrees) and clipping planes (scene units).
constexpr double FieldOfViewDegrees = 60.0;
constexpr double NearPlane = 0.1;
constexpr double FarPlane = 10000.0;
// Fallback pixel-format request (bits).
constexpr BYTE FallbackColourBits = 24;
constexpr BYTE FallbackDepthBits = 24;
// OpenGL names of the glow texture and of the sprite quad's display list.
constexpr GLuint GlowTextureName = 1;
constexpr GLuint SpriteQuadListName = 1;
// Swap interval asked for where the driver offers it (display refreshes per present).
constexpr int PresentEveryRefresh = 1;
constexpr const char* SwapControlExtension = "WGL_EXT_swap_control";

using GetExtensionsStringExt = const char*(WINAPI*)();
using GetExtensionsStringArb = const char*(WINAPI*)(HDC);
using SwapIntervalExt = BOOL(WINAPI*)(int);

// True when the space-separated list holds the name as a whole word.
bool hasExtension(const char* list, const char* name) {
    if (list == nullptr) return false;
    const size_t length = std::strlen(name);
    for (const char* at = std::strstr(list, name); at != nullptr; at = std::strstr(at + 1, name)) {
        const bool startsWord = at == list || at[-1] == ' ';
        const bool endsWord = at[length] == '\0' || at[length] == ' ';
        if (startsWord && endsWord) return true;
    }
    return false;
}

// The WGL extension list through whichever query the driver provides, else the GL list.
const char* wglExtensionList(HDC dc) {
    if (auto arb = reinterpret_cast<GetExtensionsStringArb>(
            reinterpret_cast<void*>(wglGetProcAddress("wglGetExtensionsStringARB")))) {
        if (const char* list = arb(dc)) return list;
    }
    if (auto ext = reinterpret_cast<GetExtensionsStringExt>(
            reinterpret_cast<void*>(wglGetProcAddress("wglGetExtensionsStringEXT")))) {
        if (const char* list = ext()) return list;
    }
    return reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
}

// Lets a driver that does not wait for the display present at the display's pace instead of spinning.
bool askForSwapInterval(HDC dc) {
    if (!hasExtension(wglExtensionList(dc), SwapControlExtension)) return false;
    auto swapInterval = reinterpret_cast<SwapIntervalExt>(
        reinterpret_cast<void*>(wglGetProcAddress("wglSwapIntervalEXT")));
    if (swapInterval == nullptr) return false;
    swapInterval(PresentEveryRefresh);
    return true;
}

// Scores every format the device describes and sets the best, or a requested 24/24 format when none passes.
int chooseGlPixelFormat(HDC dc) {
    std::vector<PixelFormatCandidate> candidates;
    PIXELFORMATDESCRIPTOR descriptor{};
    for (int n = 1; DescribePixelFormat(dc, n, sizeof(descriptor), &descriptor) != 0; ++n) {
        candidates.push_back({n, static_cast<uint32_t>(descriptor.dwFlags), descriptor.iPixelType,
                              descriptor.cColorBits, descriptor.cDepthBits});
    }
    const int chosen = chooseBestPixelFormat(candidates.data(), static_cast<int>(candidates.size()));
    if (chosen != 0) {
        DescribePixelFormat(dc, chosen, sizeof(descriptor), &descriptor);
        SetPixelFormat(dc, chosen, &descriptor);
        return chosen;
    }
    PIXELFORMATDESCRIPTOR request{};
    request.nSize = sizeof(request);
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = FallbackColourBits;
    request.cDepthBits = FallbackDepthBits;
    const int requested = ChoosePixelFormat(dc, &request);
    SetPixelFormat(dc, requested, &request);
    return requested;
}

// Draws one red pixel at the bottom-left corner, swaps, and reads the back buffer's corner back:
// a swap that copies keeps the pixel (one pass per frame is enough), one that exchanges does not.
int probeSwap(HDC dc) {
    glClear(GL_COLOR_BUFFER_BIT);
    wglSwapLayerBuffers(dc, WGL_SWAP_MAIN_PLANE);
    glClear(GL_COLOR_BUFFER_BIT);
    GLubyte pixel = 255;
    // The raster position must land on window pixel (0, 0), the one read back; with the
    // perspective projection the eye-space origin lies before the near plane and is clipped.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glRasterPos2i(-1, -1);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glDrawPixels(1, 1, GL_RED, GL_UNSIGNED_BYTE, &pixel);
    wglSwapLayerBuffers(dc, WGL_SWAP_MAIN_PLANE);
    pixel = 0;
    glReadPixels(0, 0, 1, 1, GL_RED, GL_UNSIGNED_BYTE, &pixel);
    return pixel != 0 ? 0 : 1;
}

// Texture 1: the glow spot with its mipmaps, modulated by the sprite colour.
void buildGlowTexture() {
    static uint8_t image[GlowImageSize * GlowImageSize];
    buildGlowImage(image);
    glBindTexture(GL_TEXTURE_2D, GlowTextureName);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 1, GlowImageSize, GlowImageSize, GL_LUMINANCE, GL_UNSIGNED_BYTE, image);
}

// List 1: the textured unit square at z = 0 that every sprite scales and places.
void buildSpriteQuadList() {
    glNewList(SpriteQuadListName, GL_COMPILE);
    glBindTexture(GL_TEXTURE_2D, GlowTextureName);
    glBegin(GL_TRIANGLES);
    glTexCoord2f(0, 0); glVertex3f(-0.5f, -0.5f, 0);
    glTexCoord2f(1, 0); glVertex3f(0.5f, -0.5f, 0);
    glTexCoord2f(1, 1); glVertex3f(0.5f, 0.5f, 0);
    glTexCoord2f(0, 0); glVertex3f(-0.5f, -0.5f, 0);
    glTexCoord2f(1, 1); glVertex3f(0.5f, 0.5f, 0);
    glTexCoord2f(0, 1); glVertex3f(-0.5f, 0.5f, 0);
    glEnd();
    glEndList();
}

// Presents the back buffer.
void present(const GlSceneState& gl) { wglSwapLayerBuffers(gl.dc, WGL_SWAP_MAIN_PLANE); }
}  // namespace

Scene rendererScene;
FrameClock rendererClock;
GlSceneState rendererGl;

// Every step in the fixed order; no call is tested for failure.
void setUpGlScene(GlSceneState& gl, Scene& scene, HWND window, uint32_t seed) {
    seedScene(scene, seed);
    gl.dc = GetDC(window);
    gl.pixelFormat = chooseGlPixelFormat(gl.dc);
    gl.context = wglCreateContext(gl.dc);
    RECT client{};
    GetClientRect(window, &client);
    wglMakeCurrent(gl.dc, gl.context);
    gl.swapControl = askForSwapInterval(gl.dc);
    glViewport(client.left, client.top, client.right - client.left, client.bottom - client.top);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(FieldOfViewDegrees, static_cast<double>(client.right) / static_cast<double>(client.bottom),
                   NearPlane, FarPlane);
    glMatrixMode(GL_MODELVIEW);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glClearColor(0, 0, 0, 1);
    gl.twoPassSwap = probeSwap(gl.dc);
    buildGlowTexture();
    glEnable(GL_TEXTURE_2D);
    buildSpriteQuadList();
    createSceneObjects(scene);
}

// The texture and the display list go with the context.
void tearDownGlScene(GlSceneState& gl, Scene& scene, HWND window) {
    destroySceneObjects(scene);
    ReleaseDC(window, gl.dc);
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(gl.context);
    gl.dc = nullptr;
    gl.context = nullptr;
}

// With an exchanging swap both buffers must receive every pass, so the frame is drawn and presented twice.
void renderFrame(GlSceneState& gl, Scene& scene, float dt, VeilTexturing veilTexturing) {
    advanceScene(scene, dt);
    glLoadIdentity();
    glTranslatef(0, 0, scene.cameraZ);
    drawScenePass(scene, veilTexturing);
    if (scene.settings.TrailLevel != 0 && gl.twoPassSwap == 1) {
        present(gl);
        drawScenePass(scene, veilTexturing);
    }
    present(gl);
}

// Seeded from the calendar time, so every run shows another scene.
void setUpScene(HWND window) {
    setUpGlScene(rendererGl, rendererScene, window, static_cast<uint32_t>(std::time(nullptr)));
}

void tearDownScene(HWND window) { tearDownGlScene(rendererGl, rendererScene, window); }

// The clock runs even while no frame may be drawn.
void frameTick() {
    rendererClock.tick(timeGetTime());
    if (sceneReady == 1 && passwordDialogOpen == 0) renderFrame(rendererGl, rendererScene, rendererClock.dt);
}
