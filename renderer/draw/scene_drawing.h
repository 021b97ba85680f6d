// Drawing of the scene with OpenGL 1.1, shared by every platform's renderer: the view, the glow
// texture and sprite list, the swap probe, and the frame itself (veil or clear, additive sprites).
// The platform makes the context current and presents; everything between is here.
#pragma once

#include "renderer/scene/scene.h"

// Whether the full-screen veil is drawn with the glow texture on. The texture cannot change a
// black veil's pixels, so the renderer switches it off there; On keeps the literal drawing for comparison.
enum class VeilTexturing { Off, On };

// What shows the back buffer: the platform's buffer swap.
class Presenter {
public:
    virtual void present() = 0;

protected:
    ~Presenter() = default;
};

// Viewport and projection for a client area of width x height pixels, and the fixed drawing state.
void setUpView(int width, int height);
// Draws one pixel, presents, and reads the back buffer back: true when the swap exchanges the
// buffers, so that every pass must be drawn into both of them.
bool swapExchangesBuffers(Presenter& presenter);
// Builds the glow texture and the sprite list and turns texturing on; false when OpenGL refused.
bool buildDrawingObjects();

// One frame: advance the scene by dt, draw one pass (two with an exchanging swap), present.
void renderFrame(Scene& scene, float dt, bool twoPassSwap, Presenter& presenter,
                 VeilTexturing veilTexturing = VeilTexturing::Off);
// One pass: the veil over the previous picture (or a clear when trails are off), then every particle in play.
void drawScenePass(const Scene& scene, VeilTexturing veilTexturing = VeilTexturing::Off);
// One camera-facing sprite at the particle's position turned by the rotation part of sceneRotation.
void drawParticleSprite(const Particle& particle, const Matrix4& sceneRotation);
