// The renderer's OpenGL set-up, frame and sprite pass, run in a full-screen window of this test program under Wine.
#include <windows.h>
#include <GL/gl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "support/win_test_support.h"
#include "renderer/draw/gl_names.h"
#include "renderer/draw/scene_drawing.h"
#include "renderer/frame/renderer.h"

namespace {

// A fixed seed for the scenes that are compared.
constexpr uint32_t Seed = 20240611;
// Frame time of the simulated runs (seconds).
constexpr float SimulatedDt = 0.05f;
// Frames drawn before a picture is captured: after them the veil has left less than 1/1000 of anything older.
constexpr int FramesThatShapeAPicture = 30;
constexpr double Pi = 3.14159265358979;
// Pixels with a channel of at least this level count as lit (0..255), as in the live run's screenshot check.
constexpr int LitLevel = 16;
// The picture comparison allows this much: levels of a channel, and a share of the lit pixels.
constexpr int PictureLevelTolerance = 2;
constexpr double LitShareTolerance = 0.005;

HWND window = nullptr;
int width = 0;
int height = 0;

// One full-screen pop-up with its own device context, as the renderer's class has, kept for the whole run:
// destroying a window that had an OpenGL context takes Wine about 2 s, and left to process exit Wine may hang.
class GlWindow : public ::testing::Environment {
public:
    void SetUp() override {
        WNDCLASSW wc{};
        wc.style = CS_OWNDC;
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"LumivaneGlTestWindow";
        RegisterClassW(&wc);
        width = GetSystemMetrics(SM_CXSCREEN);
        height = GetSystemMetrics(SM_CYSCREEN);
        window = CreateWindowExW(0, wc.lpszClassName, L"gl test", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                                 nullptr, nullptr, wc.hInstance, nullptr);
        wintest::pump(50);
    }
    void TearDown() override { DestroyWindow(window); }
};
const ::testing::Environment* const glWindow = ::testing::AddGlobalTestEnvironment(new GlWindow);

// RGB bytes of a rectangle of the buffer being read, bottom row first.
std::vector<uint8_t> readRgb(int x, int y, int w, int h) {
    std::vector<uint8_t> pixels(static_cast<size_t>(w) * h * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, w, h, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

struct Rgb {
    int r, g, b;
};

Rgb pixelAt(int x, int y) {
    const std::vector<uint8_t> p = readRgb(x, y, 1, 1);
    return {p[0], p[1], p[2]};
}

// Hue angle (radians) of the summed colour of the clearly coloured pixels, and how many there were.
std::pair<double, size_t> meanHue(const std::vector<uint8_t>& rgb) {
    double r = 0, g = 0, b = 0;
    size_t count = 0;
    for (size_t k = 0; k + 2 < rgb.size(); k += 3) {
        const int top = std::max({rgb[k], rgb[k + 1], rgb[k + 2]}), low = std::min({rgb[k], rgb[k + 1], rgb[k + 2]});
        if (top < 40 || top - low < top / 3) continue;
        r += rgb[k];
        g += rgb[k + 1];
        b += rgb[k + 2];
        ++count;
    }
    return {std::atan2(std::sqrt(3.0) * (g - b), 2 * r - g - b), count};
}

// The renderer's set-up done on a record of the test's own.
class GlSceneTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(setUpScene(renderer, window, Seed)); }
    void TearDown() override {
        if (gl.context != nullptr) tearDownScene(renderer, window);
    }
    // Rebuilds the drawing's objects for the given style on the test's context.
    void useStyle(DrawingStyle style) {
        renderer.drawing.style = style;
        ASSERT_TRUE(createDrawingObjects(renderer.drawing, scene.particleCount));
    }
    Renderer renderer;
    Scene& scene = renderer.scene;
    WglSurface& gl = renderer.surface;
};

using GlSetUp = GlSceneTest;
using SpritePass = GlSceneTest;
using Picture = GlSceneTest;

TEST_F(GlSetUp, BuildsADoubleBufferedRgbaContextWithoutDepthBufferWithTextureAndSwapIntervalAndTearsItDown) {
    ASSERT_NE(gl.context, nullptr);
    EXPECT_EQ(wglGetCurrentContext(), gl.context);
    EXPECT_EQ(GetPixelFormat(gl.dc), gl.pixelFormat);
    PIXELFORMATDESCRIPTOR pfd{};
    ASSERT_NE(DescribePixelFormat(gl.dc, gl.pixelFormat, sizeof(pfd), &pfd), 0);
    const DWORD needed = PFD_DOUBLEBUFFER | PFD_SUPPORT_OPENGL | PFD_DRAW_TO_WINDOW;
    EXPECT_EQ(pfd.dwFlags & needed, needed);
    EXPECT_EQ(pfd.iPixelType, PFD_TYPE_RGBA);
    EXPECT_GE(pfd.cColorBits, 24);
    // Wine offers formats without a depth buffer, and the drawing never tests depth.
    GLint depthBits = -1;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_EQ(depthBits, 0);
    EXPECT_TRUE(glIsTexture(GlowTextureName));
    EXPECT_FALSE(glIsList(SpriteQuadListName)) << "only the earlier drawing uses the sprite list";
    // Where the driver offers swap control, the set-up asked for an interval of 1.
    const auto getInterval = reinterpret_cast<int(WINAPI*)()>(
        reinterpret_cast<void*>(wglGetProcAddress("wglGetSwapIntervalEXT")));
    EXPECT_EQ(gl.swapControl, getInterval != nullptr);
    if (getInterval != nullptr) {
        EXPECT_EQ(getInterval(), 1);
    }

    const HDC dc = gl.dc;
    const HGLRC context = gl.context;
    tearDownScene(renderer, window);
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
    EXPECT_EQ(gl.twoPassSwap ? 1 : 0, backKept ? 0 : 1);
}

// Grey 200 all over, then passes of the veil (or the clear); every pixel must end at the expected
// level, the same in both drawings.
TEST_F(SpritePass, VeilDarkensTheWholeViewAndTrailLevelZeroClearsToBlack) {
    struct Case {
        int trailLevel, passes, level;
    };
    // A second pass keeps darkening, so trails fade rather than freeze; past level 108 the veil's
    // opacity is negative and leaves the picture as it was.
    const Case cases[] = {{10, 1, 155}, {10, 2, 120}, {0, 1, 0}, {120, 1, 200}};
    scene.liveParticleCount = 0;
    for (DrawingStyle style : {DrawingStyle::Batched, DrawingStyle::PerSprite}) {
        useStyle(style);
        for (const Case& c : cases) {
            SCOPED_TRACE(::testing::Message() << (style == DrawingStyle::Batched ? "batched" : "per sprite")
                                              << ", TrailLevel " << c.trailLevel << ", " << c.passes << " passes");
            scene.settings.TrailLevel = c.trailLevel;
            glClearColor(200 / 255.0f, 200 / 255.0f, 200 / 255.0f, 1);
            glClear(GL_COLOR_BUFFER_BIT);
            glClearColor(0, 0, 0, 1);
            loadCamera(-1000);
            for (int pass = 0; pass < c.passes; ++pass) drawScenePass(renderer.drawing, scene);
            const std::vector<uint8_t> rgb = readRgb(0, 0, width, height);
            const auto [low, high] = std::minmax_element(rgb.begin(), rgb.end());
            EXPECT_GE(*low, c.level - 1);
            EXPECT_LE(*high, c.level + 1);
        }
    }
}

// Trails fade alike in both drawings: one veil pass over every grey level leaves the same level.
TEST_F(SpritePass, BothVeilsKeepTheSameLevelOfEveryGrey) {
    constexpr int Levels = 256;
    std::vector<uint8_t> ramp(Levels * 4);
    for (int level = 0; level < Levels; ++level) std::fill_n(&ramp[level * 4], 4, static_cast<uint8_t>(level));
    scene.liveParticleCount = 0;
    std::vector<uint8_t> kept[2];
    for (int k = 0; k < 2; ++k) {
        useStyle(k == 0 ? DrawingStyle::PerSprite : DrawingStyle::Batched);
        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glRasterPos2i(-1, -1);
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        glDrawPixels(Levels, 1, GL_RGBA, GL_UNSIGNED_BYTE, ramp.data());
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        loadCamera(-1000);
        drawScenePass(renderer.drawing, scene);
        kept[k] = readRgb(0, 0, Levels, 1);
    }
    EXPECT_EQ(kept[0][3 * 200], 155);
    for (int level = 0; level < Levels; ++level) EXPECT_EQ(kept[1][3 * level], kept[0][3 * level]) << "grey " << level;
}

// An orange sprite 40 units wide, 50 units out on x: a quarter turn about z puts it straight above the view's centre.
TEST_F(SpritePass, SpriteGlowsInItsColourAtItsTurnedCentre) {
    Particle& sprite = scene.particles[0];
    sprite.position = Vector3(50, 0, 0);
    sprite.colour = Vector3(1, 0.5f, 0);
    sprite.size = 40;
    scene.liveParticleCount = 1;
    scene.settings.TrailLevel = 0;
    // The rotation, with a translation column the pass must ignore.
    const float quarterTurn[16] = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 300, 300, 300, 1};
    std::memcpy(scene.sceneRotation.m, quarterTurn, sizeof(quarterTurn));
    loadCamera(-200);
    drawScenePass(renderer.drawing, scene);

    // 50 units at distance 200 under the 60-degree view, in pixels.
    const int fifty = static_cast<int>(std::lround(50.0 / (2 * 200 * std::tan(Pi / 6)) * height));
    const int cx = width / 2, cy = height / 2 + fifty;
    const Rgb core = pixelAt(cx, cy);
    EXPECT_GT(core.r, 200);
    EXPECT_NEAR(core.g, core.r / 2, 8);
    EXPECT_LE(core.b, 2);
    // The glow fades from the core (10 units out is half way to the edge) and is gone past the edge.
    const Rgb halfway = pixelAt(cx - fifty / 5, cy);
    EXPECT_LT(halfway.r, core.r - 20);
    EXPECT_GT(halfway.r, 20);
    EXPECT_EQ(pixelAt(cx - fifty / 2, cy).r, 0);
    EXPECT_EQ(pixelAt(width / 2 + fifty, height / 2).r, 0) << "where the unturned position lies";
}

// Runs the seeded scene without presenting, so every pass lands in the same buffer; only the
// last frames, which make the picture, are drawn.
std::vector<uint8_t> drawSeededFrames(SceneDrawing& drawing, int frames) {
    Scene run;
    seedScene(run, Seed);
    createSceneObjects(run);
    for (int frame = 0; frame < frames - FramesThatShapeAPicture; ++frame) advanceScene(run, SimulatedDt);
    glClear(GL_COLOR_BUFFER_BIT);
    for (int frame = 0; frame < FramesThatShapeAPicture; ++frame) {
        advanceScene(run, SimulatedDt);
        loadCamera(run.cameraZ);
        drawScenePass(drawing, run);
    }
    return readRgb(0, 0, width, height);
}

// Pixels of an RGB picture with a channel at LitLevel or above.
size_t litPixels(const std::vector<uint8_t>& rgb) {
    size_t lit = 0;
    for (size_t k = 0; k + 2 < rgb.size(); k += 3) lit += std::max({rgb[k], rgb[k + 1], rgb[k + 2]}) >= LitLevel;
    return lit;
}

// The batched drawing must look like the per-sprite one: one frame from a cleared screen, all 1000
// particles of the same seeded scene in play, as the camera stands and close up, where sprites are
// large and cover each other.
TEST_F(Picture, BatchedFrameFromAClearedScreenMatchesThePerSpriteOne) {
    constexpr float CloseUp = -200;
    for (int frame = 0; frame < 2600; ++frame) advanceScene(scene, SimulatedDt);  // 130 s
    ASSERT_EQ(scene.liveParticleCount, 1000);
    for (const float cameraZ : {scene.cameraZ, CloseUp}) {
        SCOPED_TRACE(::testing::Message() << "camera at " << cameraZ);
        std::vector<uint8_t> pictures[2];
        const DrawingStyle styles[2] = {DrawingStyle::PerSprite, DrawingStyle::Batched};
        for (int k = 0; k < 2; ++k) {
            useStyle(styles[k]);
            glClear(GL_COLOR_BUFFER_BIT);
            loadCamera(cameraZ);
            drawScenePass(renderer.drawing, scene);
            pictures[k] = readRgb(0, 0, width, height);
        }
        int largest = 0;
        for (size_t k = 0; k < pictures[0].size(); ++k) largest = std::max(largest, std::abs(pictures[0][k] - pictures[1][k]));
        const double earlierLit = static_cast<double>(litPixels(pictures[0]));
        const double batchedLit = static_cast<double>(litPixels(pictures[1]));
        std::printf("camera %.0f: largest channel difference %d, lit pixels %.0f and %.0f\n", cameraZ, largest,
                    earlierLit, batchedLit);
        EXPECT_GT(earlierLit, 0.005 * width * height) << "the comparison covers a picture full of sprites";
        EXPECT_LE(largest, PictureLevelTolerance);
        EXPECT_NEAR(batchedLit, earlierLit, LitShareTolerance * earlierLit);
    }
}

// The renderer seeds from the clock; from a chosen seed the spawn colour's drift shows in the picture.
TEST_F(GlSetUp, FramesFarApartCarryClearlyDifferentHues) {
    const auto early = meanHue(drawSeededFrames(renderer.drawing, 160));  // 8 s
    const auto late = meanHue(drawSeededFrames(renderer.drawing, 800));   // 40 s
    EXPECT_GT(early.second, 200u) << "coloured pixels after 8 s";
    EXPECT_GT(late.second, 200u) << "coloured pixels after 40 s";
    const double apart = std::fabs(std::remainder(early.first - late.first, 2 * Pi));
    std::printf("mean hues %.2f and %.2f rad, %.2f apart\n", early.first, late.first, apart);
    EXPECT_GT(apart, 0.2 * Pi) << "a tenth of the hue circle at least";
}

// The frame tick: the clock always runs, a frame only while ready and without a password dialog.
TEST(FrameTick, DrawsOnlyWhileTheSceneIsReadyAndNoPasswordDialogIsOpen) {
    Renderer renderer;
    ASSERT_TRUE(setUpScene(renderer, window, Seed));
    ASSERT_NE(wglGetCurrentContext(), nullptr);
    frameTick(renderer);
    Sleep(60);
    frameTick(renderer);
    EXPECT_GT(renderer.clock.dt, 0.04f) << "the clock runs before the scene is ready";
    renderer.sceneReady = true;
    renderer.passwordDialogOpen = true;
    frameTick(renderer);
    EXPECT_TRUE(renderer.scene.firstFrame) << "no frame before the scene is ready or while the password dialog is open";

    renderer.passwordDialogOpen = false;
    frameTick(renderer);
    EXPECT_FALSE(renderer.scene.firstFrame);
    // The first drawn frame carries the long wait in its dt: the first particle comes out at once.
    Sleep(200);
    frameTick(renderer);
    EXPECT_GE(renderer.scene.liveParticleCount, 1);

    renderer.sceneReady = false;
    tearDownScene(renderer, window);
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
}

}  // namespace
