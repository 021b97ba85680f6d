#include "renderer/scene/scene.h"

namespace {
// Seconds over which all particles come into play, one every ReleaseSpan / ParticleCount.
constexpr float ReleaseSpan = 120.0f;
// Number of release directions; a draw of 32767 gives a 15th, no offset.
constexpr int ReleaseDirections = 14;
// A particle farther than this from any emitter is lost and released again (scene units).
constexpr float LossDistance = 11000.0f;

// Signs of the release offset per direction.
struct Offset { float x, y, z; };
constexpr Offset DirectionTable[ReleaseDirections + 1] = {
    {+1, 0, 0}, {-1, 0, 0}, {0, +1, 0}, {0, -1, 0}, {0, 0, +1}, {0, 0, -1},
    {+1, +1, +1}, {-1, +1, +1}, {+1, -1, +1}, {-1, -1, +1},
    {+1, +1, -1}, {-1, +1, -1}, {+1, -1, -1}, {-1, -1, -1},
    {0, 0, 0},
};

// Pull of one pole: its unit direction weighted by the inverse distance, at most 1.
float weightOf(float dist) { return dist > 1.0f ? 1.0f / dist : 1.0f; }
}  // namespace

// Brings in one particle per release interval that has run out; a long frame brings in several.
void spawnParticles(Scene& scene, float dt) {
    if (scene.liveParticleCount >= scene.particleCount) return;
    scene.spawnTimer -= dt;
    const float interval = ReleaseSpan / static_cast<float>(scene.particleCount);
    while (scene.spawnTimer <= 0.0f && scene.liveParticleCount < scene.particleCount) {
        respawnParticle(scene, scene.particles[scene.liveParticleCount], dt);
        ++scene.liveParticleCount;
        scene.spawnTimer += interval;
    }
}

// Puts the particle one frame's travel away from a random emitter and gives it the colour of the moment.
// Without emitters it starts from the scene origin, with the same draws, so it keeps circulating.
void respawnParticle(Scene& scene, Particle& particle, float dt) {
    int emitter = chooseInt(scene.emitterCount, scene.random.next());
    if (emitter > scene.emitterCount - 1) emitter = scene.emitterCount - 1;
    particle.position = emitter >= 0 ? scene.emitters[emitter].position : Vector3(0, 0, 0);
    const float d = dt * particle.speed;
    const Offset& o = DirectionTable[chooseInt(ReleaseDirections, scene.random.next())];
    particle.position.x += o.x * d;
    particle.position.y += o.y * d;
    particle.position.z += o.z * d;
    particle.colour = scene.spawnColour;
}

// Steps every particle in play, index 0 first.
void updateParticles(Scene& scene, float dt) {
    for (int32_t n = 0; n < scene.liveParticleCount; ++n) updateParticle(scene, scene.particles[n], dt);
}

// Moves the particle speed * dt along the summed field, or releases it when swallowed or lost.
void updateParticle(Scene& scene, Particle& particle, float dt) {
    Vector3 force(0, 0, 0);
    bool released = false;
    for (int32_t n = 0; n < scene.emitterCount; ++n) {
        Vector3 d = particle.position - scene.emitters[n].position;
        const float dist = d.normalise();
        if (dist > LossDistance) released = true;
        force = force + d * weightOf(dist);
    }
    const float threshold = dt * particle.speed;
    for (int32_t n = 0; n < scene.absorberCount; ++n) {
        Vector3 d = scene.absorbers[n].position - particle.position;
        const float dist = d.normalise();
        if (dist < threshold) released = true;
        force = force + d * weightOf(dist);
    }
    if (released) {
        respawnParticle(scene, particle, dt);
        return;
    }
    force.normalise();
    particle.position = particle.position + (force * dt) * particle.speed;
}
