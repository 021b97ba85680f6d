#include "renderer/math/random.h"

namespace {
// Multiplier and increment of the generator (arithmetic modulo 2^32).
constexpr uint32_t Multiplier = 214013u;
constexpr uint32_t Increment = 2531011u;
// 1/32767 in single precision.
constexpr float InverseMax = 0.000030518509f;
}

// Advances the state and returns its bits 16..30.
int Random::next() {
    state_ = state_ * Multiplier + Increment;
    return static_cast<int>((state_ >> 16) & 0x7FFFu);
}

// Truncating integer choice; k * r stays far inside int for the small k the scene uses.
int chooseInt(int k, int r) { return k * r / RandomMax; }

// r / 32767 by multiplication, as the scene's constants are given.
float fraction(int r) { return static_cast<float>(r) * InverseMax; }
