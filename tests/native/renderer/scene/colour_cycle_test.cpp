// The spawn colour cycle and the hue conversion.
#include <gtest/gtest.h>

#include "renderer/scene/scene_test_support.h"

namespace {
// A scene whose colour drift ends on its next frame of a second; that frame's choice is scripted to
// start from a fresh random colour where the particle count allows one.
void atEndOfDrift(Scene& scene, int32_t particles) {
    makeScene(scene, 0, 0, particles);
    advanceColourCycle(scene, 0.1f);  // chooses the first drift
    advanceColourCycle(scene, 0.1f);  // drifts: a colour is shown
    scene.colour.colourPhase = 0.999f;
    scene.random = randomWhoseNextDrawIs(0);
}
}  // namespace

TEST(HsvToRgb, SectorsThresholdsSaturationAndValue) {
    struct Case { float h, s, v, r, g, b; };
    const Case cases[] = {
        {0.0f, 1, 1, 1, 0, 0},      {0.25f, 1, 1, 0.5f, 1, 0},  {0.4f, 1, 1, 0, 1, 0.4f},
        {0.5f, 1, 1, 0, 1, 1},      {0.75f, 1, 1, 0.5f, 0, 1},  {0.9f, 1, 1, 1, 0, 0.6f},
        // A hue on a decimal threshold belongs to the sector above it.
        {0.166667f, 1, 1, 1, 1, 0}, {0.666667f, 1, 1, 0, 0, 1},
        {0.3f, 0, 0.7f, 0.7f, 0.7f, 0.7f}, {0.5f, 0.5f, 0.8f, 0.4f, 0.8f, 0.8f},
    };
    for (const Case& c : cases) {
        float r = -1, g = -1, b = -1;
        HsvToRgb(c.h, c.s, c.v, r, g, b);
        expectVector(Vector3(r, g, b), c.r, c.g, c.b, 1e-5f);
    }
}

TEST(ColourCycle, HueTakesTheRuleDirectionAndWrapsOnce) {
    struct Drift { float startHue, targetHue, t, expectedHue; };
    const Drift drifts[] = {
        {0.2f, 0.1f, 0.999999f, 0.3f},  // away from the target: start - t * dh
        {0.6f, 0.05f, 0.5f, 0.325f},    // dh just below -0.5: straight on
        {0.1f, 0.8f, 0.999999f, 0.4f},
        {0.1f, 0.6f, 0.8f, 0.7f},       // pushed to -0.3, wrapped
        {0.9f, 0.4f, 0.6f, 0.2f},       // pushed to 1.2, wrapped
    };
    Scene scene;
    makeScene(scene, 0, 0, 1000);
    for (const Drift& d : drifts) {
        scene.colour.started = true;
        scene.colour.startHsv = Vector3(d.startHue, 1, 1);
        scene.colour.targetHsv = Vector3(d.targetHue, 1, 1);
        scene.colour.colourPhase = d.t;
        scene.colour.colourRate = 0.0f;
        advanceColourCycle(scene, 0.0f);
        EXPECT_NEAR(scene.colour.currentHsv.x, d.expectedHue, 1e-5f) << d.startHue << " to " << d.targetHue;
    }
}

TEST(ColourCycle, FrameThatEndsADriftKeepsThePreviousColour) {
    Scene scene;
    atEndOfDrift(scene, 1000);
    const Vector3 before = scene.spawnColour;
    advanceColourCycle(scene, 1.0f);
    ASSERT_EQ(scene.colour.colourPhase, 0.0f);  // a new drift was chosen
    expectVector(scene.spawnColour, before.x, before.y, before.z);
}

TEST(ColourCycle, FreshRandomStartOnlyWithAHundredParticlesOrMore) {
    for (int32_t particles : {0, 99, 100, 1000}) {
        Scene scene;
        atEndOfDrift(scene, particles);
        const Vector3 reached = scene.colour.currentHsv;
        advanceColourCycle(scene, 1.0f);
        const bool fresh = scene.colour.startHsv.x != reached.x || scene.colour.startHsv.y != reached.y;
        EXPECT_EQ(fresh, particles >= 100) << particles;
    }
}
