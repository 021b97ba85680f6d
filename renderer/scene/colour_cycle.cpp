#include "renderer/scene/scene.h"

namespace {
// Turns a draw of 0..32767 into a fraction 0..1 (1/32767 in single precision).
constexpr float DrawFraction = 0.000030518509f;
// Below this many particles a drift never starts from a fresh random colour.
constexpr int32_t FreshColourMinParticles = 100;
// Drift rate = r * DrawFraction * (SpeedScale * RateSpread) + SpeedScale * RateBase, per second.
constexpr float RateSpread = 0.005f;
constexpr float RateBase = 0.002f;
// Sector thresholds of the hue, as decimals rather than exact sixths.
constexpr float Sector1 = 0.166667f;
constexpr float Sector2 = 0.333333f;
constexpr float Sector3 = 0.5f;
constexpr float Sector4 = 0.666667f;
constexpr float Sector5 = 0.833333f;

// A strong colour on the whole: uniform hue, saturation 1 - a product of two fractions.
Vector3 randomColour(Random& random) {
    const int r1 = random.next();
    const int r2 = random.next();
    const int r3 = random.next();
    return Vector3(static_cast<float>(r2) * DrawFraction, 1.0f - (static_cast<float>(r3) * DrawFraction) * (static_cast<float>(r1) * DrawFraction), 1.0f);
}
}  // namespace

// A choosing frame sets a new start and target and keeps spawnColour; other frames drift and convert.
void advanceColourCycle(Scene& scene, float dt) {
    ColourState& c = scene.colour;
    if (!c.started) {
        c.started = true;
        c.currentHsv = Vector3(static_cast<float>(scene.random.next()) * DrawFraction, 1.0f, 1.0f);
    }
    const float t = c.colourPhase + c.colourRate * dt;
    c.colourPhase = t;
    if (t >= 1.0f) {
        if (chooseInt(3, scene.random.next()) == 0 && scene.particleCount() >= FreshColourMinParticles) {
            c.currentHsv = randomColour(scene.random);
        }
        c.startHsv = c.currentHsv;
        c.targetHsv = randomColour(scene.random);
        c.colourPhase = 0.0f;
        const float speed = static_cast<float>(scene.settings.SpeedScale);
        c.colourRate = static_cast<float>(scene.random.next()) * (speed * RateSpread) * DrawFraction + speed * RateBase;
        return;
    }
    const float dh = c.targetHsv.x - c.startHsv.x;
    float hue;
    if (dh < -0.5f || (dh > 0.0f && dh < 0.5f)) {
        hue = c.startHsv.x + t * dh;
    } else {
        hue = c.startHsv.x - t * dh;
    }
    c.currentHsv.x = hue;
    c.currentHsv.y = c.startHsv.y + t * (c.targetHsv.y - c.startHsv.y);
    if (c.currentHsv.x < 0.0f) c.currentHsv.x += 1.0f;
    if (c.currentHsv.x > 1.0f) c.currentHsv.x -= 1.0f;
    const float shownHue = paletteHue(scene.settings.Colours, c.currentHsv.x);
    hsvToRgb(shownHue, c.currentHsv.y, 1.0f, scene.spawnColour.x, scene.spawnColour.y, scene.spawnColour.z);
}

// Six hue sectors; a hue on a threshold belongs to the sector above it.
void hsvToRgb(float h, float s, float v, float& red, float& green, float& blue) {
    float r, g, b;
    if (h < Sector1) {
        r = 1.0f; g = 6.0f * h; b = 0.0f;
    } else if (h < Sector2) {
        r = 1.0f - (h - Sector1) * 6.0f; g = 1.0f; b = 0.0f;
    } else if (h < Sector3) {
        r = 0.0f; g = 1.0f; b = (h - Sector2) * 6.0f;
    } else if (h < Sector4) {
        r = 0.0f; g = 1.0f - (h - Sector3) * 6.0f; b = 1.0f;
    } else if (h < Sector5) {
        r = (h - Sector4) * 6.0f; g = 0.0f; b = 1.0f;
    } else {
        r = 1.0f; g = 0.0f; b = 1.0f - (h - Sector5) * 6.0f;
    }
    red = v * (1.0f - s * (1.0f - r));
    green = v * (1.0f - s * (1.0f - g));
    blue = v * (1.0f - s * (1.0f - b));
}
