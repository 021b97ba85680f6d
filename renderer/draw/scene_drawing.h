// Drawing of the scene with OpenGL 1.1, shared by every platform's renderer. The platform makes a
// context current and presents; in between, everything is here, in three steps:
//   set-up:  setUpView (viewport and projection), setUpDrawingState (the fixed state),
//            swapExchangesBuffers (the swap probe), createDrawingObjects (texture, sprite buffer);
//   a pass:  drawScenePass (veil or clear, then every particle as an additive glow sprite);
//   a frame: renderFrame (advance the scene, draw its pass or passes, present).
#pragma once

#include <cstdint>

#include "renderer/scene/scene.h"

// How a pass is drawn. Batched is the renderer's drawing. PerSprite is the earlier drawing (a
// matrix and a display-list call for each sprite, a luminance texture, the veil as a blended
// quad in eye space), kept to measure against and to compare pictures with; not a setting.
enum class DrawingStyle { Batched, PerSprite };

// One corner of a sprite in the batch, as the vertex arrays read it.
struct SpriteVertex {
    float x, y, z;  // scene units, before the camera's translation
    float s, t;     // texture coordinates on the glow spot
    float r, g, b;  // the particle's colour
};

// The drawing's own record: its style and the vertex buffer that every batched pass refills.
struct SceneDrawing {
    DrawingStyle style = DrawingStyle::Batched;
    SpriteVertex* vertices = nullptr;  // VerticesPerSprite for each particle the scene can hold
    int32_t spriteCapacity = 0;

    SceneDrawing() = default;
    SceneDrawing(const SceneDrawing&) = delete;
    SceneDrawing& operator=(const SceneDrawing&) = delete;
    ~SceneDrawing();
};

// A part of the drawable the scene is drawn into, as OpenGL takes a viewport: from the drawable's
// bottom-left corner, in pixels. A window over several monitors has one per monitor.
struct SceneView {
    int32_t x = 0, y = 0, width = 0, height = 0;
};

// Corners of a batched sprite: two triangles of its square.
constexpr int VerticesPerSprite = 6;

// What shows the back buffer: the platform's buffer swap.
class Presenter {
public:
    virtual void present() = 0;

protected:
    ~Presenter() = default;
};

// Viewport, scissor box and perspective projection of one view: only its pixels are drawn to, and
// the scene is seen at its own aspect ratio.
void setUpView(const SceneView& view);
// The fixed state every pass relies on: no depth test, no dithering, blending on, black clear colour.
void setUpDrawingState();
// Draws one pixel, presents, and reads the back buffer back: true when the swap exchanges the
// buffers, so that every pass must be drawn into both of them.
bool swapExchangesBuffers(Presenter& presenter);
// Builds the glow texture for the drawing's style (and, for PerSprite, the sprite list), makes the
// sprite buffer for up to spriteCapacity particles, and turns texturing on; false when OpenGL refused.
bool createDrawingObjects(SceneDrawing& drawing, int32_t spriteCapacity);
// Frees the sprite buffer; the OpenGL objects go with the context.
void destroyDrawingObjects(SceneDrawing& drawing);
// The whole set-up once the platform has made a context current on a drawable of width x height:
// view, state, swap probe (its answer in twoPassSwap) and objects for the scene's particles.
// False when OpenGL refused: the sprite buffer is freed again, and the caller tears the context down.
bool setUpDrawing(SceneDrawing& drawing, int width, int height, int32_t spriteCapacity, Presenter& presenter,
                  bool& twoPassSwap);

// One frame: advance the scene by dt, draw one pass into every view (two with an exchanging swap),
// present. The sprites are laid out once and drawn into each view.
void renderFrame(SceneDrawing& drawing, Scene& scene, float dt, bool twoPassSwap, Presenter& presenter,
                 const SceneView* views, int viewCount);
// One pass with the camera's model-view matrix loaded: the veil over the previous picture (or a
// clear when trails are off), then every particle in play.
void drawScenePass(SceneDrawing& drawing, const Scene& scene);
// Loads the model-view matrix of a frame: the camera's translation along z.
void loadCamera(float cameraZ);
