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
// Veil opacity at the standard trail level: VeilBase - VeilSlope * 10^(1/4).
constexpr int32_t StandardTrailLevel = 10;
constexpr float VeilBase = 0.5f;
constexpr float VeilSlope = 0.15495f;
// A trail's half-life grows with the level to this power: level 100 fades about 15 times slower
// than level 10, and level 1 all but clears.
constexpr float TrailGrowth = 1.166f;
// Veils are laid for this frame time, the rate at which the trails' look is set (seconds).
constexpr float VeilStepSeconds = 1.0f / 60.0f;
// A veil is laid once this share of its step has gathered, so that the 16 ms frames of a 60 Hz
// clock that counts milliseconds each get theirs; a weaker veil would leave an 8-bit picture more
// of its faint old trails for good than 60 Hz does.
constexpr float VeilStepShare = 0.95f;
// Gathered time this close to one step lays the level's veil exactly.
constexpr float WholeStepTolerance = 1e-3f;

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

// A negative count from the settings makes no objects.
size_t nonNegative(int32_t count) { return count > 0 ? static_cast<size_t>(count) : 0; }
}  // namespace

// The 20 discarded draws keep a scene from a given seed identical to the renderer's own start. A scene
// played before starts over too: a release timer, a dolly or a formation carried over from its last run
// would make a restarted picture differ from a new one (after a slider went from the fewest particles
// to the most, the first came out only after the fewest's interval of 2.4 s).
void seedScene(Scene& scene, uint32_t seed) {
    const SceneSettings settings = scene.settings;
    scene = Scene();
    scene.settings = settings;
    scene.random.seed(seed);
    for (int n = 0; n < DiscardedDraws; ++n) scene.random.next();
}

// The objects are made once here and never resized, so no frame allocates.
void createSceneObjects(Scene& scene) {
    destroySceneObjects(scene);
    scene.emitters.resize(nonNegative(scene.settings.EmitterCount));
    for (Pole& pole : scene.emitters) constructPole(scene, pole);
    scene.absorbers.resize(nonNegative(scene.settings.AbsorberCount));
    for (Pole& pole : scene.absorbers) constructPole(scene, pole);
    scene.particles.resize(nonNegative(scene.settings.ParticleCount));
    for (Particle& particle : scene.particles) constructParticle(scene, particle);
}

// Gives the memory back rather than only emptying, so a stopped scene holds nothing.
void destroySceneObjects(Scene& scene) {
    std::vector<Pole>().swap(scene.emitters);
    std::vector<Pole>().swap(scene.absorbers);
    std::vector<Particle>().swap(scene.particles);
    scene.liveParticleCount = 0;
}

// What a pass keeps is raised to the number of steps the gathered time stands for.
void advanceVeil(Scene& scene, float dt) {
    scene.veilPendingSeconds += dt;
    if (scene.veilPendingSeconds < VeilStepShare * VeilStepSeconds) {
        scene.frameVeil = 0.0f;
        return;
    }
    const float steps = scene.veilPendingSeconds / VeilStepSeconds;
    const float alpha = veilAlpha(scene.settings.TrailLevel);
    scene.frameVeil = std::fabs(steps - 1.0f) < WholeStepTolerance ? alpha : 1.0f - std::pow(1.0f - alpha, steps);
    scene.veilPendingSeconds = 0.0f;
}

// A scene drawn before any frame (a still, a test) lays the level's own veil.
float passVeil(const Scene& scene) {
    return scene.frameVeil < 0.0f ? veilAlpha(scene.settings.TrailLevel) : scene.frameVeil;
}

// What a pass keeps at level 10 is raised to (10 / level)^TrailGrowth, so the trail's half-life
// follows the level evenly over the whole range; the fourth root is the square root of the square root.
float veilAlpha(int32_t trailLevel) {
    const float standard = VeilBase - VeilSlope * std::sqrt(std::sqrt(static_cast<float>(StandardTrailLevel)));
    if (trailLevel == StandardTrailLevel) return standard;
    if (trailLevel <= 0) return 1.0f;
    const float exponent = std::pow(static_cast<float>(StandardTrailLevel) / static_cast<float>(trailLevel), TrailGrowth);
    return 1.0f - std::pow(1.0f - standard, exponent);
}
