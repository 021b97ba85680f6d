#include "renderer/scene/scene_test_support.h"

TEST(Spin, NewTargetFollowsTheDrawsInTheirOrderAndEachTurnIsAppliedFirst) {
    Scene scene;
    makeScene(scene, 0, 0, 0);
    scene.firstFrame = false;
    // A quarter turn about x is reached, and the next target is drawn: r2, r1, r3 make its direction, r4 its length.
    scene.spinVelocity = scene.spinTarget = Vector3(1.5707964f, 0, 0);
    scene.random = randomWhoseNextDrawIs(20000);
    Random draws = scene.random;
    draws.next();
    const float r1 = draws.next(), r2 = draws.next(), r3 = draws.next(), length = draws.next() / 32767.0f * 0.02f;
    advanceSpin(scene, 1.0f / 60);  // one frame at 60 Hz turns by the spin's whole angle
    Vector3 direction(r2, r1, r3);
    direction.normalise();
    expectVector(scene.spinTarget, direction.x * length, direction.y * length, direction.z * length, 1e-7f);
    // A quarter turn about z next, applied before the turn made so far: x goes to y, and y (turned about x) to z.
    scene.spinVelocity = scene.spinTarget = Vector3(0, 0, 1.5707964f);
    advanceSpin(scene, 1.0f / 60);
    expectVector(Vector3(scene.sceneRotation.m[0], scene.sceneRotation.m[1], scene.sceneRotation.m[2]), 0, 0, 1, 1e-6f);
}
