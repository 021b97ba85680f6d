// Helpers for the renderer rule tests: scripted random draws and small hand-made scenes.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>

#include "renderer/scene/scene.h"

// A generator whose very next draw returns r (0..32767), found by running the generator backwards.
inline Random randomWhoseNextDrawIs(int r) {
    const uint32_t multiplier = 214013u;
    uint32_t inverse = multiplier;  // Newton steps double the correct low bits each time
    for (int n = 0; n < 5; ++n) inverse *= 2u - multiplier * inverse;
    const uint32_t nextState = (static_cast<uint32_t>(r) << 16) | 0x1234u;
    return Random((nextState - 2531011u) * inverse);
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
