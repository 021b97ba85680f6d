// The renderer's scene: invisible emitter and absorber poles gliding through formations,
// particles flowing between them, the spawn colour cycle, the camera dolly and the spin.
// Everything here is free of OpenGL and of any window system; renderer/draw draws what it leaves.
#pragma once
#include <cstdint>

#include "renderer/math/random.h"
#include "renderer/math/vector_math.h"

// Fixed integer settings, filled when the window is created.
struct SceneSettings {
    int32_t EmitterCount = 3;
    int32_t AbsorberCount = 3;
    int32_t ParticleCount = 1000;
    int32_t SizeScale = 10;
    int32_t SpeedScale = 10;
    int32_t CameraSpeed = 10;
    int32_t TrailLevel = 10;
};

// What a pole shares with a particle.
struct SpriteObject {
    Vector3 position;
    Vector3 colour;  // red, green, blue 0..1 (particles only)
    float size;      // sprite side in scene units (particles only)
};

// One emitter or absorber.
struct Pole : SpriteObject {
    Vector3 moveStart;   // place at which the current glide began
    Vector3 moveTarget;  // slot in the current layout
};

// One light particle.
struct Particle : SpriteObject {
    float speed;  // scene units per second
};

// Which layout is in force and how far the glide to it has come.
struct FormationState {
    int32_t formationType = 0;
    int32_t previousType = 0;
    float holdTimer = 0;              // seconds left before the glide starts
    float formationAngle = 3.1415927f;  // easing angle 0..pi of the glide
    float formationRate = 0.001f;     // 0.001 slow or 0.1 fast
    float blend = 0;                  // weight of moveTarget in a pole's place, 0..1
};

// The drift of the spawn colour in hue-saturation-value form.
struct ColourState {
    bool started = false;     // false until the first step has chosen a hue
    float colourPhase = 1.0f; // progress t of the current drift, 0..1
    float colourRate = 0;     // speed of t, per second
    Vector3 currentHsv{0, 0, 0};
    Vector3 startHsv{0, 0, 0};
    Vector3 targetHsv{0, 0, 0};
};

// The whole scene; the renderer's record holds one, tests make as many as they like.
struct Scene {
    SceneSettings settings;
    Random random;

    // Arrays made by createSceneObjects with the settings' counts (negative counts give empty arrays);
    // the counts below are their lengths and are what every operation uses.
    Pole* emitters = nullptr;
    Pole* absorbers = nullptr;
    Particle* particles = nullptr;
    int32_t emitterCount = 0;
    int32_t absorberCount = 0;
    int32_t particleCount = 0;

    FormationState formation;
    ColourState colour;
    Vector3 spawnColour{0, 0, 0};

    // Release state: particles 0..liveParticleCount-1 are in play.
    int32_t liveParticleCount = 0;
    float spawnTimer = 0;  // seconds until the next particle comes into play

    // Camera dolly.
    float dollyFrom = 0;
    float dollyTo = -1000;
    float dollyPhase = 3.1415927f;
    float cameraZ = 0;  // z translation of the view this frame

    // Spin.
    bool firstFrame = true;
    Vector3 spinVelocity{0, 0, 0};  // axis and angle (radians) of one frame's turn
    Vector3 spinTarget{0, 0, 0};
    Quaternion orientation;
    Matrix4 sceneRotation;  // matrix of orientation, rewritten every frame

    Scene() = default;
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;
    ~Scene();
};

// Seeds the scene's generator and discards 20 draws, as set-up does.
void seedScene(Scene& scene, uint32_t seed);
// Creates the emitters, absorbers and particles in this order, each in index order (constructors draw).
void createSceneObjects(Scene& scene);
// Frees the emitter, absorber and particle arrays in this order.
void destroySceneObjects(Scene& scene);

// One frame of simulation without drawing: dolly, spin, colour, release, formation, poles, particles.
void advanceScene(Scene& scene, float dt);
// Moves the camera along its eased leg and starts a new leg at the end of one.
void advanceCameraDolly(Scene& scene, float dt);
// Glides the spin toward its target, turns the orientation by one frame's spin, rewrites sceneRotation.
void advanceSpin(Scene& scene, float dt);
// Opacity of the black veil laid over each pass for the given trail level.
float veilAlpha(int32_t trailLevel);

// Formations.
void setMove(Pole& pole, const Vector3& target);
void applyFormation(Scene& scene, int32_t type);
void advanceFormation(Scene& scene, float dt);
void placePoles(Scene& scene);

// Colour cycle.
void advanceColourCycle(Scene& scene, float dt);
void HsvToRgb(float hue, float saturation, float value, float& red, float& green, float& blue);

// Particles.
void spawnParticles(Scene& scene, float dt);
void respawnParticle(Scene& scene, Particle& particle, float dt);
void updateParticles(Scene& scene, float dt);
void updateParticle(Scene& scene, Particle& particle, float dt);
