// The renderer's scene: invisible emitter and absorber poles gliding through formations,
// particles flowing between them, the spawn colour cycle, the camera dolly and the spin.
// Everything here is free of OpenGL and of any window system; renderer/draw draws what it leaves.
#pragma once
#include <cstdint>
#include <vector>

#include "renderer/math/random.h"
#include "renderer/math/vector_math.h"
#include "renderer/scene/scene_settings.h"

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

// The eleven layouts the poles glide between, numbered as the formation draw picks them.
enum class Layout : int32_t {
    ScatteredCube,       // every pole at a random point of the cube
    OneLine,             // emitters then absorbers along one line
    InterleavedLine,     // emitters and absorbers alternating along one line
    FacingRows,          // two rows facing each other across z
    CrossedRows,         // a row of emitters crossed by a row of absorbers along z
    ScatteredPlane,      // every pole at a random point of the plane y = 0
    ScatteredTwoPlanes,  // emitters on one plane, absorbers on another
    TwoCircles,          // emitters on an inner circle, absorbers on an outer one
    OneCircle,           // emitters then absorbers around one circle
    InterleavedCircle,   // emitters and absorbers alternating around one circle
    TwoPoints,           // all emitters at one point, all absorbers at another
};
// How many layouts there are.
constexpr int32_t LayoutCount = 11;

// Which layout is in force and how far the glide to it has come.
struct FormationState {
    Layout formationType = Layout::ScatteredCube;
    Layout previousType = Layout::ScatteredCube;
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

    // Made by createSceneObjects with the settings' counts (negative counts give none) and never
    // resized while the scene runs; their lengths are the counts every operation uses.
    std::vector<Pole> emitters;
    std::vector<Pole> absorbers;
    std::vector<Particle> particles;

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

    // Veil: the opacity this frame's passes lay (0 for none; below 0 until the first frame, when the
    // passes lay the level's own veil), and the time gathered toward the next one.
    float frameVeil = -1.0f;
    float veilPendingSeconds = 0;

    // Number of emitters made for this run.
    int32_t emitterCount() const { return static_cast<int32_t>(emitters.size()); }
    // Number of absorbers made for this run.
    int32_t absorberCount() const { return static_cast<int32_t>(absorbers.size()); }
    // Number of particles made for this run, the one particle count every part reads.
    int32_t particleCount() const { return static_cast<int32_t>(particles.size()); }
};

// Puts the scene back at its start with its settings kept, seeds its generator and discards 20 draws,
// as set-up does.
void seedScene(Scene& scene, uint32_t seed);
// Creates the emitters, absorbers and particles in this order, each in index order (constructors draw).
void createSceneObjects(Scene& scene);
// Frees the emitters, absorbers and particles and takes every particle out of play.
void destroySceneObjects(Scene& scene);

// One frame of simulation without drawing: dolly, spin, colour, release, formation, poles, particles.
void advanceScene(Scene& scene, float dt);
// Moves the camera along its eased leg and starts a new leg at the end of one.
void advanceCameraDolly(Scene& scene, float dt);
// Glides the spin toward its target, turns the orientation by the spin for this frame's time (a
// spin's angle is its turn in a sixtieth of a second), rewrites sceneRotation.
void advanceSpin(Scene& scene, float dt);
// Opacity of the black veil laid over each pass for a trail level of 1..100; the standard level 10
// keeps 77.55 % of the picture, and every step keeps the trails visibly longer.
float veilAlpha(int32_t trailLevel);
// Gathers the frame time and decides this frame's veil: at about sixty veils a second or fewer, each
// as strong as the time it stands for, so trails fade alike per second at any frame rate and an
// 8-bit picture keeps no more of them than at 60 frames a second.
void advanceVeil(Scene& scene, float dt);
// The veil this frame's passes lay: frameVeil, or before any frame the level's own veil.
float passVeil(const Scene& scene);

// Starts a pole's glide from where it stands toward target.
void setMove(Pole& pole, const Vector3& target);
// Gives every emitter, then every absorber, its slot in the layout.
void applyFormation(Scene& scene, Layout layout);
// Counts the hold down, eases the glide, and at its end chooses and applies the next layout.
void advanceFormation(Scene& scene, float dt);
// Puts each pole between its glide start and its target by the current blend.
void placePoles(Scene& scene);

// Drifts the spawn colour toward its target hue and now and then chooses a new one.
void advanceColourCycle(Scene& scene, float dt);
// Converts hue (0..1 around the wheel), saturation and value to red, green and blue 0..1.
void hsvToRgb(float hue, float saturation, float value, float& red, float& green, float& blue);

// Brings waiting particles into play, one every release interval.
void spawnParticles(Scene& scene, float dt);
// Starts a particle at a random emitter in the current spawn colour.
void respawnParticle(Scene& scene, Particle& particle, float dt);
// Moves every particle in play one frame toward the absorbers.
void updateParticles(Scene& scene, float dt);
// Moves one particle one frame and respawns it when it reaches an absorber.
void updateParticle(Scene& scene, Particle& particle, float dt);
