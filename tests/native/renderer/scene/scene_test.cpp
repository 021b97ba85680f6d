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
