// The renderer's OpenGL set-up, frame and sprite pass, run in windows of this test program under Wine.
#include <windows.h>
#include <GL/gl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "support/win_test_support.h"
#include "renderer/frame/gl_scene.h"
#include "renderer/frame/gl_scene_state.h"
#include "renderer/frame/renderer_state.h"
#include "renderer/scene/sprite_pass.h"

// The flags the window normally owns; here the tests set them.
int sceneReady = 0;
int passwordDialogOpen = 0;

namespace {

constexpr wchar_t TestClassName[] = L"LumivaneGlTestWindow";
constexpr int SmallWidth = 640;
constexpr int SmallHeight = 480;
// A fixed seed for the scenes that are compared or measured.
constexpr uint32_t Seed = 20240611;
// Frame time of the simulated runs (seconds).
constexpr float SimulatedDt = 0.05f;
// Frames drawn before a picture is captured: after them the veil has left less than 1/1000 of anything older.
constexpr int FramesThatShapeAPicture = 30;

using GetSwapIntervalExt = int(WINAPI*)();
using GetExtensionsStringArb = const char*(WINAPI*)(HDC);

std::vector<std::pair<SIZE, HWND>> sharedWindows;

// A visible pop-up with its own device context, as the renderer's class has. Windows are kept for the
// whole run and shared by size: destroying a window that had an OpenGL context takes Wine about 2 s.
HWND testWindow(int width, int height) {
    static const ATOM registered = [] {
        WNDCLASSW wc{};
        wc.style = CS_OWNDC;
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        wc.lpszClassName = TestClassName;
        return RegisterClassW(&wc);
    }();
    (void)registered;
    for (const auto& [size, hwnd] : sharedWindows) {
        if (size.cx == width && size.cy == height) return hwnd;
    }
    const HWND hwnd = CreateWindowExW(0, TestClassName, L"gl test", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    wintest::pump(50);
    sharedWindows.push_back({SIZE{width, height}, hwnd});
    return hwnd;
}

// Destroys the shared windows before the process ends; left to process exit, Wine may hang.
class SharedWindowCleanup : public ::testing::Environment {
public:
    void TearDown() override {
        for (const auto& entry : sharedWindows) DestroyWindow(entry.second);
        sharedWindows.clear();
    }
};
const ::testing::Environment* const cleanup = ::testing::AddGlobalTestEnvironment(new SharedWindowCleanup);

// RGB bytes of a rectangle of the buffer being read, bottom row first.
std::vector<uint8_t> readRgb(int x, int y, int width, int height) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

struct Rgb {
    int r, g, b;
};

Rgb pixelAt(int x, int y) {
    const std::vector<uint8_t> p = readRgb(x, y, 1, 1);
    return {p[0], p[1], p[2]};
}

// The model-view matrix a frame draws with.
void loadCamera(float cameraZ) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0, 0, cameraZ);
}

// Fills the back buffer with one grey level.
void fillGrey(int level) {
    const float v = static_cast<float>(level) / 255.0f;
    glClearColor(v, v, v, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0, 0, 0, 1);
}

// Circular mean hue (0..1) of the clearly coloured pixels, and how many there were.
struct HueSummary {
    double hue;
    size_t count;
};
HueSummary meanHue(const std::vector<uint8_t>& rgb) {
    double sx = 0, sy = 0;
    size_t count = 0;
    for (size_t k = 0; k + 2 < rgb.size(); k += 3) {
        const int r = rgb[k], g = rgb[k + 1], b = rgb[k + 2];
        const int top = std::max({r, g, b}), low = std::min({r, g, b});
        if (top < 40 || top - low < top / 3) continue;
        double h;
        const double c = top - low;
        if (top == r) h = std::fmod((g - b) / c + 6.0, 6.0);
        else if (top == g) h = (b - r) / c + 2.0;
        else h = (r - g) / c + 4.0;
        const double angle = h / 6.0 * 2 * 3.14159265358979;
        sx += std::cos(angle);
        sy += std::sin(angle);
        ++count;
    }
    double hue = std::atan2(sy, sx) / (2 * 3.14159265358979);
    if (hue < 0) hue += 1;
    return {hue, count};
}

double hueDistance(double a, double b) {
    const double d = std::fabs(a - b);
    return std::min(d, 1 - d);
}

// A window with the renderer's set-up done on records of the test's own.
class GlSceneTest : public ::testing::Test {
protected:
    explicit GlSceneTest(int width = SmallWidth, int height = SmallHeight) : window(testWindow(width, height)) {}
    void SetUp() override { setUpGlScene(gl, scene, window, Seed); }
    void TearDown() override {
        if (gl.context != nullptr) tearDownGlScene(gl, scene, window);
    }
    HWND window;
    Scene scene;
    GlSceneState gl;
};

using GlSetUp = GlSceneTest;
using SpritePass = GlSceneTest;

TEST_F(GlSetUp, BuildsADoubleBufferedRgbaContextWithTheGlowTextureAndSpriteListAndTearsItDown) {
    ASSERT_NE(gl.context, nullptr);
    EXPECT_EQ(wglGetCurrentContext(), gl.context);
    ASSERT_NE(gl.pixelFormat, 0);
    EXPECT_EQ(GetPixelFormat(gl.dc), gl.pixelFormat);
    PIXELFORMATDESCRIPTOR pfd{};
    ASSERT_NE(DescribePixelFormat(gl.dc, gl.pixelFormat, sizeof(pfd), &pfd), 0);
    const DWORD needed = PFD_DOUBLEBUFFER | PFD_SUPPORT_OPENGL | PFD_DRAW_TO_WINDOW;
    EXPECT_EQ(pfd.dwFlags & needed, needed);
    EXPECT_EQ(pfd.iPixelType, PFD_TYPE_RGBA);
    std::printf("pixel format %d: %d colour bits, %d depth bits, flags 0x%lx\n", gl.pixelFormat, pfd.cColorBits,
                pfd.cDepthBits, static_cast<unsigned long>(pfd.dwFlags));

    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], SmallWidth);
    EXPECT_EQ(viewport[3], SmallHeight);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));

    EXPECT_TRUE(glIsTexture(1));
    EXPECT_TRUE(glIsList(1));
    glBindTexture(GL_TEXTURE_2D, 1);
    GLint width = 0, height = 0, levels = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    for (GLint w = 1; w > 0 && levels < 10; ++levels) glGetTexLevelParameteriv(GL_TEXTURE_2D, levels, GL_TEXTURE_WIDTH, &w);
    EXPECT_EQ(width, 64);
    EXPECT_EQ(height, 64);
    EXPECT_GE(levels, 7) << "the mipmaps down to 1x1 exist";
    std::vector<uint8_t> texels(64 * 64);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_LUMINANCE, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(texels[32 * 64 + 32], 255);
    EXPECT_EQ(texels[0], 0);

    EXPECT_EQ(scene.particleCount, 1000);
    EXPECT_EQ(scene.emitterCount, 3);
    EXPECT_EQ(scene.absorberCount, 3);

    const HDC dc = gl.dc;
    const HGLRC context = gl.context;
    tearDownGlScene(gl, scene, window);
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    EXPECT_FALSE(wglMakeCurrent(dc, context)) << "the context was deleted";
    EXPECT_EQ(scene.particles, nullptr);
}

// Measured here with a clear through a scissor box, independently of the set-up's own probe.
TEST_F(GlSetUp, TwoPassSwapMatchesWhatTheSwapDoesToTheBackBuffer) {
    glClear(GL_COLOR_BUFFER_BIT);
    SwapBuffers(gl.dc);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(10, 10, 4, 4);
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0, 0, 0, 1);
    glDisable(GL_SCISSOR_TEST);
    SwapBuffers(gl.dc);
    const bool backKept = pixelAt(11, 11).g != 0;
    std::printf("the swap %s the back buffer; twoPassSwap = %d\n", backKept ? "keeps" : "does not keep",
                gl.twoPassSwap);
    EXPECT_EQ(gl.twoPassSwap, backKept ? 0 : 1);

    // One frame presents once or twice; either way the back buffer then holds the presented picture.
    for (int frame = 0; frame < 100; ++frame) renderFrame(gl, scene, SimulatedDt);
    const std::vector<uint8_t> shown = readRgb(0, 0, SmallWidth, SmallHeight);
    EXPECT_GT(std::count_if(shown.begin(), shown.end(), [](uint8_t v) { return v > 32; }), 50);
}

TEST_F(GlSetUp, AsksForASwapIntervalOfOneWhereTheDriverOffersSwapControl) {
    auto arb = reinterpret_cast<GetExtensionsStringArb>(
        reinterpret_cast<void*>(wglGetProcAddress("wglGetExtensionsStringARB")));
    const char* list = arb != nullptr ? arb(gl.dc) : nullptr;
    const bool offered = list != nullptr && std::strstr(list, "WGL_EXT_swap_control") != nullptr;
    std::printf("WGL_EXT_swap_control is %s\n", offered ? "offered" : "not offered");
    EXPECT_EQ(gl.swapControl, offered);
    if (offered) {
        auto getInterval = reinterpret_cast<GetSwapIntervalExt>(
            reinterpret_cast<void*>(wglGetProcAddress("wglGetSwapIntervalEXT")));
        ASSERT_NE(getInterval, nullptr);
        EXPECT_EQ(getInterval(), 1);
    }
}

TEST_F(SpritePass, VeilWithTrailLevel10TurnsGrey200Into155AllOverTheView) {
    scene.settings.TrailLevel = 10;
    scene.liveParticleCount = 0;
    loadCamera(-1000);
    fillGrey(200);
    drawScenePass(scene);
    const std::vector<uint8_t> rgb = readRgb(0, 0, SmallWidth, SmallHeight);
    const auto [low, high] = std::minmax_element(rgb.begin(), rgb.end());
    EXPECT_GE(*low, 154);
    EXPECT_LE(*high, 156);
    // A second pass keeps darkening, so trails fade rather than freeze.
    drawScenePass(scene);
    const Rgb twice = pixelAt(SmallWidth / 2, SmallHeight / 2);
    EXPECT_NEAR(twice.r, 120, 2);
}

TEST_F(SpritePass, TrailLevelZeroClearsToBlackBeforeTheSprites) {
    scene.settings.TrailLevel = 0;
    scene.liveParticleCount = 0;
    loadCamera(-1000);
    fillGrey(200);
    drawScenePass(scene);
    const std::vector<uint8_t> rgb = readRgb(0, 0, SmallWidth, SmallHeight);
    EXPECT_EQ(*std::max_element(rgb.begin(), rgb.end()), 0);
}

// 90 degrees about z, with a translation column the pass must ignore.
void quarterTurnAboutZ(Matrix4& m) {
    const float turn[16] = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 300, 300, 300, 1};
    std::memcpy(m.m, turn, sizeof(turn));
}

TEST_F(SpritePass, SpritesGlowInTheirColourAtTheirTurnedCentres) {
    scene.settings.TrailLevel = 0;
    Particle& centre = scene.particles[0];
    centre.position = Vector3(0, 0, 0);
    centre.colour = Vector3(1, 0.5f, 0);
    centre.size = 100;
    Particle& blue = scene.particles[1];
    blue.position = Vector3(50, 0, 0);  // turned onto +y: above the centre
    blue.colour = Vector3(0, 0, 1);
    blue.size = 20;
    Particle& black = scene.particles[2];
    black.position = Vector3(-50, 0, 0);  // turned onto -y: below the centre
    black.colour = Vector3(0, 0, 0);
    black.size = 20;
    scene.liveParticleCount = 3;
    quarterTurnAboutZ(scene.sceneRotation);
    loadCamera(-200);
    drawScenePass(scene);

    // 50 units at distance 200 under the 60-degree view, in pixels.
    const int offset = static_cast<int>(std::lround(50.0 / (2 * 200 * std::tan(3.14159265 / 6)) * SmallHeight));
    const int cx = SmallWidth / 2, cy = SmallHeight / 2;
    const Rgb core = pixelAt(cx, cy);
    EXPECT_GT(core.r, 200);
    EXPECT_NEAR(core.g, core.r / 2, 8);
    EXPECT_LE(core.b, 2);
    // The glow falls off smoothly from the core and is gone at the square's edge.
    int previous = core.r;
    for (int step = 1; step <= 3; ++step) {
        const int r = pixelAt(cx - step * offset / 4, cy).r;
        EXPECT_LT(r, previous) << "step " << step;
        EXPECT_GT(r, 0) << "step " << step;
        previous = r;
    }
    EXPECT_EQ(pixelAt(cx - offset * 11 / 10, cy).r, 0);

    const Rgb above = pixelAt(cx, cy + offset);
    EXPECT_GT(above.b, 200) << "the blue sprite sits where the rotation turned it";
    EXPECT_EQ(pixelAt(cx + offset, cy).b, 0);
    const Rgb below = pixelAt(cx, cy - offset);
    EXPECT_EQ(below.r + below.g + below.b, 0) << "the black sprite leaves no mark";
}

// Runs frames of the scene from a seed without presenting, so every pass lands in the same buffer.
// Only the last frames, which make the picture, are drawn.
std::vector<uint8_t> drawSeededFrames(int width, int height, int frames, VeilTexturing veil, double* msPerFrame) {
    Scene run;
    seedScene(run, Seed);
    createSceneObjects(run);
    for (int frame = 0; frame < frames - FramesThatShapeAPicture; ++frame) advanceScene(run, SimulatedDt);
    glClear(GL_COLOR_BUFFER_BIT);
    double drawing = 0;
    for (int frame = 0; frame < FramesThatShapeAPicture; ++frame) {
        advanceScene(run, SimulatedDt);
        const auto start = std::chrono::steady_clock::now();
        loadCamera(run.cameraZ);
        drawScenePass(run, veil);
        glFinish();
        drawing += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
    *msPerFrame = drawing / FramesThatShapeAPicture;
    return readRgb(0, 0, width, height);
}

class VeilTexturingTest : public GlSceneTest {
protected:
    VeilTexturingTest() : GlSceneTest(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)) {}
};

// The renderer draws the veil with texturing off; the picture must be the one the textured veil gives.
TEST_F(VeilTexturingTest, UntexturedVeilGivesExactlyThePixelsOfTheTexturedOne) {
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    constexpr int Frames = 2600;  // 130 s: all 1000 particles in play, with trails
    double texturedMs = 0, untexturedMs = 0;
    const std::vector<uint8_t> textured = drawSeededFrames(width, height, Frames, VeilTexturing::On, &texturedMs);
    const std::vector<uint8_t> untextured =
        drawSeededFrames(width, height, Frames, VeilTexturing::Off, &untexturedMs);
    const size_t lit = std::count_if(untextured.begin(), untextured.end(), [](uint8_t v) { return v > 16; });
    EXPECT_GT(lit, 1000u) << "the comparison covers a picture with particles and trails";
    size_t differing = 0;
    for (size_t k = 0; k < textured.size(); ++k) differing += textured[k] != untextured[k];
    EXPECT_EQ(differing, 0u);
    std::printf("%dx%d, one pass with the veil textured: %.2f ms, untextured: %.2f ms\n", width, height,
                texturedMs, untexturedMs);
}

// The renderer seeds from the clock; from a chosen seed the spawn colour's drift shows in the picture.
// The scene runs silently up to shortly before each capture, then the real frame code draws and presents.
TEST_F(GlSetUp, FramesFarApartCarryClearlyDifferentHues) {
    constexpr int CaptureFrames[] = {160, 800};  // 8 s and 40 s
    HueSummary hues[2] = {};
    int frame = 0;
    for (int k = 0; k < 2; ++k) {
        for (; frame < CaptureFrames[k] - FramesThatShapeAPicture; ++frame) advanceScene(scene, SimulatedDt);
        for (; frame < CaptureFrames[k]; ++frame) renderFrame(gl, scene, SimulatedDt);
        hues[k] = meanHue(readRgb(0, 0, SmallWidth, SmallHeight));
    }
    std::printf("mean hue after 8 s: %.3f (%zu pixels), after 40 s: %.3f (%zu pixels)\n", hues[0].hue,
                hues[0].count, hues[1].hue, hues[1].count);
    EXPECT_GT(hues[0].count, 200u);
    EXPECT_GT(hues[1].count, 200u);
    EXPECT_GT(hueDistance(hues[0].hue, hues[1].hue), 0.1);
}

// The process-wide entry points: the clock always runs, a frame only while ready and without a password dialog.
TEST(FrameTick, DrawsOnlyWhileTheSceneIsReadyAndNoPasswordDialogIsOpen) {
    const HWND window = testWindow(SmallWidth, SmallHeight);
    sceneReady = 0;
    passwordDialogOpen = 0;
    setUpScene(window);
    ASSERT_NE(wglGetCurrentContext(), nullptr);
    EXPECT_EQ(rendererScene.particleCount, 1000);

    frameTick();
    Sleep(60);
    frameTick();
    EXPECT_GT(rendererClock.dt, 0.04f) << "the clock runs before the scene is ready";
    EXPECT_TRUE(rendererScene.firstFrame);

    sceneReady = 1;
    passwordDialogOpen = 1;
    frameTick();
    EXPECT_TRUE(rendererScene.firstFrame) << "no frame while the password dialog is open";

    passwordDialogOpen = 0;
    frameTick();
    EXPECT_FALSE(rendererScene.firstFrame);
    // The first drawn frame carries the long wait in its dt: the first particle comes out at once.
    Sleep(200);
    frameTick();
    EXPECT_GE(rendererScene.liveParticleCount, 1);

    sceneReady = 0;
    tearDownScene(window);
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
}

}  // namespace
