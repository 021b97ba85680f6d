#include "renderer/scene/scene_test_support.h"

static long allocations = 0;  // counted by the sanitizer, which calls this hook for every allocation
extern "C" void __sanitizer_malloc_hook(const volatile void*, std::size_t) { ++allocations; }

TEST(Scene, ParticlesFromTheSettingsReleasedInTurnInFramesThatAllocateNothing) {
    Scene scene;
    scene.settings = SceneSettings{3, 3, 100, 20, 5};  // 100 particles, sizes 20, speeds 5
    createSceneObjects(scene);
    // Sizes spread over 0.4 to 2.4 times the size setting, and a small particle is a fast one.
    ASSERT_EQ(scene.particleCount(), 100);
    for (const Particle& p : scene.particles) {
        EXPECT_TRUE(p.size >= 8.0f && p.size <= 48.0f) << p.size;
        EXPECT_NEAR(p.size * p.speed, 20 * 5 * 12, 0.01f) << p.size;
    }
    // One particle at once, then one every 120 s / 100; long frames bring in several, never more than there are.
    const long before = allocations;
    for (int frame = 0; frame < 120; ++frame) advanceScene(scene, 0.1f);
    EXPECT_NEAR(scene.liveParticleCount, 11, 1);
    for (int frame = 0; frame < 1000; ++frame) advanceScene(scene, frame % 10 == 0 ? 15.0f : 0.1f);
    EXPECT_EQ(allocations, before) << "frames allocated";
    EXPECT_EQ(scene.liveParticleCount, 100);
    makeScene(scene, 2, 1, 5);
    EXPECT_EQ(allocations, before + 3) << "the counter sees the three lists made";
    makeScene(scene, -2, 0, -5);  // negative counts from the settings make no objects
    EXPECT_EQ(scene.emitterCount() + scene.absorberCount() + scene.particleCount() + scene.liveParticleCount, 0);
    for (int frame = 0; frame < 100; ++frame) advanceScene(scene, 0.5f);
    EXPECT_NEAR(200.0f * (1.0f - veilAlpha(10)), 155.0f, 0.5f) << "the default veil takes 200 to about 155";
}

// At 30, 60, 144 and 240 frames a second a viewer sees what 60 show: the spin turns as far in a
// second, trails fade as much in a second, and an 8-bit picture keeps no more of them than at 60.
TEST(Scene, TheTurnAndTheFadePerSecondAreTheSameAtEveryFrameRate) {
    const auto perSecond = [](int fps, int trailLevel) {
        Scene scene;
        makeScene(scene, 3, 3, 0);
        scene.settings.CameraSpeed = 0;  // the spin keeps its speed: no glide toward another target
        scene.settings.TrailLevel = trailLevel;
        scene.firstFrame = false;
        scene.spinVelocity = Vector3(0, 0.02f, 0);  // 0.02 rad in a sixtieth of a second
        scene.spinTarget = Vector3(0, 0, 0.02f);
        double keep = 1.0, turn = 0.0;
        int level = 255;  // one 8-bit channel under the multiplying veil, whose colour is 8-bit too
        for (int frame = 0; frame < 3 * fps; ++frame) {
            advanceSpin(scene, 1.0f / fps);
            advanceVeil(scene, 1.0f / fps);
            const int veilColour = static_cast<int>(std::lround((1.0f - scene.frameVeil) * 255));
            level = static_cast<int>(std::lround(level * veilColour / 255.0));
            if (frame < fps) keep *= 1.0 - scene.frameVeil;
            if (frame == fps - 1) turn = 2 * std::acos(std::min(1.0f, std::fabs(scene.orientation.w)));  // in a second
        }
        return std::tuple<double, double, int>(turn, keep, level);
    };
    for (int trails : {10, 60, 100}) {
        const auto [turn60, keep60, residue60] = perSecond(60, trails);
        EXPECT_NEAR(turn60, 0.02 * 60, 1e-3) << "60 frames a second turn by the spin's angle each";
        for (int fps : {25, 30, 48, 144, 240}) {  // 25 and 48: " 30" at 50 Hz, " 60" at 144 Hz
            const auto [turn, keep, residue] = perSecond(fps, trails);
            EXPECT_NEAR(turn, turn60, 0.1 * turn60) << fps << " fps";
            EXPECT_NEAR(std::log(keep), std::log(keep60), 0.1 * std::fabs(std::log(keep60))) << fps << " fps, trails " << trails;
            EXPECT_LE(residue, residue60) << fps << " fps, trails " << trails << ": faint trails left for good";
        }
    }
}

// A scene seeded again starts over with its new counts: after a minute at 50 particles, the same seed made at
// 5000 plays frame by frame as a new scene of 5000 does (the camera, the spin, the poles, the particles in play).
TEST(Scene, SeededAgainItPlaysAsANewSceneFromThatSeed) {
    Scene played, fresh;
    makeScene(played, 2, 2, 50);
    for (int frame = 0; frame < 60 * 30; ++frame) advanceScene(played, 1.0f / 30);
    makeScene(played, 3, 3, 5000);
    makeScene(fresh, 3, 3, 5000);
    for (int frame = 0; frame < 30; ++frame) {
        advanceScene(played, 1.0f / 30);
        advanceScene(fresh, 1.0f / 30);
    }
    ASSERT_GT(fresh.liveParticleCount, 30);
    EXPECT_EQ(played.liveParticleCount, fresh.liveParticleCount);
    EXPECT_EQ(played.cameraZ, fresh.cameraZ);
    EXPECT_EQ(played.orientation.w, fresh.orientation.w);
    for (int32_t k = 0; k < fresh.liveParticleCount; ++k) {
        expectVector(played.particles[size_t(k)].position, fresh.particles[size_t(k)].position.x,
                     fresh.particles[size_t(k)].position.y, fresh.particles[size_t(k)].position.z);
    }
    expectVector(played.emitters[0].position, fresh.emitters[0].position.x, fresh.emitters[0].position.y,
                 fresh.emitters[0].position.z);
}
