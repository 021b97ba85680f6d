#include "renderer/scene/scene.h"

#include <cmath>

namespace {
// Draws thrown away after seeding, as set-up does.
constexpr int DiscardedDraws = 20;
// Pole construction: coordinate = r * PoleCoordinateScale - PoleCoordinateOffset, in -500..500.
constexpr float PoleCoordinateScale = 0.030518509f;
constexpr float PoleCoordinateOffset = 500.0f;
// Particle construction: f = r * ParticleFactorScale + ParticleFactorBase, in 0.4..2.4.
constexpr float ParticleFactorScale = 0.000061037019f;
constexpr float ParticleFactorBase = 0.4f;
// Speed per unit of SpeedScale for f = 1 (scene units per second).
constexpr float ParticleBaseSpeed = 12.0f;
// Veil opacity = VeilBase - VeilSlope * trailLevel^(1/4).
constexpr float VeilBase = 0.5f;
constexpr float VeilSlope = 0.15495f;

// Places a new pole at a random point of the cube -500..500, drawing y, x, z in that order.
void constructPole(Scene& scene, Pole& pole) {
    const int r1 = scene.random.next();
    const int r2 = scene.random.next();
    const int r3 = scene.random.next();
    pole.position = Vector3(static_cast<float>(r2) * PoleCoordinateScale - PoleCoordinateOffset,
                            static_cast<float>(r1) * PoleCoordinateScale - PoleCoordinateOffset,
                            static_cast<float>(r3) * PoleCoordinateScale - PoleCoordinateOffset);
}

// Makes a waiting particle whose size times speed is the same for every particle.
void constructParticle(Scene& scene, Particle& particle) {
    particle.position = Vector3(0, 0, 0);
    particle.colour = Vector3(0, 0, 0);
    const float f = static_cast<float>(scene.random.next()) * ParticleFactorScale + ParticleFactorBase;
    particle.size = static_cast<float>(scene.settings.SizeScale) * f;
    particle.speed = static_cast<float>(scene.settings.SpeedScale) * ParticleBaseSpeed / f;
}

// A negative count from the settings makes an empty array.
int32_t nonNegative(int32_t count) { return count > 0 ? count : 0; }
}  // namespace

Scene::~Scene() { destroySceneObjects(*this); }

// The 20 discarded draws keep a scene from a given seed identical to the renderer's own start.
void seedScene(Scene& scene, uint32_t seed) {
    scene.random.seed(seed);
    for (int n = 0; n < DiscardedDraws; ++n) scene.random.next();
}

// Arrays are made once here and never resized, so no frame allocates.
void createSceneObjects(Scene& scene) {
    destroySceneObjects(scene);
    scene.emitterCount = nonNegative(scene.settings.EmitterCount);
    scene.absorberCount = nonNegative(scene.settings.AbsorberCount);
    scene.particleCount = nonNegative(scene.settings.ParticleCount);
    scene.emitters = new Pole[scene.emitterCount];
    for (int32_t k = 0; k < scene.emitterCount; ++k) constructPole(scene, scene.emitters[k]);
    scene.absorbers = new Pole[scene.absorberCount];
    for (int32_t k = 0; k < scene.absorberCount; ++k) constructPole(scene, scene.absorbers[k]);
    scene.particles = new Particle[scene.particleCount];
    for (int32_t k = 0; k < scene.particleCount; ++k) constructParticle(scene, scene.particles[k]);
}

// Safe to call twice: each array is freed only if it exists.
void destroySceneObjects(Scene& scene) {
    delete[] scene.emitters;
    scene.emitters = nullptr;
    scene.emitterCount = 0;
    delete[] scene.absorbers;
    scene.absorbers = nullptr;
    scene.absorberCount = 0;
    delete[] scene.particles;
    scene.particles = nullptr;
    scene.particleCount = 0;
    scene.liveParticleCount = 0;
}

// The fourth root is taken as the square root of the square root.
float veilAlpha(int32_t trailLevel) {
    return VeilBase - VeilSlope * std::sqrt(std::sqrt(static_cast<float>(trailLevel)));
}
