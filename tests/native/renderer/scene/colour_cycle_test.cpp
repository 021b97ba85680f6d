#include "renderer/scene/scene_test_support.h"

TEST(ColourCycle, HueSectorsTheDriftsDirectionAndAFreshStartFromAHundredParticles) {
    const struct { float h, s, v, r, g, b; } colours[] = {
        {0.0f, 1, 1, 1, 0, 0}, {0.25f, 1, 1, 0.5f, 1, 0}, {0.4f, 1, 1, 0, 1, 0.4f}, {0.5f, 1, 1, 0, 1, 1},
        {0.75f, 1, 1, 0.5f, 0, 1}, {0.9f, 1, 1, 1, 0, 0.6f}, {0.3f, 0, 0.7f, 0.7f, 0.7f, 0.7f}, {0.5f, 0.5f, 0.8f, 0.4f, 0.8f, 0.8f},
        {0.166667f, 1, 1, 1, 1, 0}, {0.666667f, 1, 1, 0, 0, 1},  // a decimal threshold belongs to the sector above
    };
    for (const auto& c : colours) {
        Vector3 rgb;
        hsvToRgb(c.h, c.s, c.v, rgb.x, rgb.y, rgb.z);
        expectVector(rgb, c.r, c.g, c.b, 1e-5f);
    }
    const struct { float startHue, targetHue, t, hue; } drifts[] = {
        {0.2f, 0.1f, 0.999999f, 0.3f},  // away from the target: start - t * dh
        {0.6f, 0.05f, 0.5f, 0.325f},    // dh just below -0.5: straight on
        {0.1f, 0.6f, 0.8f, 0.7f},       // dh = 0.5: away, pushed to -0.3 and wrapped
    };
    Scene scene;
    for (const auto& d : drifts) {
        scene.colour = ColourState{true, d.t, 0.0f, {}, {d.startHue, 1, 1}, {d.targetHue, 1, 1}};
        advanceColourCycle(scene, 0.0f);
        EXPECT_NEAR(scene.colour.currentHsv.x, d.hue, 1e-5f) << d.startHue << " to " << d.targetHue;
    }
    for (int32_t particles : {99, 100}) {
        makeScene(scene, 3, 3, particles);
        scene.colour = ColourState{true, 0.999f, 1.0f, {0.5f, 0.5f, 1}, {}, {}};
        scene.random = randomWhoseNextDrawIs(0);  // the drift ends, and this draw asks for a fresh start
        advanceColourCycle(scene, 1.0f);
        EXPECT_EQ(scene.colour.startHsv.x != 0.5f, particles >= 100) << particles;
    }
}
