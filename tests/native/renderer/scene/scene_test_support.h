// Helpers for the renderer rule tests: scripted random draws and small hand-made scenes.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>

#include "renderer/scene/scene.h"

// A generator whose next step lands on `state`, found by running the generator backwards.
inline Random randomSteppingTo(uint32_t state) {
    const uint32_t multiplier = 214013u;
    uint32_t inverse = multiplier;  // Newton steps double the correct low bits each time
    for (int n = 0; n < 5; ++n) inverse *= 2u - multiplier * inverse;
    return Random((state - 2531011u) * inverse);
}

// A generator whose very next draw returns r (0..32767).
inline Random randomWhoseNextDrawIs(int r) { return randomSteppingTo((static_cast<uint32_t>(r) << 16) | 0x1234u); }

// A generator whose next two draws are `first` and `second`: the state bits a draw does not show
// are searched until the following draw fits.
inline Random randomWhoseNextDrawsAre(int first, int second) {
    for (uint32_t hidden = 0; hidden < (1u << 17); ++hidden) {
        const uint32_t state = (static_cast<uint32_t>(first) << 16) | (hidden & 0xFFFFu) | ((hidden >> 16) << 31);
        if (static_cast<int>(((state * 214013u + 2531011u) >> 16) & 0x7FFFu) == second) return randomSteppingTo(state);
    }
    ADD_FAILURE() << "no state gives draws " << first << ", " << second;
    return Random();
}

// A scene with the given pole and particle counts, created from seed 1.
inline void makeScene(Scene& scene, int32_t emitters, int32_t absorbers, int32_t particles) {
    scene.settings.EmitterCount = emitters;
    scene.settings.AbsorberCount = absorbers;
    scene.settings.ParticleCount = particles;
    seedScene(scene, 1);
    createSceneObjects(scene);
}

// Expects v within tolerance of (x, y, z); tolerance 0 asks for exact equality.
inline void expectVector(const Vector3& v, float x, float y, float z, float tolerance = 0.0f) {
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}
