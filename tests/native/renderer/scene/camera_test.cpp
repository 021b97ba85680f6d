// The camera dolly, the spin and the veil.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "renderer/scene/scene_test_support.h"

TEST(CameraDolly, StartsFromMinusThousandAndStaysWithinEachLeg) {
    Scene scene;
    makeScene(scene, 0, 0, 0);
    advanceCameraDolly(scene, 0.0f);
    EXPECT_FLOAT_EQ(scene.cameraZ, -1000.0f);

    int legs = 0;
    const float frameTimes[] = {0.016f, 0.5f, 0.0f, 3.0f, 0.033f};
    for (int frame = 0; frame < 20000; ++frame) {
        const float from = scene.dollyFrom, to = scene.dollyTo;
        advanceCameraDolly(scene, frameTimes[frame % 5]);
        EXPECT_TRUE(scene.cameraZ >= std::min(from, to) - 1e-3f && scene.cameraZ <= std::max(from, to) + 1e-3f);
        EXPECT_TRUE(scene.dollyTo >= -1500.0f && scene.dollyTo <= -200.0f) << scene.dollyTo;
        if (scene.dollyFrom != from) ++legs;
    }
    EXPECT_GT(legs, 100);
}

TEST(Spin, ZeroFrameTimeStillTurnsByTheSpinLength) {
    Scene scene;
    makeScene(scene, 0, 0, 0);
    scene.firstFrame = false;
    scene.spinVelocity = Vector3(0, 0, 0.01f);
    scene.spinTarget = Vector3(0.02f, 0, 0);
    advanceSpin(scene, 0.0f);
    EXPECT_EQ(scene.spinVelocity.z, 0.01f);  // the glide did not move
    EXPECT_NEAR(scene.sceneRotation.m[0], std::cos(0.01f), 1e-6f);
    EXPECT_NEAR(scene.sceneRotation.m[1], std::sin(0.01f), 1e-6f);
    advanceSpin(scene, 0.0f);
    EXPECT_NEAR(scene.sceneRotation.m[1], std::sin(0.02f), 1e-6f);  // turns add up frame by frame
}

TEST(Spin, ReachedTargetDrawsANewOneAtOnce) {
    // The first draw decides: below half, stop (one draw); else a new turn of at most 0.02 rad with
    // no negative component (five draws).
    for (int firstDraw = 0; firstDraw <= 32767; firstDraw += 1024) {
        const bool stops = firstDraw < 16384;
        Scene scene;
        makeScene(scene, 0, 0, 0);
        scene.firstFrame = false;
        scene.spinVelocity = scene.spinTarget = Vector3(0.003f, 0.004f, 0.0f);
        scene.random = randomWhoseNextDrawIs(firstDraw);
        Random expected = scene.random;
        for (int n = 0; n < (stops ? 1 : 5); ++n) expected.next();
        advanceSpin(scene, 0.02f);
        expectVector(scene.spinVelocity, 0.003f, 0.004f, 0.0f);
        EXPECT_EQ(scene.random.next(), expected.next()) << firstDraw;
        Vector3 t = scene.spinTarget;
        const float length = t.normalise();
        EXPECT_EQ(length == 0.0f, stops) << firstDraw;
        EXPECT_TRUE(t.x >= 0.0f && t.y >= 0.0f && t.z >= 0.0f && length <= 0.02f + 1e-6f) << firstDraw;
    }
}

TEST(Spin, NewTargetPointsAlongTheDrawsInTheirOrderAndEachTurnIsAppliedFirst) {
    Scene scene;
    makeScene(scene, 0, 0, 0);
    scene.firstFrame = false;
    // A quarter turn about x is reached, and the next target is drawn: r2, r1, r3 make its
    // direction and r4 its length.
    scene.spinVelocity = scene.spinTarget = Vector3(1.5707964f, 0, 0);
    scene.random = randomWhoseNextDrawIs(20000);
    Random draws = scene.random;
    draws.next();
    const float r1 = draws.next(), r2 = draws.next(), r3 = draws.next(), r4 = draws.next();
    advanceSpin(scene, 0.0f);
    Vector3 direction(r2, r1, r3);
    direction.normalise();
    const float length = r4 / 32767.0f * 0.02f;
    expectVector(scene.spinTarget, direction.x * length, direction.y * length, direction.z * length, 1e-7f);

    // A quarter turn about z next: the new turn is applied before the one made so far, so x
    // goes to y, and y (after the turn about x) to z.
    scene.spinVelocity = scene.spinTarget = Vector3(0, 0, 1.5707964f);
    advanceSpin(scene, 0.0f);
    expectVector(Vector3(scene.sceneRotation.m[0], scene.sceneRotation.m[1], scene.sceneRotation.m[2]), 0, 0, 1, 1e-6f);
}

TEST(Veil, DefaultLevelTakesTwoHundredToAboutOneFiftyFive) {
    EXPECT_NEAR(200.0f * (1.0f - veilAlpha(10)), 155.0f, 0.5f);
    EXPECT_FLOAT_EQ(veilAlpha(0), 0.5f);
}
