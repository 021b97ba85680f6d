#include "renderer/scene/scene.h"

#include <cmath>

namespace {
constexpr float Pi = 3.1415927f;
constexpr float TwoPi = 6.2831855f;
// Number of layouts; applyFormation knows 0..LayoutCount-1.
constexpr int32_t LayoutCount = 11;
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
// Layout 10's two meeting points.
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

// Layout 0: three fresh coordinates per pole, drawn in order and used in reverse.
void scatterCube(Random& random, Pole* poles, int32_t count) {
    for (int32_t k = 0; k < count; ++k) {
        const float c1 = randomCoordinate(random);
        const float c2 = randomCoordinate(random);
        const float c3 = randomCoordinate(random);
        setMove(poles[k], Vector3(c3, c2, c1));
    }
}

// Layouts 5 and 6: two fresh coordinates per pole on the plane y = planeY.
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

// Gives every emitter, then every absorber, its slot in the layout; unknown types change nothing.
void applyFormation(Scene& scene, int32_t type) {
    const int32_t nE = scene.emitterCount;
    const int32_t nA = scene.absorberCount;
    const int32_t larger = nE > nA ? nE : nA;
    const float emitterRowY = RowSlope * static_cast<float>(nE) - RowOffset;
    const float absorberRowY = RowOffset - RowSlope * static_cast<float>(nA);
    switch (type) {
    case 0:
        scatterCube(scene.random, scene.emitters, nE);
        scatterCube(scene.random, scene.absorbers, nA);
        break;
    case 1: {
        const float step = stepOf(Span, nE + nA - 1);
        float x = -HalfSpan;
        alongLine(scene.emitters, nE, x, step);
        alongLine(scene.absorbers, nA, x, step);
        break;
    }
    case 2: {
        const float s = stepOf(Span, 2 * larger - 1);
        float x = -HalfSpan;
        alongLine(scene.emitters, nE, x, 2.0f * s);
        x = -HalfSpan + s;
        alongLine(scene.absorbers, nA, x, 2.0f * s);
        break;
    }
    case 3:
    case 4: {
        const float emitterZ = type == 3 ? -RowDepth : 0.0f;
        float x = -HalfSpan;
        const float emitterStep = stepOf(2.0f * Span, 2 * nE - 1);
        for (int32_t k = 0; k < nE; ++k) {
            setMove(scene.emitters[k], Vector3(x, emitterRowY, emitterZ));
            x += emitterStep;
        }
        float run = -HalfSpan;
        const float absorberStep = stepOf(2.0f * Span, 2 * nA - 1);
        for (int32_t k = 0; k < nA; ++k) {
            if (type == 3) {
                setMove(scene.absorbers[k], Vector3(run, absorberRowY, RowDepth));
            } else {
                setMove(scene.absorbers[k], Vector3(10.0f, absorberRowY, run));
            }
            run += absorberStep;
        }
        break;
    }
    case 5:
        scatterPlane(scene.random, scene.emitters, nE, 0.0f);
        scatterPlane(scene.random, scene.absorbers, nA, 0.0f);
        break;
    case 6:
        scatterPlane(scene.random, scene.emitters, nE, emitterRowY);
        scatterPlane(scene.random, scene.absorbers, nA, absorberRowY);
        break;
    case 7: {
        float a = EmitterStartAngle;
        aroundCircleStepFirst(scene.emitters, nE, InnerRadius, a, stepOf(TwoPi, nE));
        a = AbsorberStartAngle;
        aroundCircleStepFirst(scene.absorbers, nA, OuterRadius, a, stepOf(TwoPi, nA));
        break;
    }
    case 8: {
        const float step = stepOf(TwoPi, nE + nA);
        float a = EmitterStartAngle;
        aroundCircleStepFirst(scene.emitters, nE, OuterRadius, a, step);
        aroundCircleStepFirst(scene.absorbers, nA, OuterRadius, a, step);
        break;
    }
    case 9: {
        const float s = stepOf(TwoPi, 2 * larger);
        float a = EmitterStartAngle;
        for (int32_t k = 0; k < nE; ++k) {
            setMove(scene.emitters[k], onCircle(OuterRadius, a));
            a += 2.0f * s;
        }
        a = EmitterStartAngle + s;
        for (int32_t k = 0; k < nA; ++k) {
            setMove(scene.absorbers[k], onCircle(OuterRadius, a));
            a += 2.0f * s;
        }
        break;
    }
    case 10:
        for (int32_t k = 0; k < nE; ++k) setMove(scene.emitters[k], EmitterPoint);
        for (int32_t k = 0; k < nA; ++k) setMove(scene.absorbers[k], AbsorberPoint);
        break;
    default:
        break;
    }
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
        if (next == f.previousType) ++next;
        // A draw of 10 while layout 10 is in force would name a layout that does not exist and
        // make the poles jump back; wrapping to 0 keeps them gliding and still never repeats a layout.
        if (next >= LayoutCount) next = 0;
        f.formationType = next;
        applyFormation(scene, next);
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
    for (int32_t n = 0; n < scene.emitterCount; ++n) {
        Pole& pole = scene.emitters[n];
        pole.position = pole.moveTarget * k + pole.moveStart * (1.0f - k);
    }
    for (int32_t n = 0; n < scene.absorberCount; ++n) {
        Pole& pole = scene.absorbers[n];
        pole.position = pole.moveTarget * k + pole.moveStart * (1.0f - k);
    }
}
