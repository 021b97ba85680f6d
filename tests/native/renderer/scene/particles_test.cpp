// Particle release and motion.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "renderer/scene/scene_test_support.h"

namespace {
// Particles in play in a field scene: 0..3 take the four-at-a-time step, 4 the one-by-one step.
constexpr int FieldParticles = 5;

// A scene of the given poles at fixed places, with like particles in play at p.
void fieldScene(Scene& scene, std::vector<Vector3> emitters, std::vector<Vector3> absorbers, Vector3 p, float speed) {
    makeScene(scene, static_cast<int32_t>(emitters.size()), static_cast<int32_t>(absorbers.size()), FieldParticles);
    for (size_t k = 0; k < emitters.size(); ++k) scene.emitters[k].position = emitters[k];
    for (size_t k = 0; k < absorbers.size(); ++k) scene.absorbers[k].position = absorbers[k];
    for (int k = 0; k < FieldParticles; ++k) {
        scene.particles[k].position = p;
        scene.particles[k].speed = speed;
    }
    scene.liveParticleCount = FieldParticles;
}

// Expects the particles of both steps at (x, y, z).
void expectParticlesAt(const Scene& scene, float x, float y, float z, float tolerance) {
    for (int k : {0, FieldParticles - 1}) expectVector(scene.particles[k].position, x, y, z, tolerance);
}

// True when p lies one release step from the emitter: along an axis, or along a diagonal.
bool releasedFrom(const Vector3& p, const Vector3& emitter, float step) {
    Vector3 offset = p - emitter;
    const float distance = offset.normalise();
    return std::fabs(distance - step) < 1e-3f || std::fabs(distance - step * std::sqrt(3.0f)) < 1e-3f;
}
}  // namespace

TEST(Particles, WorkedExampleMovesAlongTheFieldOrIsSwallowed) {
    Scene scene;
    fieldScene(scene, {{0, 0, 0}}, {{300, 0, 0}}, Vector3(100, 0, 0), 100.0f);
    updateParticles(scene, 0.1f);
    expectParticlesAt(scene, 110.0f, 0.0f, 0.0f, 1e-4f);

    fieldScene(scene, {{0, 0, 0}}, {{300, 0, 0}}, Vector3(290, 0, 0), 100.0f);  // exactly one step away
    updateParticles(scene, 0.1f);
    expectParticlesAt(scene, 300.0f, 0.0f, 0.0f, 1e-4f);

    fieldScene(scene, {{0, 0, 0}}, {{300, 0, 0}}, Vector3(295, 0, 0), 100.0f);
    scene.spawnColour = Vector3(0.25f, 0.5f, 1.0f);
    updateParticles(scene, 0.1f);
    for (int k : {0, FieldParticles - 1}) {
        EXPECT_TRUE(releasedFrom(scene.particles[k].position, Vector3(0, 0, 0), 10.0f)) << k;
        expectVector(scene.particles[k].colour, 0.25f, 0.5f, 1.0f);
    }
}

TEST(Particles, ZeroFrameTimeMovesNothingAndSwallowsNothing) {
    Scene scene;
    fieldScene(scene, {{10, 20, 30}}, {{-50, 0, 0}}, Vector3(-50, 0, 0), 100.0f);
    updateParticles(scene, 0.0f);  // standing on the absorber, yet not swallowed
    expectParticlesAt(scene, -50.0f, 0.0f, 0.0f, 0.0f);
    respawnParticle(scene, scene.particles[0], 0.0f);
    expectVector(scene.particles[0].position, 10.0f, 20.0f, 30.0f);
}

TEST(Particles, ZeroSumOfForcesOrAPoleUnderTheParticleMeansPlusY) {
    Scene scene;
    fieldScene(scene, {{-10, 0, 0}, {10, 0, 0}}, {}, Vector3(0, 0, 0), 50.0f);  // forces cancel
    updateParticles(scene, 0.2f);
    expectParticlesAt(scene, 0.0f, 10.0f, 0.0f, 1e-5f);

    // The emitter under the particle pulls (0, 1, 0) with weight 1; the far absorber barely counts.
    fieldScene(scene, {{5, 5, 5}}, {{5, -995, 5}}, Vector3(5, 5, 5), 10.0f);
    updateParticles(scene, 1.0f);
    expectParticlesAt(scene, 5.0f, 15.0f, 5.0f, 1e-4f);
}

TEST(Particles, LostBeyondElevenThousandFromAnyEmitter) {
    Scene scene;
    fieldScene(scene, {{0, 0, 0}, {11000, 0, 0}}, {{0, 5000, 0}}, Vector3(11000.5f, 0, 0), 100.0f);
    updateParticles(scene, 0.01f);
    for (int k : {0, FieldParticles - 1}) {
        const Vector3 p = scene.particles[k].position;
        EXPECT_TRUE(releasedFrom(p, Vector3(0, 0, 0), 1.0f) || releasedFrom(p, Vector3(11000, 0, 0), 1.0f)) << k;
    }

    // Just within reach: one step of the field, pushed away from the near emitter.
    fieldScene(scene, {{0, 0, 0}, {11000, 0, 0}}, {{0, 5000, 0}}, Vector3(10999.5f, 0, 0), 100.0f);
    updateParticles(scene, 0.01f);
    expectParticlesAt(scene, 10998.5f, 0.0f, 0.0f, 1e-2f);
}

TEST(Particles, ReleaseScheduleAtShortAndLongFrames) {
    // Over 12 s: one at once, then one per 120 s / count.
    for (const auto& [count, released] : {std::pair<int32_t, int32_t>{1000, 101}, {100, 11}}) {
        Scene scene;
        makeScene(scene, 3, 3, count);
        for (int frame = 0; frame < 240; ++frame) spawnParticles(scene, 0.05f);
        EXPECT_NEAR(scene.liveParticleCount, released, 1) << count;
    }

    Scene fresh;
    makeScene(fresh, 3, 3, 1000);
    spawnParticles(fresh, 0.5f);
    EXPECT_EQ(fresh.liveParticleCount, 5);
    spawnParticles(fresh, 0.5f);
    EXPECT_EQ(fresh.liveParticleCount, 9);
    spawnParticles(fresh, 1.0e6f);  // never more than the array holds
    EXPECT_EQ(fresh.liveParticleCount, 1000);
}

TEST(Particles, NoEmittersReleaseAtTheOriginAndNothingCrashes) {
    Scene scene;
    makeScene(scene, 0, 2, 50);
    spawnParticles(scene, 0.0f);
    expectVector(scene.particles[0].position, 0.0f, 0.0f, 0.0f);
    for (int frame = 0; frame < 3000; ++frame) advanceScene(scene, 0.05f);
    EXPECT_EQ(scene.liveParticleCount, 50);
    for (int32_t i = 0; i < 50; ++i) EXPECT_TRUE(std::isfinite(scene.particles[i].position.x));

}

TEST(Particles, BatchUpdateMatchesOneByOneUpdateExactly) {
    // The four-at-a-time update must equal particle-by-particle updates, also on the awkward cases:
    // on an emitter, within one step of an absorber, lost far away, within one unit of an emitter.
    Scene batch, single;
    for (Scene* s : {&batch, &single}) {
        seedScene(*s, 99);
        createSceneObjects(*s);
        for (int frame = 0; frame < 300; ++frame) advanceScene(*s, 0.2f);
        s->particles[5].position = s->emitters[1].position;
        s->particles[10].position = s->absorbers[2].position + Vector3(0.5f, 0, 0);
        s->particles[13].position = Vector3(20000, 0, 0);
        s->particles[14].position = s->emitters[0].position + Vector3(0.25f, 0, 0);
    }
    ASSERT_GE(batch.liveParticleCount, 400);
    updateParticles(batch, 0.03f);
    for (int32_t i = 0; i < single.liveParticleCount; ++i) updateParticle(single, single.particles[i], 0.03f);
    for (int32_t i = 0; i < batch.liveParticleCount; ++i) {
        const Vector3 &a = batch.particles[i].position, &b = single.particles[i].position;
        ASSERT_TRUE(a.x == b.x && a.y == b.y && a.z == b.z) << "particle " << i;
    }
    EXPECT_EQ(batch.random.next(), single.random.next());
}
