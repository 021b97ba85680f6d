#include "renderer/scene/scene.h"

#include <cmath>

namespace {
constexpr float Pi = 3.1415927f;
constexpr float TwoPi = 6.2831855f;
// Time every layout is held before the glide starts (seconds).
constexpr float HoldSeconds = 10.0f;
// Glide speed factors; the fast one is taken one time in four.
constexpr float SlowRate = 0.001f;
constexpr float FastRate = 0.1f;
// Random coordinate: r * 1000 * (1/32767) - 500.
constexpr float Span = 1000.0f;
constexpr float HalfSpan = 500.0f;
constexpr float InverseMax = 0.000030518509f;
// Rows and scatter planes: emitters at y = RowSlope * nE - RowOffset, absorbers mirrored.
constexpr float RowSlope = 25.0f;
constexpr float RowOffset = 525.0f;
constexpr float RowDepth = 50.0f;
// Circles (scene units) and their start angles (radians).
constexpr float InnerRadius = 200.0f;
constexpr float OuterRadius = 500.0f;
constexpr float EmitterStartAngle = 0.5f;
constexpr float AbsorberStartAngle = 1.5f;
// The two meeting points of the last layout.
const Vector3 EmitterPoint(500.0f, 100.0f, 50.0f);
const Vector3 AbsorberPoint(-500.0f, -100.0f, -50.0f);

// One coordinate of the cube -500..500 from one draw.
float randomCoordinate(Random& random) {
    return static_cast<float>(random.next()) * Span * InverseMax - HalfSpan;
}

// Step between slots; a list too short to need one gets 0 instead of a division by zero.
float stepOf(float span, int32_t divisor) { return divisor > 0 ? span / static_cast<float>(divisor) : 0.0f; }

// Point of a circle about the origin in the z = 0 plane.
Vector3 onCircle(float radius, float angle) {
    return Vector3(radius * std::cos(angle), radius * std::sin(angle), 0.0f);
}

// The scattered cube: three fresh coordinates per pole, drawn in order and used in reverse.
void scatterCube(Random& random, Pole* poles, int32_t count) {
    for (int32_t k = 0; k < count; ++k) {
        const float c1 = randomCoordinate(random);
        const float c2 = randomCoordinate(random);
        const float c3 = randomCoordinate(random);
        setMove(poles[k], Vector3(c3, c2, c1));
    }
}

// The scattered planes: two fresh coordinates per pole on the plane y = planeY.
void scatterPlane(Random& random, Pole* poles, int32_t count, float planeY) {
    for (int32_t k = 0; k < count; ++k) {
        const float c1 = randomCoordinate(random);
        const float c2 = randomCoordinate(random);
        setMove(poles[k], Vector3(c2, planeY, c1));
    }
}

// Slots along y = x / 2 from a running x.
void alongLine(Pole* poles, int32_t count, float& x, float step) {
    for (int32_t k = 0; k < count; ++k) {
        setMove(poles[k], Vector3(x, 0.5f * x, 0.0f));
        x += step;
    }
}

// Slots on a circle with the step added before each pole.
void aroundCircleStepFirst(Pole* poles, int32_t count, float radius, float& angle, float step) {
    for (int32_t k = 0; k < count; ++k) {
        angle += step;
        setMove(poles[k], onCircle(radius, angle));
    }
}
}  // namespace

// The glide starts from wherever the pole stands now.
void setMove(Pole& pole, const Vector3& target) {
    pole.moveStart = pole.position;
    pole.moveTarget = target;
}

namespace {
// The slots every layout works from: the pole lists, their lengths and the rows' heights.
struct Slots {
    Random& random;
    std::vector<Pole>& emitters;
    std::vector<Pole>& absorbers;
    int32_t nE;
    int32_t nA;
    int32_t larger;       // the longer of the two lists
    float emitterRowY;    // height of the emitters' row or plane
    float absorberRowY;   // height of the absorbers' row or plane, mirrored
};

// Every pole at a random point of the cube.
void layScatteredCube(Slots& s) {
    scatterCube(s.random, s.emitters.data(), s.nE);
    scatterCube(s.random, s.absorbers.data(), s.nA);
}

// Emitters then absorbers at even steps along one line.
void layOneLine(Slots& s) {
    const float step = stepOf(Span, s.nE + s.nA - 1);
    float x = -HalfSpan;
    alongLine(s.emitters.data(), s.nE, x, step);
    alongLine(s.absorbers.data(), s.nA, x, step);
}

// Emitters and absorbers alternating along one line.
void layInterleavedLine(Slots& s) {
    const float step = stepOf(Span, 2 * s.larger - 1);
    float x = -HalfSpan;
    alongLine(s.emitters.data(), s.nE, x, 2.0f * step);
    x = -HalfSpan + step;
    alongLine(s.absorbers.data(), s.nA, x, 2.0f * step);
}

// A slot of the facing absorbers' row: across x, behind the emitters.
Vector3 facingSlot(float run, float rowY) { return Vector3(run, rowY, RowDepth); }

// A slot of the crossing absorbers' row: along z, at x = 10.
Vector3 crossingSlot(float run, float rowY) { return Vector3(10.0f, rowY, run); }

// A row of emitters along x at depth emitterZ, and the absorbers' row in the slots the layout gives.
void layRows(Slots& s, float emitterZ, Vector3 (*absorberSlot)(float run, float rowY)) {
    float x = -HalfSpan;
    const float emitterStep = stepOf(2.0f * Span, 2 * s.nE - 1);
    for (Pole& pole : s.emitters) {
        setMove(pole, Vector3(x, s.emitterRowY, emitterZ));
        x += emitterStep;
    }
    float run = -HalfSpan;
    const float absorberStep = stepOf(2.0f * Span, 2 * s.nA - 1);
    for (Pole& pole : s.absorbers) {
        setMove(pole, absorberSlot(run, s.absorberRowY));
        run += absorberStep;
    }
}

// Two rows facing each other across z.
void layFacingRows(Slots& s) { layRows(s, -RowDepth, facingSlot); }

// A row of emitters along x crossed by a row of absorbers along z.
void layCrossedRows(Slots& s) { layRows(s, 0.0f, crossingSlot); }

// Every pole at a random point of the plane y = 0.
void layScatteredPlane(Slots& s) {
    scatterPlane(s.random, s.emitters.data(), s.nE, 0.0f);
    scatterPlane(s.random, s.absorbers.data(), s.nA, 0.0f);
}

// Emitters scattered on their row's plane, absorbers on theirs.
void layScatteredTwoPlanes(Slots& s) {
    scatterPlane(s.random, s.emitters.data(), s.nE, s.emitterRowY);
    scatterPlane(s.random, s.absorbers.data(), s.nA, s.absorberRowY);
}

// Emitters around an inner circle, absorbers around an outer one.
void layTwoCircles(Slots& s) {
    float angle = EmitterStartAngle;
    aroundCircleStepFirst(s.emitters.data(), s.nE, InnerRadius, angle, stepOf(TwoPi, s.nE));
    angle = AbsorberStartAngle;
    aroundCircleStepFirst(s.absorbers.data(), s.nA, OuterRadius, angle, stepOf(TwoPi, s.nA));
}

// Emitters then absorbers around one circle.
void layOneCircle(Slots& s) {
    const float step = stepOf(TwoPi, s.nE + s.nA);
    float angle = EmitterStartAngle;
    aroundCircleStepFirst(s.emitters.data(), s.nE, OuterRadius, angle, step);
    aroundCircleStepFirst(s.absorbers.data(), s.nA, OuterRadius, angle, step);
}

// Emitters and absorbers alternating around one circle.
void layInterleavedCircle(Slots& s) {
    const float step = stepOf(TwoPi, 2 * s.larger);
    float angle = EmitterStartAngle;
    for (Pole& pole : s.emitters) {
        setMove(pole, onCircle(OuterRadius, angle));
        angle += 2.0f * step;
    }
    angle = EmitterStartAngle + step;
    for (Pole& pole : s.absorbers) {
        setMove(pole, onCircle(OuterRadius, angle));
        angle += 2.0f * step;
    }
}

// All emitters meet at one point, all absorbers at another.
void layTwoPoints(Slots& s) {
    for (Pole& pole : s.emitters) setMove(pole, EmitterPoint);
    for (Pole& pole : s.absorbers) setMove(pole, AbsorberPoint);
}

// The layouts in the order of their numbers.
void (*const LayoutFunctions[LayoutCount])(Slots&) = {
    layScatteredCube, layOneLine,   layInterleavedLine, layFacingRows,        layCrossedRows, layScatteredPlane,
    layScatteredTwoPlanes, layTwoCircles, layOneCircle, layInterleavedCircle, layTwoPoints,
};
}  // namespace

// A value outside the eleven layouts changes nothing.
void applyFormation(Scene& scene, Layout layout) {
    const int32_t index = static_cast<int32_t>(layout);
    if (index < 0 || index >= LayoutCount) return;
    const int32_t nE = scene.emitterCount();
    const int32_t nA = scene.absorberCount();
    Slots slots{scene.random,
                scene.emitters,
                scene.absorbers,
                nE,
                nA,
                nE > nA ? nE : nA,
                RowSlope * static_cast<float>(nE) - RowOffset,
                RowOffset - RowSlope * static_cast<float>(nA)};
    LayoutFunctions[index](slots);
}

// Counts the hold down, eases the glide, and at its end chooses, applies and times the next layout.
void advanceFormation(Scene& scene, float dt) {
    FormationState& f = scene.formation;
    f.holdTimer -= dt;
    if (f.holdTimer <= 0.0f) {
        f.formationAngle += static_cast<float>(scene.settings.SpeedScale) * f.formationRate * dt;
        f.blend = 0.5f - 0.5f * std::cos(f.formationAngle);
    }
    if (f.formationAngle >= Pi) {
        f.previousType = f.formationType;
        int32_t next = chooseInt(LayoutCount - 1, scene.random.next());
        if (next == static_cast<int32_t>(f.previousType)) ++next;
        // A draw of 10 while layout 10 is in force would name a layout that does not exist and
        // make the poles jump back; wrapping to 0 keeps them gliding and still never repeats a layout.
        if (next >= LayoutCount) next = 0;
        f.formationType = static_cast<Layout>(next);
        applyFormation(scene, f.formationType);
        f.formationAngle = 0.0f;
        f.blend = 0.0f;
        f.holdTimer = HoldSeconds;
        f.formationRate = SlowRate;
        if (chooseInt(4, scene.random.next()) == 0) f.formationRate = FastRate;
    }
}

// Each pole stands between its glide start and its target by the current blend.
void placePoles(Scene& scene) {
    const float k = scene.formation.blend;
    for (Pole& pole : scene.emitters) pole.position = pole.moveTarget * k + pole.moveStart * (1.0f - k);
    for (Pole& pole : scene.absorbers) pole.position = pole.moveTarget * k + pole.moveStart * (1.0f - k);
}
