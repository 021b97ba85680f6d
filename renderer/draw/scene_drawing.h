// Drawing of the scene with OpenGL 1.1, shared by every platform's renderer. The platform makes a
// context current and presents; in between, everything is here, in three steps:
//   set-up:  setUpView (viewport and projection), setUpDrawingState (the fixed state),
//            swapExchangesBuffers (the swap probe), createDrawingObjects (texture, sprite buffer);
//   a pass:  drawScenePass (veil or clear, then every particle as an additive glow sprite);
//   a frame: renderFrame (advance the scenes, draw their pass or passes, present).
#pragma once

#include <cstdint>
#include <vector>

#include "renderer/scene/scene.h"
#include "renderer/scene/scene_view.h"

// One corner of a sprite in the batch, as the vertex arrays read it.
struct SpriteVertex {
    float x, y, z;  // scene units, before the camera's translation
    float s, t;     // texture coordinates on the glow spot
    float r, g, b;  // the particle's colour
};

struct SceneDrawing;

// How the drawing builds its objects, lays out a frame's sprites and draws one pass. The
// renderer's is BatchedDrawing; a bench may hand another to measure against.
struct DrawingStyle {
    // Builds what the style draws with for up to `capacity` sprites; false when OpenGL refused.
    bool (*createObjects)(SceneDrawing& drawing, int32_t capacity);
    // Lays the frame's sprites out once, for every view; the vertices written.
    int32_t (*layOutSprites)(SceneDrawing& drawing, const Scene& scene);
    // One pass with the camera loaded: the veil (or a clear), then the sprites.
    void (*drawPass)(const SceneDrawing& drawing, const Scene& scene, int32_t laidOutVertices);
};

// The renderer's drawing: the glow spot as an RGBA texture, every sprite of a frame in one vertex
// array, the veil as a multiply over the whole view.
extern const DrawingStyle BatchedDrawing;

// The drawing's own record: its style and the vertex buffer that every pass refills.
struct SceneDrawing {
    const DrawingStyle* style = &BatchedDrawing;
    std::vector<SpriteVertex> vertices;  // SpriteVertexCount for each particle the scene can hold
    int32_t spriteCapacity = 0;
};

// Corners of a batched sprite: two triangles of its square.
constexpr int SpriteVertexCount = 6;

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
// Builds the drawing style's objects for up to spriteCapacity particles and turns texturing on;
// false when OpenGL refused.
bool createDrawingObjects(SceneDrawing& drawing, int32_t spriteCapacity);
// The glow spot's texture and its mipmaps in the given internal format, modulated by the sprite
// colour; false when OpenGL refused.
bool buildGlowTexture(int internalFormat);
// Frees the sprite buffer; the OpenGL objects go with the context.
void destroyDrawingObjects(SceneDrawing& drawing);
// The whole set-up once the platform has made a context current on a drawable of width x height:
// view, state, swap probe (its answer in twoPassSwap) and objects for the scene's particles.
// False when OpenGL refused: the sprite buffer is freed again, and the caller tears the context down.
bool setUpDrawing(SceneDrawing& drawing, int width, int height, int32_t spriteCapacity, Presenter& presenter,
                  bool& twoPassSwap);

// One frame: advance every scene by dt, draw one pass into every view (two with an exchanging
// swap), present once. View k shows scene k, or the first scene where there are fewer scenes than
// views; a scene's sprites are laid out once for all the views that show it in a row.
void renderFrame(SceneDrawing& drawing, Scene* scenes, int sceneCount, float dt, bool twoPassSwap,
                 Presenter& presenter, const SceneView* views, int viewCount);
// The same frame with one scene in every view.
void renderFrame(SceneDrawing& drawing, Scene& scene, float dt, bool twoPassSwap, Presenter& presenter,
                 const SceneView* views, int viewCount);
// One pass with the camera's model-view matrix loaded: the veil over the previous picture (or a
// clear when trails are off), then every particle in play.
void drawScenePass(SceneDrawing& drawing, const Scene& scene);
// Loads the model-view matrix of a frame: the camera's translation along z.
void loadCamera(float cameraZ);
