// Runs the renderer's frame logic from a chosen seed with a fixed frame time and prints the state,
// for golden tests and for looking at what the scene does without drawing it.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "renderer/scene/scene.h"

namespace {
// Prints the usage line and fails.
int usage() {
    std::fprintf(stderr,
                 "usage: scene-trace --seed S --dt T --frames N [--emitters N] [--absorbers N] [--particles N]\n"
                 "                   [--size N] [--speed N] [--camera N]   (each setting within its range)\n");
    return 2;
}

// Reads an unsigned 32-bit value; false if the text is not wholly a number in range.
bool parseUnsigned(const char* text, unsigned long long limit, unsigned long long& out) {
    if (*text == '\0' || *text == '-') return false;
    char* end = nullptr;
    out = std::strtoull(text, &end, 10);
    return *end == '\0' && out <= limit;
}

// Reads a non-negative frame time in seconds; false if the text is not wholly a number.
bool parseFloat(const char* text, float& out) {
    if (*text == '\0') return false;
    char* end = nullptr;
    out = std::strtof(text, &end);
    return *end == '\0' && out >= 0.0f;
}

// The knob a trace option names ("--particles"), or -1; the trace takes the knobs the simulation reads.
int traceKnob(const char* option) {
    constexpr SceneKnob Traced[] = {SceneKnob::Emitters, SceneKnob::Absorbers, SceneKnob::Particles,
                                    SceneKnob::Size,     SceneKnob::Speed,     SceneKnob::Camera};
    if (std::strncmp(option, "--", 2) != 0) return -1;
    for (SceneKnob knob : Traced) {
        if (std::strcmp(option + 2, SceneKnobs[static_cast<int>(knob)].option) == 0) return static_cast<int>(knob);
    }
    return -1;
}

// Sets a knob from a whole number within its range; false for anything else, so a trace is never
// quietly taken at another setting than the one asked for.
bool setTraceKnob(SceneSettings& settings, int knob, const char* text) {
    unsigned long long value = 0;
    const SceneKnobInfo& info = SceneKnobs[knob];
    if (!parseUnsigned(text, static_cast<unsigned long long>(info.high), value)) return false;
    if (value < static_cast<unsigned long long>(info.low)) return false;
    setKnobValue(settings, static_cast<SceneKnob>(knob), static_cast<double>(value));
    return true;
}

// The per-frame line: formation, release count, spawn colour and camera.
void printFrame(const Scene& s, unsigned long long frame) {
    std::printf("F %llu %d %.9g %.9g %.9g %d %.9g %.9g %.9g %.9g\n", frame, static_cast<int>(s.formation.formationType),
                s.formation.holdTimer, s.formation.formationAngle, s.formation.blend, s.liveParticleCount,
                s.spawnColour.x, s.spawnColour.y, s.spawnColour.z, s.cameraZ);
}

// One line per pole with its position.
void printPoles(char tag, const Pole* poles, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        const Vector3& p = poles[i].position;
        std::printf("%c %d %.9g %.9g %.9g\n", tag, i, p.x, p.y, p.z);
    }
}
}  // namespace

// Parses the options, then runs and prints the scene.
int main(int argc, char** argv) {
    unsigned long long seed = 0, frames = 0;
    float dt = 0.0f;
    bool haveSeed = false, haveDt = false, haveFrames = false;
    SceneSettings settings;
    for (int a = 1; a < argc; ++a) {
        if (a + 1 >= argc) return usage();
        const char* value = argv[a + 1];
        if (std::strcmp(argv[a], "--seed") == 0) {
            haveSeed = parseUnsigned(value, 0xFFFFFFFFull, seed);
            if (!haveSeed) return usage();
        } else if (std::strcmp(argv[a], "--dt") == 0) {
            haveDt = parseFloat(value, dt);
            if (!haveDt) return usage();
        } else if (std::strcmp(argv[a], "--frames") == 0) {
            haveFrames = parseUnsigned(value, 100000000ull, frames);
            if (!haveFrames) return usage();
        } else if (traceKnob(argv[a]) >= 0) {
            if (!setTraceKnob(settings, traceKnob(argv[a]), value)) return usage();
        } else {
            return usage();
        }
        ++a;
    }
    if (!haveSeed || !haveDt || !haveFrames) return usage();

    Scene scene;
    scene.settings = settings;
    seedScene(scene, static_cast<uint32_t>(seed));
    createSceneObjects(scene);
    for (unsigned long long frame = 1; frame <= frames; ++frame) {
        advanceScene(scene, dt);
        printFrame(scene, frame);
    }
    printPoles('E', scene.emitters.data(), scene.emitterCount());
    printPoles('A', scene.absorbers.data(), scene.absorberCount());
    for (int32_t i = 0; i < scene.liveParticleCount; ++i) {
        const Particle& p = scene.particles[i];
        std::printf("P %d %.9g %.9g %.9g %.9g %.9g %.9g\n", i, p.position.x, p.position.y, p.position.z,
                    p.colour.x, p.colour.y, p.colour.z);
    }
    return 0;
}
