// Helpers for the scene tests: scripted random draws and small scenes.
#pragma once
#include <gtest/gtest.h>

#include <cmath>

#include "renderer/scene/scene.h"

// A generator whose next draw is r (0..32767): run backwards, by the multiplier's inverse modulo 2^32.
inline Random randomWhoseNextDrawIs(int r) {
    uint32_t inverse = 214013u;
    for (int n = 0; n < 5; ++n) inverse *= 2u - 214013u * inverse;
    return Random(((static_cast<uint32_t>(r) << 16 | 0x1234u) - 2531011u) * inverse);
}

// A scene with the given pole and particle counts, created from seed 1.
inline void makeScene(Scene& scene, int32_t emitters, int32_t absorbers, int32_t particles) {
    scene.settings = SceneSettings{emitters, absorbers, particles};
    seedScene(scene, 1);
    createSceneObjects(scene);
}

inline void expectVector(const Vector3& v, float x, float y, float z, float tolerance = 0.0f) {
    EXPECT_TRUE(std::fabs(v.x - x) <= tolerance && std::fabs(v.y - y) <= tolerance && std::fabs(v.z - z) <= tolerance)
        << v.x << ", " << v.y << ", " << v.z << " instead of " << x << ", " << y << ", " << z;
}
