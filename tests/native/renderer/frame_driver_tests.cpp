// The camera dolly, the spin and the whole frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "renderer/frame/frame_driver.h"
#include "scene_test_support.h"

TEST(CameraDolly, FirstFrameStartsALegFromMinusThousandAndStaysWithinEachLeg) {
    Scene scene;
    makeScene(scene, 0, 0, 0);
    advanceCameraDolly(scene, 0.0f);
    EXPECT_FLOAT_EQ(scene.cameraZ, -1000.0f);
    EXPECT_EQ(scene.dollyFrom, -1000.0f);
    EXPECT_EQ(scene.dollyPhase, 0.0f);

    int legs = 0;
    const float frameTimes[] = {0.016f, 0.5f, 0.0f, 3.0f, 0.033f};
    for (int frame = 0; frame < 20000; ++frame) {
        const float from = scene.dollyFrom, to = scene.dollyTo;
        advanceCameraDolly(scene, frameTimes[frame % 5]);
        EXPECT_GE(scene.cameraZ, std::min(from, to) - 1e-3f);
        EXPECT_LE(scene.cameraZ, std::max(from, to) + 1e-3f);
        EXPECT_GE(scene.dollyTo, -1500.0f);
        EXPECT_LE(scene.dollyTo, -200.0f);
        if (scene.dollyFrom != from) ++legs;
    }
    EXPECT_GT(legs, 100);
}

TEST(CameraDolly, LongPauseEndsTheLegOnThatFrame) {
    Scene scene;
    makeScene(scene, 0, 0, 0);
    advanceCameraDolly(scene, 0.0f);
    const float target = scene.dollyTo;
    advanceCameraDolly(scene, 40.0f);  // phase 0.4 rad per 0.1 s -> overshoots pi
    EXPECT_EQ(scene.dollyFrom, target);
    EXPECT_EQ(scene.dollyPhase, 0.0f);
}

TEST(Spin, ZeroFrameTimeStillTurnsByTheSpinLength) {
    Scene scene;
    makeScene(scene, 0, 0, 0);
    scene.firstFrame = false;
    scene.spinVelocity = Vector3(0, 0, 0.01f);
    scene.spinTarget = Vector3(0.02f, 0, 0);
    advanceSpin(scene, 0.0f);
    EXPECT_EQ(scene.spinVelocity.z, 0.01f);  // the glide did not move
    // A point on x turns by 0.01 rad about z.
    const Matrix4& m = scene.sceneRotation;
    EXPECT_NEAR(m.m[0], std::cos(0.01f), 1e-6f);
    EXPECT_NEAR(m.m[1], std::sin(0.01f), 1e-6f);
    EXPECT_NEAR(m.m[10], 1.0f, 1e-6f);
    advanceSpin(scene, 0.0f);
    EXPECT_NEAR(scene.sceneRotation.m[1], std::sin(0.02f), 1e-6f);  // accumulates frame by frame
}

TEST(Spin, ReachedTargetDrawsANewOneAtOnce) {
    int stops = 0, turns = 0;
    for (uint32_t seed = 1; seed <= 200; ++seed) {
        Scene scene;
        seedScene(scene, seed);
        scene.firstFrame = false;
        scene.spinVelocity = Vector3(0.003f, 0.004f, 0.0f);
        scene.spinTarget = scene.spinVelocity;
        const Random before = scene.random;
        advanceSpin(scene, 0.02f);
        EXPECT_EQ(scene.spinVelocity.x, 0.003f);
        EXPECT_EQ(scene.spinVelocity.y, 0.004f);
        const Vector3& t = scene.spinTarget;
        const float length = std::sqrt(t.x * t.x + t.y * t.y + t.z * t.z);
        if (length == 0.0f) {
            ++stops;
            EXPECT_EQ(drawsBetween(before, scene.random), 1);
        } else {
            ++turns;
            EXPECT_EQ(drawsBetween(before, scene.random), 5);
            EXPECT_GE(t.x, 0.0f);
            EXPECT_GE(t.y, 0.0f);
            EXPECT_GE(t.z, 0.0f);
            EXPECT_LE(length, 0.02f + 1e-6f);
        }
    }
    EXPECT_GT(stops, 50);
    EXPECT_GT(turns, 50);
}

TEST(Frame, FirstFrameOfAFreshSceneAndLongRunStaysSane) {
    Scene scene;
    seedScene(scene, 42);
    createSceneObjects(scene);
    advanceScene(scene, 0.0f);
    EXPECT_EQ(scene.liveParticleCount, 1);
    EXPECT_EQ(scene.particles[0].colour.x, 0.0f);  // released before any colour exists
    EXPECT_EQ(scene.particles[0].colour.y, 0.0f);
    EXPECT_EQ(scene.particles[0].colour.z, 0.0f);
    EXPECT_FLOAT_EQ(scene.cameraZ, -1000.0f);
    const Matrix4 identity;
    for (int i = 0; i < 16; ++i) EXPECT_EQ(scene.sceneRotation.m[i], identity.m[i]);

    for (int frame = 0; frame < 3000; ++frame) advanceScene(scene, 0.05f);
    EXPECT_EQ(scene.liveParticleCount, 1000);
    int coloured = 0;
    for (int32_t i = 0; i < scene.liveParticleCount; ++i) {
        const Particle& p = scene.particles[i];
        ASSERT_TRUE(std::isfinite(p.position.x) && std::isfinite(p.position.y) && std::isfinite(p.position.z));
        if (p.colour.x + p.colour.y + p.colour.z > 0.5f) ++coloured;
    }
    EXPECT_GT(coloured, 990);
    // The rotation stays a rotation although the orientation is never renormalised.
    const float* m = scene.sceneRotation.m;
    EXPECT_NEAR(m[0] * m[0] + m[1] * m[1] + m[2] * m[2], 1.0f, 1e-4f);
}

TEST(Frame, VeilAlpha) {
    EXPECT_NEAR(veilAlpha(10), 0.22445562f, 1e-6f);
    EXPECT_FLOAT_EQ(veilAlpha(0), 0.5f);
    EXPECT_LT(veilAlpha(109), 0.0f);
    // A pixel of 200 keeps about 155 under one veil at the default level.
    EXPECT_NEAR(200.0f * (1.0f - veilAlpha(10)), 155.0f, 0.5f);
}
