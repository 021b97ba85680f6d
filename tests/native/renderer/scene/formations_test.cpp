// Pole layouts and the formation cycle.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "renderer/scene/scene_test_support.h"

namespace {
// Point at the given radius and angle (radians) in the z = 0 plane.
Vector3 polar(float radius, float angle) { return Vector3(radius * std::cos(angle), radius * std::sin(angle), 0); }

void expectTarget(const Pole& pole, const Vector3& expected, float tolerance = 0.05f) {
    expectVector(pole.moveTarget, expected.x, expected.y, expected.z, tolerance);
}

}  // namespace

TEST(Formations, FixedLayoutsWithDefaultCounts) {
    const float s = 6.2831855f / 6;  // circle step for six poles
    struct Layout { int32_t type; Vector3 emitters[3], absorbers[3]; };
    const Layout layouts[] = {
        {1, {{-500, -250, 0}, {-300, -150, 0}, {-100, -50, 0}}, {{100, 50, 0}, {300, 150, 0}, {500, 250, 0}}},
        {2, {{-500, -250, 0}, {-100, -50, 0}, {300, 150, 0}}, {{-300, -150, 0}, {100, 50, 0}, {500, 250, 0}}},
        {3, {{-500, -450, -50}, {-100, -450, -50}, {300, -450, -50}}, {{-500, 450, 50}, {-100, 450, 50}, {300, 450, 50}}},
        {7, {{-170.8f, 104.1f, 0}, polar(200, 4.6888f), polar(200, 6.7832f)},
         {polar(500, 3.5944f), polar(500, 5.6888f), polar(500, 7.7832f)}},
        {9, {{438.8f, 239.7f, 0}, polar(500, 0.5f + 2 * s), polar(500, 0.5f + 4 * s)},
         {{11.8f, 499.9f, 0}, polar(500, 0.5f + 3 * s), polar(500, 0.5f + 5 * s)}},
        {4, {{-500, -450, 0}, {-100, -450, 0}, {300, -450, 0}}, {{10, 450, -500}, {10, 450, -100}, {10, 450, 300}}},
        {8, {polar(500, 0.5f + s), polar(500, 0.5f + 2 * s), polar(500, 0.5f + 3 * s)},
         {polar(500, 0.5f + 4 * s), polar(500, 0.5f + 5 * s), polar(500, 0.5f + 6 * s)}},
        {10, {{500, 100, 50}, {500, 100, 50}, {500, 100, 50}}, {{-500, -100, -50}, {-500, -100, -50}, {-500, -100, -50}}},
    };
    Scene scene;
    makeScene(scene, 3, 3, 0);
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.type);
        applyFormation(scene, layout.type);
        for (int k = 0; k < 3; ++k) {
            expectTarget(scene.emitters[k], layout.emitters[k]);
            expectTarget(scene.absorbers[k], layout.absorbers[k]);
        }
    }
}

// The scattering layouts take fresh draws per pole, emitters first, each turned into r * 1000 / 32767 - 500.
TEST(Formations, ScatterLayoutsUseTheirDrawsInTheirOrder) {
    struct Scatter { int32_t type, drawsPerPole; Vector3 (*slot)(const float* c, bool emitter); };
    const Scatter scatters[] = {
        {0, 3, [](const float* c, bool) { return Vector3(c[2], c[1], c[0]); }},
        {5, 2, [](const float* c, bool) { return Vector3(c[1], 0, c[0]); }},
        {6, 2, [](const float* c, bool emitter) { return Vector3(c[1], emitter ? -450.0f : 450.0f, c[0]); }},
    };
    for (const Scatter& layout : scatters) {
        SCOPED_TRACE(layout.type);
        Scene scene;
        makeScene(scene, 3, 3, 0);
        Random draws = scene.random;
        applyFormation(scene, layout.type);
        for (Pole* poles : {scene.emitters, scene.absorbers}) {
            for (int k = 0; k < 3; ++k) {
                float c[3];
                for (int n = 0; n < layout.drawsPerPole; ++n) c[n] = draws.next() * 1000.0f * 0.000030518509f - 500.0f;
                expectTarget(poles[k], layout.slot(c, poles == scene.emitters), 1e-3f);
            }
        }
    }
}

TEST(Formations, SinglePoleEmptyListsAndUnknownTypes) {
    Scene single;
    makeScene(single, 1, 0, 0);
    applyFormation(single, 1);
    expectTarget(single.emitters[0], Vector3(-500, -250, 0), 0);

    // With one list empty every layout still places the other; with both empty nothing breaks.
    Scene noEmitters, noAbsorbers, empty;
    makeScene(noEmitters, 0, 3, 0);
    makeScene(noAbsorbers, 3, 0, 0);
    makeScene(empty, -2, 0, -5);  // negative counts from the settings make empty arrays
    EXPECT_EQ(empty.emitterCount + empty.particleCount, 0);
    for (int32_t type = 0; type <= 10; ++type) {
        for (Scene* scene : {&noEmitters, &noAbsorbers, &empty}) applyFormation(*scene, type);
        if (type == 3) expectTarget(noEmitters.absorbers[2], Vector3(300, 450, 50), 0);
    }
    expectTarget(noAbsorbers.emitters[2], Vector3(500, 100, 50), 0);

    // An unknown type changes no slot and draws nothing.
    applyFormation(single, 7);
    const Vector3 slot = single.emitters[0].moveTarget;
    Random expected = single.random;
    for (int32_t type : {-1, 11, INT32_MIN}) applyFormation(single, type);
    expectTarget(single.emitters[0], slot, 0);
    EXPECT_EQ(single.random.next(), expected.next());
}

TEST(FormationCycle, ChoiceNeverRepeatsTheLayoutInForce) {
    // A draw naming the layout in force takes the next one: 9 gives 10, and 10 (top draw) wraps to 0.
    for (int32_t current = 0; current <= 10; ++current) {
        Scene scene;
        makeScene(scene, 3, 3, 0);
        applyFormation(scene, 10);
        scene.formation.blend = 1.0f;
        placePoles(scene);  // the poles stand at the meeting points
        scene.formation.formationType = current;
        scene.formation.formationAngle = 3.1415927f;  // a glide ends now
        const Vector3 standing = scene.emitters[0].position;
        scene.random = randomWhoseNextDrawIs(std::min(current * 32767 / 10 + 100, 32767));
        advanceFormation(scene, 0.0f);
        EXPECT_EQ(scene.formation.formationType, (current + 1) % 11);
        if (current == 9) expectTarget(scene.emitters[0], Vector3(500, 100, 50), 0);
        // The glide to the new layout starts where the poles stand: no jump.
        placePoles(scene);
        expectVector(scene.emitters[0].position, standing.x, standing.y, standing.z);
    }
}

TEST(FormationCycle, OneGlideInFourIsFastWhateverTheGlideBefore) {
    // The choice's second draw sets the rate: up to 8191 (a quarter of the range) fast, above slow.
    for (const auto& [draw, rate] : {std::pair<int, float>{8191, 0.1f}, {8192, 0.001f}, {0, 0.1f}, {32767, 0.001f}}) {
        for (float before : {0.1f, 0.001f}) {
            Scene scene;
            makeScene(scene, 3, 3, 0);
            scene.formation.formationRate = before;
            scene.random = randomWhoseNextDrawsAre(5000, draw);
            advanceFormation(scene, 0.0f);
            EXPECT_EQ(scene.formation.formationRate, rate) << draw << " after " << before;
        }
    }
}

TEST(FormationCycle, HoldThenGlideAtTheFastAndTheSlowRate) {
    // A ten-second hold, then a glide of pi / (SpeedScale * rate) seconds.
    const struct { float rate, dt, glideSeconds, tolerance; } cycles[] = {{0.1f, 0.01f, 3.14159f, 0.02f},
                                                                         {0.001f, 0.05f, 314.159f, 0.5f}};
    for (const auto& cycle : cycles) {
        Scene scene;
        makeScene(scene, 3, 3, 0);
        advanceFormation(scene, 0.0f);  // the first frame chooses a layout at once
        scene.formation.formationRate = cycle.rate;
        float elapsed = 0;
        do {
            advanceFormation(scene, cycle.dt);
            elapsed += cycle.dt;
        } while (scene.formation.holdTimer != 10.0f && elapsed < 1000.0f);  // until the next choice
        EXPECT_NEAR(elapsed, 10.0f + cycle.glideSeconds, cycle.tolerance) << cycle.rate;
    }
}
