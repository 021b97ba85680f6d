// The renderer's pseudo-random generator: the 32-bit linear congruential one whose draws run 0..32767.
#pragma once
#include <cstdint>

// Largest value of one draw.
constexpr int RandomMax = 32767;

class Random {
public:
    // A generator whose state starts at seedValue.
    explicit Random(uint32_t seedValue = 0) : state_(seedValue) {}
    // Restarts the draws from seedValue.
    void seed(uint32_t seedValue) { state_ = seedValue; }
    // One draw, 0..32767.
    int next();

private:
    uint32_t state_;
};

// Integer choice floor(k * r / 32767): 0..k-1, and k only for r = 32767.
int chooseInt(int k, int r);
// r / 32767 as the single-precision product r * 0.000030518509.
float fraction(int r);
