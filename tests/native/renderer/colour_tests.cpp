// The spawn colour cycle and the hue conversion.
#include <gtest/gtest.h>

#include <algorithm>

#include "scene_test_support.h"

namespace {
void expectRgb(float h, float s, float v, float r, float g, float b) {
    float red = -1, green = -1, blue = -1;
    HsvToRgb(h, s, v, red, green, blue);
    EXPECT_NEAR(red, r, 1e-5f) << "hue " << h;
    EXPECT_NEAR(green, g, 1e-5f) << "hue " << h;
    EXPECT_NEAR(blue, b, 1e-5f) << "hue " << h;
}

// A drift in progress from start to target hue (saturation 1), stopped at progress t.
void driftAt(Scene& scene, float startHue, float targetHue, float t) {
    scene.colour.started = true;
    scene.colour.startHsv = Vector3(startHue, 1, 1);
    scene.colour.targetHsv = Vector3(targetHue, 1, 1);
    scene.colour.colourPhase = t;
    scene.colour.colourRate = 0.0f;
    advanceColourCycle(scene, 0.0f);
}
}  // namespace

TEST(HsvToRgb, SectorsThresholdsSaturationAndValue) {
    expectRgb(0.0f, 1, 1, 1, 0, 0);
    expectRgb(0.5f, 1, 1, 0, 1, 1);
    expectRgb(0.75f, 1, 1, 0.5f, 0, 1);
    expectRgb(0.25f, 1, 1, 0.5f, 1, 0);
    expectRgb(0.4f, 1, 1, 0, 1, 0.4f);
    expectRgb(0.9f, 1, 1, 1, 0, 0.6f);
    // A hue on a decimal threshold belongs to the sector above it.
    expectRgb(0.166667f, 1, 1, 1, 1, 0);
    expectRgb(0.666667f, 1, 1, 0, 0, 1);
    for (float h : {0.0f, 0.3f, 0.6f, 0.95f}) expectRgb(h, 0, 0.7f, 0.7f, 0.7f, 0.7f);
    expectRgb(0.5f, 0.5f, 0.8f, 0.4f, 0.8f, 0.8f);
}

TEST(ColourCycle, FirstFrameChoosesAndLeavesBlackSecondFrameColours) {
    Scene scene;
    makeScene(scene, 0, 0, 1000);
    advanceColourCycle(scene, 0.016f);
    expectVector(scene.spawnColour, 0.0f, 0.0f, 0.0f);
    EXPECT_EQ(scene.colour.colourPhase, 0.0f);
    EXPECT_GE(scene.colour.colourRate, 0.02f);
    EXPECT_LE(scene.colour.colourRate, 0.07f);
    advanceColourCycle(scene, 0.016f);
    const Vector3& c = scene.spawnColour;
    EXPECT_GT(c.x + c.y + c.z, 0.0f);
    // Value 1: the strongest channel is full.
    EXPECT_FLOAT_EQ(std::max(c.x, std::max(c.y, c.z)), 1.0f);
}

TEST(ColourCycle, HueTakesTheRuleDirectionAndWrapsOnce) {
    Scene scene;
    makeScene(scene, 0, 0, 1000);
    driftAt(scene, 0.2f, 0.1f, 1.0f - 1e-6f);  // ends at start - dh
    EXPECT_NEAR(scene.colour.currentHsv.x, 0.3f, 1e-5f);
    driftAt(scene, 0.9f, 0.1f, 0.5f);  // dh < -0.5: straight through 0.5
    EXPECT_NEAR(scene.colour.currentHsv.x, 0.5f, 1e-5f);
    driftAt(scene, 0.1f, 0.8f, 0.999999f);
    EXPECT_NEAR(scene.colour.currentHsv.x, 0.4f, 1e-5f);

    driftAt(scene, 0.1f, 0.6f, 0.8f);  // pushed to -0.3
    EXPECT_NEAR(scene.colour.currentHsv.x, 0.7f, 1e-5f);
    float r, g, b;
    HsvToRgb(0.7f, 1, 1, r, g, b);
    EXPECT_NEAR(scene.spawnColour.x, r, 1e-4f);
    EXPECT_NEAR(scene.spawnColour.z, b, 1e-4f);
    driftAt(scene, 0.9f, 0.4f, 0.6f);  // pushed to 1.2
    EXPECT_NEAR(scene.colour.currentHsv.x, 0.2f, 1e-5f);
}

TEST(ColourCycle, FrameThatEndsADriftKeepsThePreviousColour) {
    Scene scene;
    makeScene(scene, 0, 0, 1000);
    advanceColourCycle(scene, 0.1f);
    int crossings = 0;
    for (int frame = 0; frame < 20000 && crossings < 5; ++frame) {
        const Vector3 before = scene.spawnColour;
        const float phase = scene.colour.colourPhase;
        advanceColourCycle(scene, 0.1f);
        if (scene.colour.colourPhase < phase) {  // this frame chose a new drift
            ++crossings;
            expectVector(scene.spawnColour, before.x, before.y, before.z);
        }
    }
    EXPECT_EQ(crossings, 5);
}

namespace {
// Counts choosing frames whose drift started somewhere other than the colour reached.
int freshStarts(int32_t particleCount) {
    Scene scene;
    makeScene(scene, 0, 0, 0);
    scene.settings.ParticleCount = particleCount;
    advanceColourCycle(scene, 0.5f);
    int fresh = 0;
    for (int frame = 0; frame < 20000; ++frame) {
        const Vector3 reached = scene.colour.currentHsv;
        const float phase = scene.colour.colourPhase;
        advanceColourCycle(scene, 0.5f);
        if (scene.colour.colourPhase < phase &&
            (scene.colour.startHsv.x != reached.x || scene.colour.startHsv.y != reached.y)) {
            ++fresh;
        }
    }
    return fresh;
}
}  // namespace

TEST(ColourCycle, FreshRandomStartsOnlyWithAHundredParticlesOrMore) {
    EXPECT_EQ(freshStarts(99), 0);
    EXPECT_EQ(freshStarts(0), 0);
    EXPECT_GT(freshStarts(100), 10);
    EXPECT_GT(freshStarts(1000), 10);
}
