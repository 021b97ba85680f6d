// Drawing of the scene: the veil (or clear) and one additive glow sprite per particle in play.
#pragma once

#include "renderer/math/vector_math.h"
#include "renderer/scene/scene.h"

// Whether the full-screen veil is drawn with the glow texture on. The texture cannot change a
// black veil's pixels, so the renderer switches it off there; On keeps the literal drawing for comparison.
enum class VeilTexturing { Off, On };

// One pass: the veil over the previous picture (or a clear when trails are off), then every particle in play.
void drawScenePass(const Scene& scene, VeilTexturing veilTexturing = VeilTexturing::Off);
// One camera-facing sprite at the particle's position turned by the rotation part of sceneRotation.
void drawParticleSprite(const Particle& particle, const Matrix4& sceneRotation);
