// The scene's only drawing: veil or clear, then additive glow sprites; and what it needs set up.
#include "renderer/draw/scene_drawing.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdint>

#include "renderer/draw/gl_names.h"
#include "renderer/draw/glow_image.h"

namespace {
// Projection: vertical field of view (degrees) and clipping planes (scene units).
constexpr double FieldOfViewDegrees = 60.0;
constexpr double NearPlane = 0.1;
constexpr double FarPlane = 10000.0;
constexpr double Pi = 3.14159265358979323846;
// Levels of an 8-bit colour channel.
constexpr float ChannelLevels = 255.0f;
// A batched sprite's corners in units of half its side, with their texture coordinates: two
// triangles sharing one diagonal.
constexpr float SpriteCorners[SpriteVertexCount][4] = {
    {-1, -1, 0, 0}, {1, -1, 1, 0}, {1, 1, 1, 1}, {-1, -1, 0, 0}, {1, 1, 1, 1}, {-1, 1, 0, 1},
};

// Darkens the picture by the veil's opacity. Drawn as a screen-aligned rectangle without a
// perspective divide, with texturing off and as a multiply, so that a software rasterizer fills it
// on its fast path. The kept fraction is rounded to the 8-bit level that an alpha blend of black at
// that opacity keeps, which makes the two give the same pixels.
void drawBatchedVeil(float alpha) {
    const float kept = (ChannelLevels - std::round(alpha * ChannelLevels)) / ChannelLevels;
    glBlendFunc(GL_ZERO, GL_SRC_COLOR);
    glColor4f(kept, kept, kept, 1);
    glDisable(GL_TEXTURE_2D);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glRectf(-1, -1, 1, 1);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_TEXTURE_2D);
}

// Only the centres are turned by the scene rotation; each square is laid out in eye-space
// orientation around its centre, so it faces the viewer. Returns the vertices written.
int32_t fillSpriteVertices(SpriteVertex* vertices, int32_t capacity, const Scene& scene) {
    const float* m = scene.sceneRotation.m;
    const int32_t count = scene.liveParticleCount < capacity ? scene.liveParticleCount : capacity;
    SpriteVertex* v = vertices;
    for (int32_t k = 0; k < count; ++k) {
        const Particle& particle = scene.particles[k];
        const Vector3& p = particle.position;
        const float x = m[0] * p.x + m[4] * p.y + m[8] * p.z;
        const float y = m[1] * p.x + m[5] * p.y + m[9] * p.z;
        const float z = m[2] * p.x + m[6] * p.y + m[10] * p.z;
        const float half = 0.5f * particle.size;
        for (const float* corner : SpriteCorners) {
            *v++ = {x + corner[0] * half, y + corner[1] * half, z, corner[2], corner[3],
                    particle.colour.x,   particle.colour.y,   particle.colour.z};
        }
    }
    return count * SpriteVertexCount;
}

// The sprites of the vertex buffer's first `count` vertices in one draw.
void drawBatchedSprites(const SceneDrawing& drawing, int32_t count) {
    if (count == 0) return;
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(SpriteVertex), &drawing.vertices[0].x);
    glTexCoordPointer(2, GL_FLOAT, sizeof(SpriteVertex), &drawing.vertices[0].s);
    glColorPointer(3, GL_FLOAT, sizeof(SpriteVertex), &drawing.vertices[0].r);
    glDrawArrays(GL_TRIANGLES, 0, count);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

// Batched sprites read the glow as RGBA, which a software sampler fetches faster than luminance; the
// values are the same (luminance in every colour channel, alpha 1).
bool createBatchedObjects(SceneDrawing&, int32_t) { return buildGlowTexture(GL_RGBA8); }

// Lays the sprites out in the vertex buffer.
int32_t layOutBatchedSprites(SceneDrawing& drawing, const Scene& scene) {
    return fillSpriteVertices(drawing.vertices.data(), drawing.spriteCapacity, scene);
}

// Additive blending with clamping makes the sprite order irrelevant, so no sorting or depth test.
// The veil is handed to the driver before the sprites: a software rasterizer then fills it on its
// fast path everywhere, instead of only where no sprite shares its tiles.
void drawBatchedPass(const SceneDrawing& drawing, const Scene& scene, int32_t laidOutVertices) {
    if (scene.settings.TrailLevel == 0) {
        glClear(GL_COLOR_BUFFER_BIT);
    } else if (passVeil(scene) > 0.0f) {
        drawBatchedVeil(passVeil(scene));
        glFlush();
    }
    glBlendFunc(GL_ONE, GL_ONE);
    glBindTexture(GL_TEXTURE_2D, GlowTextureName);
    drawBatchedSprites(drawing, laidOutVertices);
}
}  // namespace

const DrawingStyle BatchedDrawing{createBatchedObjects, layOutBatchedSprites, drawBatchedPass};

// Texture GlowTextureName: the glow spot and the program's own mipmaps, trilinear.
bool buildGlowTexture(int internalFormat) {
    uint8_t chain[GlowMipmapTexels];
    buildGlowMipmaps(chain);
    glBindTexture(GL_TEXTURE_2D, GlowTextureName);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);  // the 2- and 1-texel rows are not 4-byte aligned
    for (int level = 0; level < GlowMipmapLevels; ++level) {
        const int side = GlowImageSize >> level;
        glTexImage2D(GL_TEXTURE_2D, level, internalFormat, side, side, 0, GL_LUMINANCE, GL_UNSIGNED_BYTE,
                     chain + glowMipmapOffset(level));
    }
    return glGetError() == GL_NO_ERROR;
}

// The frustum of a symmetric perspective view of the whole picture, cut to the view's part of it;
// a view of no height still gets a finite one.
void setUpView(const SceneView& view) {
    glViewport(view.x, view.y, view.width, view.height);
    glScissor(view.x, view.y, view.width, view.height);
    glEnable(GL_SCISSOR_TEST);
    const bool part = view.pictureWidth > 0 && view.pictureHeight > 0;
    const double width = part ? view.pictureWidth : view.width;
    const double height = part ? view.pictureHeight : (view.height > 0 ? view.height : 1);
    const double top = NearPlane * std::tan(FieldOfViewDegrees * Pi / 360.0), side = top * width / height;
    // The view's edges as fractions of the picture, from its left and its bottom.
    double fromLeft = 0, toRight = 1, fromBottom = 0, toTop = 1;
    if (part) {
        fromLeft = (view.x - view.pictureX) / width;
        toRight = (view.x + view.width - view.pictureX) / width;
        fromBottom = (view.y - view.pictureY) / height;
        toTop = (view.y + view.height - view.pictureY) / height;
    }
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-side + 2 * side * fromLeft, -side + 2 * side * toRight, -top + 2 * top * fromBottom,
              -top + 2 * top * toTop, NearPlane, FarPlane);
    glMatrixMode(GL_MODELVIEW);
}

// Draw order decides, never depth; dithering has nothing to do with 8 bits per channel.
void setUpDrawingState() {
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_DITHER);
    glEnable(GL_BLEND);
    glClearColor(0, 0, 0, 1);
}

// A swap that copies keeps the red pixel in the back buffer (one pass per frame is enough); one
// that exchanges does not.
bool swapExchangesBuffers(Presenter& presenter) {
    glClear(GL_COLOR_BUFFER_BIT);
    presenter.present();
    glClear(GL_COLOR_BUFFER_BIT);
    GLubyte pixel = 255;
    // The raster position must land on window pixel (0, 0), the one read back; with the
    // perspective projection the eye-space origin lies before the near plane and is clipped.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glRasterPos2i(-1, -1);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glDrawPixels(1, 1, GL_RED, GL_UNSIGNED_BYTE, &pixel);
    presenter.present();
    pixel = 0;
    glReadPixels(0, 0, 1, 1, GL_RED, GL_UNSIGNED_BYTE, &pixel);
    return pixel == 0;
}

// Texturing stays on for the whole run; only the veil switches it off around itself.
bool createDrawingObjects(SceneDrawing& drawing, int32_t spriteCapacity) {
    destroyDrawingObjects(drawing);
    if (spriteCapacity < 0) spriteCapacity = 0;
    drawing.vertices.assign(static_cast<size_t>(spriteCapacity) * SpriteVertexCount, SpriteVertex{});
    drawing.spriteCapacity = spriteCapacity;
    const bool built = drawing.style->createObjects(drawing, spriteCapacity);
    glEnable(GL_TEXTURE_2D);
    return built && glGetError() == GL_NO_ERROR;
}

// The buffer's memory is given back, not only emptied.
void destroyDrawingObjects(SceneDrawing& drawing) {
    std::vector<SpriteVertex>().swap(drawing.vertices);
    drawing.spriteCapacity = 0;
}

// The probe clears the whole drawable in both buffers, so parts no view covers stay black.
bool setUpDrawing(SceneDrawing& drawing, int width, int height, int32_t spriteCapacity, Presenter& presenter,
                  bool& twoPassSwap) {
    setUpView(SceneView{0, 0, width, height});
    setUpDrawingState();
    twoPassSwap = swapExchangesBuffers(presenter);
    if (createDrawingObjects(drawing, spriteCapacity)) return true;
    destroyDrawingObjects(drawing);
    return false;
}

// The camera only moves along z.
void loadCamera(float cameraZ) {
    glLoadIdentity();
    glTranslatef(0, 0, cameraZ);
}

namespace {
// One pass into every view, each seen from its scene's camera at its own aspect ratio. The buffer
// holds one scene's sprites at a time: a view of another scene lays that one out first.
void drawViews(SceneDrawing& drawing, const Scene* scenes, int sceneCount, const SceneView* views, int viewCount,
               int& laidOutScene, int32_t& laidOutVertices) {
    for (int k = 0; k < viewCount; ++k) {
        const int shown = k < sceneCount ? k : 0;
        if (shown != laidOutScene) {
            laidOutVertices = drawing.style->layOutSprites(drawing, scenes[shown]);
            laidOutScene = shown;
        }
        setUpView(views[k]);
        loadCamera(scenes[shown].cameraZ);
        drawing.style->drawPass(drawing, scenes[shown], laidOutVertices);
    }
}
}  // namespace

// Every scene advances before any is drawn, and one present shows them all. With an exchanging
// swap both buffers must receive every pass, so the frame is drawn and presented twice.
void renderFrame(SceneDrawing& drawing, Scene* scenes, int sceneCount, float dt, bool twoPassSwap,
                 Presenter& presenter, const SceneView* views, int viewCount) {
    for (int k = 0; k < sceneCount; ++k) advanceScene(scenes[k], dt);
    int laidOutScene = -1;
    int32_t laidOut = 0;
    drawViews(drawing, scenes, sceneCount, views, viewCount, laidOutScene, laidOut);
    if (scenes[0].settings.TrailLevel != 0 && twoPassSwap) {
        presenter.present();
        drawViews(drawing, scenes, sceneCount, views, viewCount, laidOutScene, laidOut);
    }
    presenter.present();
}

// The one scene in every view.
void renderFrame(SceneDrawing& drawing, Scene& scene, float dt, bool twoPassSwap, Presenter& presenter,
                 const SceneView* views, int viewCount) {
    renderFrame(drawing, &scene, 1, dt, twoPassSwap, presenter, views, viewCount);
}

// The sprites are laid out afresh for this one pass.
void drawScenePass(SceneDrawing& drawing, const Scene& scene) {
    drawing.style->drawPass(drawing, scene, drawing.style->layOutSprites(drawing, scene));
}
