// The scene's only drawing: veil or clear, then additive glow sprites; and what it needs set up.
#include "renderer/draw/scene_drawing.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdint>

#include "renderer/draw/gl_names.h"
#include "renderer/draw/glow_image.h"

namespace {
// Projection: vertical field of view (degrees) and clipping planes (scene units).
constexpr double FieldOfViewDegrees = 60.0;
constexpr double NearPlane = 0.1;
constexpr double FarPlane = 10000.0;
// Veil rectangle in eye space: half width and half height, and its depth (scene units).
// At depth 3 it covers the 60-degree view for aspect ratios up to 2.88.
constexpr float VeilHalfWidth = 5.0f;
constexpr float VeilHalfHeight = 4.0f;
constexpr float VeilDepth = -3.0f;

// Darkens the whole picture by the veil's opacity, drawn in eye space whatever the camera does.
void drawVeil(float alpha, VeilTexturing veilTexturing) {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0, 0, 0, alpha);
    if (veilTexturing == VeilTexturing::Off) glDisable(GL_TEXTURE_2D);
    glPushMatrix();
    glLoadIdentity();
    glBegin(GL_TRIANGLE_STRIP);
    glVertex3f(-VeilHalfWidth, -VeilHalfHeight, VeilDepth);
    glVertex3f(VeilHalfWidth, -VeilHalfHeight, VeilDepth);
    glVertex3f(-VeilHalfWidth, VeilHalfHeight, VeilDepth);
    glVertex3f(VeilHalfWidth, VeilHalfHeight, VeilDepth);
    glEnd();
    glPopMatrix();
    if (veilTexturing == VeilTexturing::Off) glEnable(GL_TEXTURE_2D);
}

// Texture GlowTextureName: the glow spot with its mipmaps, modulated by the sprite colour.
bool buildGlowTexture() {
    uint8_t image[GlowImageSize * GlowImageSize];
    buildGlowImage(image);
    glBindTexture(GL_TEXTURE_2D, GlowTextureName);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    return gluBuild2DMipmaps(GL_TEXTURE_2D, 1, GlowImageSize, GlowImageSize, GL_LUMINANCE, GL_UNSIGNED_BYTE,
                             image) == 0;
}

// List SpriteQuadListName: the textured unit square at z = 0 that every sprite scales and places.
void buildSpriteQuadList() {
    glNewList(SpriteQuadListName, GL_COMPILE);
    glBindTexture(GL_TEXTURE_2D, GlowTextureName);
    glBegin(GL_TRIANGLES);
    glTexCoord2f(0, 0); glVertex3f(-0.5f, -0.5f, 0);
    glTexCoord2f(1, 0); glVertex3f(0.5f, -0.5f, 0);
    glTexCoord2f(1, 1); glVertex3f(0.5f, 0.5f, 0);
    glTexCoord2f(0, 0); glVertex3f(-0.5f, -0.5f, 0);
    glTexCoord2f(1, 1); glVertex3f(0.5f, 0.5f, 0);
    glTexCoord2f(0, 1); glVertex3f(-0.5f, 0.5f, 0);
    glEnd();
    glEndList();
}
}  // namespace

// A window of no height still gets a finite projection.
void setUpView(int width, int height) {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(FieldOfViewDegrees, static_cast<double>(width) / static_cast<double>(height > 0 ? height : 1),
                   NearPlane, FarPlane);
    glMatrixMode(GL_MODELVIEW);
    glDisable(GL_DEPTH_TEST);
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

// Texturing stays on for the whole run; only the veil may switch it off around itself.
bool buildDrawingObjects() {
    const bool textured = buildGlowTexture();
    glEnable(GL_TEXTURE_2D);
    buildSpriteQuadList();
    return textured && glGetError() == GL_NO_ERROR;
}

// With an exchanging swap both buffers must receive every pass, so the frame is drawn and presented twice.
void renderFrame(Scene& scene, float dt, bool twoPassSwap, Presenter& presenter, VeilTexturing veilTexturing) {
    advanceScene(scene, dt);
    glLoadIdentity();
    glTranslatef(0, 0, scene.cameraZ);
    drawScenePass(scene, veilTexturing);
    if (scene.settings.TrailLevel != 0 && twoPassSwap) {
        presenter.present();
        drawScenePass(scene, veilTexturing);
    }
    presenter.present();
}

// Additive blending with clamping makes the sprite order irrelevant, so no sorting or depth test.
void drawScenePass(const Scene& scene, VeilTexturing veilTexturing) {
    if (scene.settings.TrailLevel != 0) {
        drawVeil(veilAlpha(scene.settings.TrailLevel), veilTexturing);
    } else {
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glBlendFunc(GL_ONE, GL_ONE);
    glBindTexture(GL_TEXTURE_2D, GlowTextureName);
    for (int32_t k = 0; k < scene.liveParticleCount; ++k) drawParticleSprite(scene.particles[k], scene.sceneRotation);
}

// Only the centre is turned, so the square keeps facing the viewer.
void drawParticleSprite(const Particle& particle, const Matrix4& sceneRotation) {
    const float* m = sceneRotation.m;
    const Vector3& p = particle.position;
    glColor3f(particle.colour.x, particle.colour.y, particle.colour.z);
    glPushMatrix();
    glTranslatef(m[0] * p.x + m[4] * p.y + m[8] * p.z,
                 m[1] * p.x + m[5] * p.y + m[9] * p.z,
                 m[2] * p.x + m[6] * p.y + m[10] * p.z);
    glScalef(particle.size, particle.size, particle.size);
    glCallList(SpriteQuadListName);
    glPopMatrix();
}
