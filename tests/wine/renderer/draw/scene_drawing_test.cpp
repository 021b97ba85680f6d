// The drawing on the saver window's back buffer, read back: the swap probe, the veil, a sprite's place and glow,
// and the batched drawing against the earlier one.
#include <windows.h>
#include <GL/gl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "bench/earlier_drawing.h"
#include "support/saver_window.h"

namespace {

constexpr int Width = 1024, Height = 768;  // the session's screen, which the window covers
constexpr int PictureLevelTolerance = 2;   // the two drawings of a picture differ by at most this in a channel,
constexpr double LitShareTolerance = 0.005;  // and in their lit pixels by this share


// RGB bytes of a rectangle of the back buffer, bottom row first.
std::vector<uint8_t> readRgb(int x = 0, int y = 0, int w = Width, int h = Height) {
    std::vector<uint8_t> pixels(static_cast<size_t>(w) * h * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, w, h, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// twoPassSwap says whether a swap loses a green box in the back buffer; the veil (or the clear) takes grey 200
// to the level expected; an orange sprite 50 units out on x glows above the centre after a quarter turn.
TEST(Drawing, ReadBack) {
    Renderer& renderer = wintest::saverRenderer();
    Scene& shown = renderer.run.scenes[0];
    SceneDrawing& drawing = renderer.run.drawing;
    glClear(GL_COLOR_BUFFER_BIT);  // both buffers were cleared by the set-up's probe
    glScissor(10, 10, 4, 4);
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0, 0, 0, 1);
    SwapBuffers(renderer.surface->dc);
    EXPECT_EQ(renderer.run.twoPassSwap, readRgb(11, 11, 1, 1)[1] == 0);
    setUpView(renderer.layout.views[0]);

    shown.liveParticleCount = 0;
    shown.frameVeil = -1.0f;  // each pass lays the level's own veil, as one frame at 60 Hz does
    for (const auto [trailLevel, passes, level] : {std::array{10, 1, 155}, {10, 2, 120}, {0, 1, 0}}) {
        shown.settings.TrailLevel = trailLevel;
        glClearColor(200 / 255.0f, 200 / 255.0f, 200 / 255.0f, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(0, 0, 0, 1);  // the renderer's, which the clear of TrailLevel 0 uses
        loadCamera(-1000);
        for (int pass = 0; pass < passes; ++pass) drawScenePass(drawing, shown);
        const std::vector<uint8_t> rgb = readRgb();
        const auto [low, high] = std::minmax_element(rgb.begin(), rgb.end());
        EXPECT_TRUE(*low >= level - 1 && *high <= level + 1)
            << "TrailLevel " << trailLevel << ", " << passes << " passes: " << +*low << " to " << +*high;
    }

    shown.particles[0].position = Vector3(50, 0, 0);
    shown.particles[0].colour = Vector3(1, 0.5f, 0);
    shown.particles[0].size = 40;
    shown.liveParticleCount = 1;
    const float quarterTurn[16] = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 300, 300, 300, 1};  // a translation to ignore
    std::memcpy(shown.sceneRotation.m, quarterTurn, sizeof quarterTurn);
    loadCamera(-200);
    drawScenePass(drawing, shown);
    const int fifty = static_cast<int>(std::lround(50 / (400 * std::tan(3.14159265 / 6)) * Height));  // 60° view
    const std::vector<uint8_t> core = readRgb(Width / 2, Height / 2 + fifty, 1, 1);
    EXPECT_TRUE(core[0] > 200 && std::abs(core[1] - core[0] / 2) < 8 && core[2] <= 2) << +core[0] << "," << +core[1];
    const int halfway = readRgb(Width / 2 - fifty / 5, Height / 2 + fifty, 1, 1)[0];  // 10 units out
    EXPECT_TRUE(halfway > 20 && halfway < core[0] - 20) << halfway << ": the glow does not fade from its core";
    EXPECT_EQ(readRgb(Width / 2 + fifty, Height / 2, 1, 1)[0], 0) << "where the unturned position lies";

    // The batched drawing looks like the per-sprite one: one frame of the same seeded scene, all 1000 particles
    // in play, from a cleared screen, as the camera stands and close up, where sprites are large and overlap.
    Scene scene;
    seedScene(scene, 20240611);
    createSceneObjects(scene);
    for (int frame = 0; frame < 2600; ++frame) advanceScene(scene, 0.05f);  // 130 s
    ASSERT_EQ(scene.liveParticleCount, 1000);
    for (const float cameraZ : {scene.cameraZ, -200.0f}) {
        std::vector<uint8_t> pictures[2];  // per sprite, batched
        for (int batched = 0; batched < 2; ++batched) {
            drawing.style = batched ? &BatchedDrawing : &EarlierDrawing;
            ASSERT_TRUE(createDrawingObjects(drawing, scene.particleCount()));
            glClear(GL_COLOR_BUFFER_BIT);
            loadCamera(cameraZ);
            drawScenePass(drawing, scene);
            pictures[batched] = readRgb();
        }
        int largest = 0, lit[2] = {0, 0};  // lit: a channel of 16 or more
        for (size_t k = 0; k < pictures[0].size(); k += 3) {
            for (int p = 0; p < 2; ++p) lit[p] += *std::max_element(&pictures[p][k], &pictures[p][k + 3]) >= 16;
            for (int c = 0; c < 3; ++c) largest = std::max(largest, std::abs(pictures[0][k + c] - pictures[1][k + c]));
        }
        EXPECT_GT(lit[0], 0.005 * Width * Height) << "the comparison covers a picture full of sprites";
        EXPECT_LE(largest, PictureLevelTolerance);
        EXPECT_NEAR(lit[1], lit[0], LitShareTolerance * lit[0]);
    }
}

}  // namespace
