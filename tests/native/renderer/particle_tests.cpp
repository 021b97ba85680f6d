// Particle construction, release and motion.
#include <gtest/gtest.h>

#include <cmath>

#include "scene_test_support.h"

namespace {
// One emitter at e, one absorber at a, one particle in play at p with the given speed.
void fieldScene(Scene& scene, Vector3 e, Vector3 a, Vector3 p, float speed) {
    makeScene(scene, 1, 1, 1);
    scene.emitters[0].position = e;
    scene.absorbers[0].position = a;
    scene.particles[0].position = p;
    scene.particles[0].speed = speed;
    scene.liveParticleCount = 1;
}

float distance(const Vector3& a, const Vector3& b) {
    const Vector3 d = a - b;
    return std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
}

// True when p lies exactly `step` away from q along one of the fourteen release directions (or on q).
bool isReleaseOffset(const Vector3& p, const Vector3& q, float step) {
    const float offs[] = {p.x - q.x, p.y - q.y, p.z - q.z};
    const float tolerance = 1e-3f + 1e-5f * step;
    int moved = 0;
    for (float o : offs) {
        if (std::fabs(o) < tolerance) continue;
        if (std::fabs(std::fabs(o) - step) > tolerance) return false;
        ++moved;
    }
    return moved == 0 || moved == 1 || moved == 3;
}
}  // namespace

TEST(Particles, ConstructionSizeTimesSpeedIsConstant) {
    Scene scene;
    makeScene(scene, 3, 3, 1000);
    for (int32_t i = 0; i < scene.particleCount; ++i) {
        const Particle& p = scene.particles[i];
        EXPECT_NEAR(p.size * p.speed, 1200.0f, 0.01f);
        EXPECT_GE(p.size, 4.0f);
        EXPECT_LE(p.size, 24.0f + 1e-4f);
        EXPECT_EQ(p.position.x, 0.0f);
        EXPECT_EQ(p.colour.z, 0.0f);
    }
    Scene smallest;
    smallest.settings.EmitterCount = 0;
    smallest.settings.AbsorberCount = 0;
    smallest.settings.ParticleCount = 1;
    smallest.random = randomWhoseNextDrawIs(0);
    createSceneObjects(smallest);
    EXPECT_FLOAT_EQ(smallest.particles[0].size, 4.0f);
    EXPECT_FLOAT_EQ(smallest.particles[0].speed, 300.0f);
}

TEST(Particles, WorkedExampleMovesAlongTheFieldOrIsSwallowed) {
    Scene scene;
    fieldScene(scene, Vector3(0, 0, 0), Vector3(300, 0, 0), Vector3(100, 0, 0), 100.0f);
    updateParticles(scene, 0.1f);
    EXPECT_NEAR(scene.particles[0].position.x, 110.0f, 1e-4f);
    EXPECT_EQ(scene.particles[0].position.y, 0.0f);
    EXPECT_EQ(scene.particles[0].position.z, 0.0f);

    Scene near;
    fieldScene(near, Vector3(0, 0, 0), Vector3(300, 0, 0), Vector3(295, 0, 0), 100.0f);
    near.spawnColour = Vector3(0.25f, 0.5f, 1.0f);
    updateParticles(near, 0.1f);
    EXPECT_TRUE(isReleaseOffset(near.particles[0].position, Vector3(0, 0, 0), 10.0f));
    EXPECT_EQ(near.particles[0].colour.x, 0.25f);
    EXPECT_EQ(near.particles[0].colour.z, 1.0f);
}

TEST(Particles, ZeroFrameTimeMovesNothingAndSwallowsNothing) {
    Scene scene;
    fieldScene(scene, Vector3(10, 20, 30), Vector3(-50, 0, 0), Vector3(-50, 0, 0), 100.0f);
    updateParticles(scene, 0.0f);  // standing on the absorber, yet not swallowed
    EXPECT_EQ(scene.particles[0].position.x, -50.0f);
    EXPECT_EQ(scene.particles[0].position.y, 0.0f);

    respawnParticle(scene, scene.particles[0], 0.0f);
    expectVector(scene.particles[0].position, 10.0f, 20.0f, 30.0f);
}

TEST(Particles, CancellingForcesAndStandingOnAnEmitterMoveAlongPlusY) {
    Scene scene;
    makeScene(scene, 2, 0, 1);
    scene.emitters[0].position = Vector3(-10, 0, 0);
    scene.emitters[1].position = Vector3(10, 0, 0);
    scene.particles[0].position = Vector3(0, 0, 0);
    scene.particles[0].speed = 50.0f;
    scene.liveParticleCount = 1;
    updateParticles(scene, 0.2f);
    EXPECT_NEAR(scene.particles[0].position.x, 0.0f, 1e-5f);
    EXPECT_NEAR(scene.particles[0].position.y, 10.0f, 1e-5f);

    Scene onEmitter;
    fieldScene(onEmitter, Vector3(5, 5, 5), Vector3(5, -995, 5), Vector3(5, 5, 5), 10.0f);
    updateParticles(onEmitter, 1.0f);  // emitter adds (0,1,0) x 1, absorber (0,-1,0) x 0.001
    EXPECT_NEAR(onEmitter.particles[0].position.y, 15.0f, 1e-4f);
    EXPECT_NEAR(onEmitter.particles[0].position.x, 5.0f, 1e-5f);
}

TEST(Particles, LostBeyondElevenThousandFromAnyEmitter) {
    Scene scene;
    makeScene(scene, 2, 1, 1);
    scene.emitters[0].position = Vector3(0, 0, 0);
    scene.emitters[1].position = Vector3(11000, 0, 0);
    scene.absorbers[0].position = Vector3(0, 5000, 0);
    scene.particles[0].position = Vector3(11000.5f, 0, 0);
    scene.particles[0].speed = 100.0f;
    scene.liveParticleCount = 1;
    updateParticles(scene, 0.01f);
    const Vector3& p = scene.particles[0].position;
    EXPECT_TRUE(isReleaseOffset(p, Vector3(0, 0, 0), 1.0f) || isReleaseOffset(p, Vector3(11000, 0, 0), 1.0f));
    EXPECT_GT(distance(p, Vector3(11000.5f, 0, 0)), 0.6f);  // not a step of the field

    scene.particles[0].position = Vector3(10999.5f, 0, 0);  // within reach: moves normally
    updateParticles(scene, 0.01f);
    EXPECT_NEAR(distance(scene.particles[0].position, Vector3(10999.5f, 0, 0)), 1.0f, 1e-3f);
}

TEST(Particles, ReleaseScheduleAtShortAndLongFrames) {
    Scene scene;
    makeScene(scene, 3, 3, 1000);
    int previous = 0;
    for (int window = 0; window < 20; ++window) {
        for (int frame = 0; frame < 12; ++frame) spawnParticles(scene, 0.05f);
        const int released = scene.liveParticleCount - previous;
        EXPECT_GE(released, 4) << window;
        EXPECT_LE(released, 6) << window;
        previous = scene.liveParticleCount;
    }
    EXPECT_NEAR(scene.liveParticleCount, 101, 1);  // 12 s: one at once, then one per 0.12 s

    Scene fresh;
    makeScene(fresh, 3, 3, 1000);
    spawnParticles(fresh, 0.5f);
    EXPECT_EQ(fresh.liveParticleCount, 5);
    spawnParticles(fresh, 0.5f);
    EXPECT_EQ(fresh.liveParticleCount, 9);

    // Never more than the array holds, however long the frame.
    spawnParticles(fresh, 1.0e6f);
    EXPECT_EQ(fresh.liveParticleCount, 1000);
    spawnParticles(fresh, 1.0f);
    EXPECT_EQ(fresh.liveParticleCount, 1000);
}

TEST(Particles, ReleasedParticlesStartNextToAnEmitter) {
    Scene scene;
    makeScene(scene, 3, 3, 200);
    scene.spawnColour = Vector3(1, 0, 0);
    spawnParticles(scene, 120.0f);  // all 200 at once
    ASSERT_EQ(scene.liveParticleCount, 200);
    int atEmitter[3] = {0, 0, 0};
    for (int32_t i = 0; i < 200; ++i) {
        const Particle& p = scene.particles[i];
        bool found = false;
        for (int e = 0; e < 3; ++e) {
            if (isReleaseOffset(p.position, scene.emitters[e].position, 120.0f * p.speed)) {
                ++atEmitter[e];
                found = true;
                break;
            }
        }
        EXPECT_TRUE(found) << i;
        EXPECT_EQ(p.colour.x, 1.0f);
    }
    for (int count : atEmitter) EXPECT_GT(count, 30);  // every emitter is used
}

TEST(Particles, NoEmittersReleaseAtTheOriginAndNothingCrashes) {
    Scene scene;
    makeScene(scene, 0, 2, 50);
    spawnParticles(scene, 0.0f);
    EXPECT_EQ(scene.liveParticleCount, 1);
    expectVector(scene.particles[0].position, 0.0f, 0.0f, 0.0f);
    for (int frame = 0; frame < 3000; ++frame) advanceScene(scene, 0.05f);
    EXPECT_EQ(scene.liveParticleCount, 50);
    for (int32_t i = 0; i < 50; ++i) EXPECT_TRUE(std::isfinite(scene.particles[i].position.x));

    Scene nothing;
    makeScene(nothing, 0, 0, 0);
    for (int frame = 0; frame < 100; ++frame) advanceScene(nothing, 0.05f);
    EXPECT_EQ(nothing.liveParticleCount, 0);

    Scene negative;
    makeScene(negative, -3, -1, -10);
    for (int frame = 0; frame < 100; ++frame) advanceScene(negative, 0.05f);
    EXPECT_EQ(negative.liveParticleCount, 0);
}

TEST(Particles, BatchUpdateMatchesOneByOneUpdateExactly) {
    // Two identical scenes, some particles placed on the awkward cases: on an emitter, within one
    // step of an absorber, lost far away. The whole-array update must equal particle-by-particle updates.
    Scene batch, single;
    for (Scene* s : {&batch, &single}) {
        seedScene(*s, 99);
        createSceneObjects(*s);
        for (int frame = 0; frame < 300; ++frame) advanceScene(*s, 0.2f);
        s->particles[5].position = s->emitters[1].position;
        s->particles[10].position = s->absorbers[2].position + Vector3(0.5f, 0, 0);
        s->particles[13].position = Vector3(20000, 0, 0);
        s->particles[14].position = s->emitters[0].position + Vector3(1e-20f, 0, 0);
    }
    ASSERT_GE(batch.liveParticleCount, 400);
    updateParticles(batch, 0.03f);
    for (int32_t i = 0; i < single.liveParticleCount; ++i) updateParticle(single, single.particles[i], 0.03f);
    for (int32_t i = 0; i < batch.liveParticleCount; ++i) {
        ASSERT_EQ(batch.particles[i].position.x, single.particles[i].position.x) << i;
        ASSERT_EQ(batch.particles[i].position.y, single.particles[i].position.y) << i;
        ASSERT_EQ(batch.particles[i].position.z, single.particles[i].position.z) << i;
    }
    EXPECT_EQ(batch.random.next(), single.random.next());
    EXPECT_GT(distance(batch.particles[5].position, batch.emitters[1].position), 0.0f);  // moved off the emitter
}
