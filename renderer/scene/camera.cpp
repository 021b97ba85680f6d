// The frame driver's own animations, the camera dolly and the spin, and the order of one frame.
#include <cmath>

#include "renderer/scene/scene.h"

namespace {
constexpr float Pi = 3.1415927f;
// Dolly phase gained per second per unit of CameraSpeed (radians).
constexpr float DollyRate = 0.01f;
// New leg end: -(r * DollySpread) - DollyNear, i.e. -200 .. -1500.
constexpr float DollySpread = 0.039674062f;
constexpr float DollyNear = 200.0f;
// The spin's angle is its turn in this time (seconds): one frame at 60 frames a second.
constexpr float SpinTurnSeconds = 1.0f / 60.0f;
// Spin glide per second per unit of CameraSpeed (radians per frame, per second).
constexpr float SpinGlideRate = 0.0002f;
// Spin target length per unit of r and of CameraSpeed: r/32767 * 0.002.
constexpr float SpinTargetScale = 6.103702e-08f;
}  // namespace

// Cosine-eased leg from dollyFrom to dollyTo; the leg ending this frame picks the next target.
void advanceCameraDolly(Scene& scene, float dt) {
    scene.dollyPhase += static_cast<float>(scene.settings.CameraSpeed) * dt * DollyRate;
    const float f = 0.5f - 0.5f * std::cos(scene.dollyPhase);
    scene.cameraZ = (1.0f - f) * scene.dollyFrom + f * scene.dollyTo;
    if (scene.dollyPhase >= Pi) {
        scene.dollyFrom = scene.dollyTo;
        const int r = scene.random.next();
        scene.dollyPhase = 0.0f;
        scene.dollyTo = -(static_cast<float>(r) * DollySpread) - DollyNear;
    }
}

// The turn follows the frame time, so the scene turns as fast per second at any frame rate.
void advanceSpin(Scene& scene, float dt) {
    if (scene.firstFrame) {
        scene.firstFrame = false;
        scene.spinVelocity = Vector3(0, 0, 0);
        scene.spinTarget = scene.spinVelocity;
        scene.orientation = Quaternion();
    }
    Vector3 d = scene.spinTarget - scene.spinVelocity;
    const float len = d.normalise();
    const float cameraSpeed = static_cast<float>(scene.settings.CameraSpeed);
    const float step = cameraSpeed * dt * SpinGlideRate;
    if (len > step) {
        scene.spinVelocity = scene.spinVelocity + d * step;
    } else {
        scene.spinVelocity = scene.spinTarget;
        if (chooseInt(2, scene.random.next()) == 0) {
            scene.spinTarget = Vector3(0, 0, 0);
        } else {
            const int r1 = scene.random.next();
            const int r2 = scene.random.next();
            const int r3 = scene.random.next();
            scene.spinTarget = Vector3(fraction(r2), fraction(r1), fraction(r3));
            scene.spinTarget.normalise();
            const int r4 = scene.random.next();
            scene.spinTarget = scene.spinTarget * (static_cast<float>(r4) * SpinTargetScale * cameraSpeed);
        }
    }
    Vector3 axis = scene.spinVelocity;
    const float angle = axis.normalise() * (dt / SpinTurnSeconds);
    scene.orientation.multiply(Quaternion::fromAngleAxis(angle, axis));
    scene.sceneRotation.setFromQuaternion(scene.orientation);
}

// Everything a frame changes before it is drawn, in the frame's fixed order.
void advanceScene(Scene& scene, float dt) {
    advanceCameraDolly(scene, dt);
    advanceSpin(scene, dt);
    advanceColourCycle(scene, dt);
    spawnParticles(scene, dt);
    advanceFormation(scene, dt);
    placePoles(scene);
    updateParticles(scene, dt);
    advanceVeil(scene, dt);
}
