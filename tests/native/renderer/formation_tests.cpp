// Pole layouts and the formation cycle.
#include <gtest/gtest.h>

#include <cmath>

#include "scene_test_support.h"

namespace {
void expectTarget(const Pole& pole, float x, float y, float z, float tolerance = 0.05f) {
    expectVector(pole.moveTarget, x, y, z, tolerance);
}

// Puts the cycle at the end of a glide with layout `current` in force.
void endOfGlide(Scene& scene, int32_t current) {
    scene.formation.formationType = current;
    scene.formation.formationAngle = 3.1415927f;
    scene.formation.holdTimer = -1.0f;
}
}  // namespace

TEST(Formations, LinesRowsAndCirclesWithDefaultCounts) {
    Scene scene;
    makeScene(scene, 3, 3, 0);

    applyFormation(scene, 1);
    for (int k = 0; k < 3; ++k) expectTarget(scene.emitters[k], -500 + 200.0f * k, 0.5f * (-500 + 200.0f * k), 0);
    for (int k = 0; k < 3; ++k) expectTarget(scene.absorbers[k], 100 + 200.0f * k, 0.5f * (100 + 200.0f * k), 0);

    applyFormation(scene, 2);
    const float e2[] = {-500, -100, 300}, a2[] = {-300, 100, 500};
    for (int k = 0; k < 3; ++k) expectTarget(scene.emitters[k], e2[k], 0.5f * e2[k], 0);
    for (int k = 0; k < 3; ++k) expectTarget(scene.absorbers[k], a2[k], 0.5f * a2[k], 0);

    applyFormation(scene, 3);
    for (int k = 0; k < 3; ++k) expectTarget(scene.emitters[k], e2[k], -450, -50);
    for (int k = 0; k < 3; ++k) expectTarget(scene.absorbers[k], e2[k], 450, 50);

    applyFormation(scene, 4);
    for (int k = 0; k < 3; ++k) expectTarget(scene.emitters[k], e2[k], -450, 0);
    for (int k = 0; k < 3; ++k) expectTarget(scene.absorbers[k], 10, 450, e2[k]);

    applyFormation(scene, 7);
    expectTarget(scene.emitters[0], -170.8f, 104.1f, 0);
    const float emitterAngles[] = {2.5944f, 4.6888f, 6.7832f}, absorberAngles[] = {3.5944f, 5.6888f, 7.7832f};
    for (int k = 0; k < 3; ++k)
        expectTarget(scene.emitters[k], 200 * std::cos(emitterAngles[k]), 200 * std::sin(emitterAngles[k]), 0);
    for (int k = 0; k < 3; ++k)
        expectTarget(scene.absorbers[k], 500 * std::cos(absorberAngles[k]), 500 * std::sin(absorberAngles[k]), 0);

    applyFormation(scene, 8);  // one circle, absorbers continuing after the emitters
    expectTarget(scene.absorbers[2], 500 * std::cos(0.5f + 6.2831855f), 500 * std::sin(0.5f + 6.2831855f), 0);

    applyFormation(scene, 9);
    expectTarget(scene.emitters[0], 438.8f, 239.7f, 0);
    expectTarget(scene.absorbers[0], 11.8f, 499.9f, 0);
    expectTarget(scene.absorbers[2], 500 * std::cos(5.7359877f), 500 * std::sin(5.7359877f), 0);

    applyFormation(scene, 10);
    for (int k = 0; k < 3; ++k) expectTarget(scene.emitters[k], 500, 100, 50, 0);
    for (int k = 0; k < 3; ++k) expectTarget(scene.absorbers[k], -500, -100, -50, 0);
}

TEST(Formations, RandomLayoutsStayInTheCubeAndOnTheirPlanes) {
    Scene scene;
    makeScene(scene, 3, 4, 0);
    applyFormation(scene, 0);
    for (int k = 0; k < 3; ++k) EXPECT_LE(std::fabs(scene.emitters[k].moveTarget.z), 500.0f);
    applyFormation(scene, 5);
    EXPECT_EQ(scene.absorbers[3].moveTarget.y, 0.0f);
    EXPECT_NE(scene.absorbers[0].moveTarget.x, scene.absorbers[1].moveTarget.x);  // fresh draws per pole
    applyFormation(scene, 6);
    EXPECT_EQ(scene.emitters[2].moveTarget.y, -450.0f);
    EXPECT_EQ(scene.absorbers[3].moveTarget.y, 425.0f);
}

TEST(Formations, SinglePoleEmptyListsAndUnknownTypes) {
    Scene single;
    makeScene(single, 1, 0, 0);
    applyFormation(single, 1);
    expectTarget(single.emitters[0], -500, -250, 0, 0);

    // With no emitters every layout still places the absorbers as usual.
    Scene noEmitters, reference;
    makeScene(noEmitters, 0, 3, 0);
    makeScene(reference, 3, 3, 0);
    for (int32_t type = 0; type <= 10; ++type) applyFormation(noEmitters, type);
    applyFormation(noEmitters, 3);
    applyFormation(reference, 3);
    for (int k = 0; k < 3; ++k) {
        expectTarget(noEmitters.absorbers[k], reference.absorbers[k].moveTarget.x, 450, 50, 0);
    }
    Scene noAbsorbers;
    makeScene(noAbsorbers, 3, 0, 0);
    for (int32_t type = 0; type <= 10; ++type) applyFormation(noAbsorbers, type);
    expectTarget(noAbsorbers.emitters[2], 500, 100, 50, 0);
    Scene empty;
    makeScene(empty, 0, 0, 0);
    for (int32_t type = 0; type <= 10; ++type) applyFormation(empty, type);

    Scene scene;
    makeScene(scene, 3, 3, 0);
    applyFormation(scene, 7);
    for (int k = 0; k < 3; ++k) scene.emitters[k].position = Vector3(1, 2, 3);
    const Random generator = scene.random;
    for (int32_t type : {-1, 11, 12, 1000, INT32_MIN}) {
        applyFormation(scene, type);
        for (int k = 0; k < 3; ++k) {
            EXPECT_NE(scene.emitters[k].moveStart.x, 1.0f);
            EXPECT_NEAR(scene.emitters[0].moveTarget.x, -170.8f, 0.05f);
        }
    }
    EXPECT_EQ(drawsBetween(generator, scene.random), 0);
}

TEST(FormationCycle, FirstFrameChoosesALayoutAtOnceAndHoldsTenSeconds) {
    Scene scene;
    makeScene(scene, 3, 3, 0);
    const Vector3 start = scene.emitters[0].position;
    advanceFormation(scene, 0.016f);
    placePoles(scene);
    EXPECT_GE(scene.formation.formationType, 1);
    EXPECT_LE(scene.formation.formationType, 10);
    EXPECT_EQ(scene.formation.holdTimer, 10.0f);
    EXPECT_EQ(scene.formation.blend, 0.0f);

    advanceFormation(scene, 0.5f);
    placePoles(scene);
    EXPECT_FLOAT_EQ(scene.formation.holdTimer, 9.5f);
    EXPECT_EQ(scene.formation.blend, 0.0f);
    expectVector(scene.emitters[0].position, start.x, start.y, start.z);
}

TEST(FormationCycle, ChoiceNeverRepeatsTheLayoutInForce) {
    for (int32_t current = 0; current <= 9; ++current) {
        Scene scene;
        makeScene(scene, 3, 3, 0);
        endOfGlide(scene, current);
        scene.random = randomWhoseNextDrawIs(current * 32767 / 10 + 100);  // a draw naming `current`
        advanceFormation(scene, 0.0f);
        EXPECT_EQ(scene.formation.previousType, current);
        EXPECT_EQ(scene.formation.formationType, current + 1);
    }
    // 9 in force and a draw of 9 gives layout 10, whose meeting points are applied.
    Scene scene;
    makeScene(scene, 3, 3, 0);
    endOfGlide(scene, 9);
    scene.random = randomWhoseNextDrawIs(29600);
    advanceFormation(scene, 0.0f);
    EXPECT_EQ(scene.formation.formationType, 10);
    expectTarget(scene.emitters[0], 500, 100, 50, 0);
}

TEST(FormationCycle, TopDrawUnderLayoutTenWrapsToZeroAndPolesKeepGliding) {
    Scene scene;
    makeScene(scene, 3, 3, 0);
    applyFormation(scene, 10);
    scene.formation.blend = 1.0f;
    placePoles(scene);  // poles at the layout-10 points
    endOfGlide(scene, 10);
    scene.random = randomWhoseNextDrawIs(32767);
    advanceFormation(scene, 0.0f);
    EXPECT_EQ(scene.formation.previousType, 10);
    EXPECT_EQ(scene.formation.formationType, 0);
    // A real layout 0 was applied: new random slots, and the glide starts where the poles are.
    EXPECT_NE(scene.emitters[0].moveTarget.x, 500.0f);
    EXPECT_EQ(scene.emitters[0].moveStart.x, 500.0f);
    placePoles(scene);
    EXPECT_EQ(scene.emitters[0].position.x, 500.0f);  // no jump
}

TEST(FormationCycle, GlideTimingAndFastRateOneInFour) {
    // Fast glide: 10 s hold, then pi / (10 * 0.1) s.
    Scene fast;
    makeScene(fast, 3, 3, 0);
    endOfGlide(fast, 5);
    advanceFormation(fast, 0.0f);
    fast.formation.formationRate = 0.1f;

    auto secondsToNextChoice = [](Scene& scene, float dt) {
        float elapsed = 0;
        for (int frame = 0; frame < 1000000; ++frame) {
            advanceFormation(scene, dt);
            elapsed += dt;
            if (scene.formation.formationAngle == 0.0f && scene.formation.holdTimer == 10.0f) return elapsed;
        }
        return -1.0f;
    };
    EXPECT_NEAR(secondsToNextChoice(fast, 0.01f), 10.0f + 3.14159f, 0.02f);

    Scene slow;
    makeScene(slow, 3, 3, 0);
    endOfGlide(slow, 5);
    advanceFormation(slow, 0.0f);
    slow.formation.formationRate = 0.001f;
    EXPECT_NEAR(secondsToNextChoice(slow, 0.05f), 10.0f + 314.159f, 0.5f);

    // Over many choices about a quarter are fast.
    Scene many;
    makeScene(many, 3, 3, 0);
    int fastCount = 0;
    for (int n = 0; n < 2000; ++n) {
        endOfGlide(many, many.formation.formationType);
        advanceFormation(many, 0.0f);
        if (many.formation.formationRate == 0.1f) ++fastCount;
    }
    EXPECT_GT(fastCount, 400);
    EXPECT_LT(fastCount, 600);
}
