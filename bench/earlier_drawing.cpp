// The earlier drawing: per-sprite matrices and display-list calls under an eye-space veil.
#include "bench/earlier_drawing.h"

#include <GL/gl.h>

#include "renderer/draw/gl_names.h"

namespace {
// The veil: a rectangle in eye space, half width and half height, and its depth (scene units). At
// depth 3 it covers the 60-degree view for aspect ratios up to 2.88.
constexpr float VeilHalfWidth = 5.0f;
constexpr float VeilHalfHeight = 4.0f;
constexpr float VeilDepth = -3.0f;
// The earlier pixel-format rule: points per depth bit, on top of the renderer's small cost per
// DepthBitsPerPoint bits, which it gives back.
constexpr int DeepestPointsPerBit = 2;
constexpr int DepthBitsPerPoint = 8;

// Black, alpha-blended, as a strip in eye space whatever the camera does.
void drawVeil(float alpha) {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0, 0, 0, alpha);
    glDisable(GL_TEXTURE_2D);
    glPushMatrix();
    glLoadIdentity();
    glBegin(GL_TRIANGLE_STRIP);
    glVertex3f(-VeilHalfWidth, -VeilHalfHeight, VeilDepth);
    glVertex3f(VeilHalfWidth, -VeilHalfHeight, VeilDepth);
    glVertex3f(-VeilHalfWidth, VeilHalfHeight, VeilDepth);
    glVertex3f(VeilHalfWidth, VeilHalfHeight, VeilDepth);
    glEnd();
    glPopMatrix();
    glEnable(GL_TEXTURE_2D);
}

// A matrix push, a translation to the turned centre, a scaling, the unit square's list.
void drawSprite(const Particle& particle, const Matrix4& sceneRotation) {
    const float* m = sceneRotation.m;
    const Vector3& p = particle.position;
    glColor3f(particle.colour.x, particle.colour.y, particle.colour.z);
    glPushMatrix();
    glTranslatef(m[0] * p.x + m[4] * p.y + m[8] * p.z, m[1] * p.x + m[5] * p.y + m[9] * p.z,
                 m[2] * p.x + m[6] * p.y + m[10] * p.z);
    glScalef(particle.size, particle.size, particle.size);
    glCallList(SpriteQuadListName);
    glPopMatrix();
}

// The luminance glow and list SpriteQuadListName: the textured unit square at z = 0 that every
// sprite scales and places.
bool createObjects(SceneDrawing&, int32_t) {
    const bool textured = buildGlowTexture(GL_LUMINANCE);
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
    return textured;
}

// Nothing is laid out ahead: every sprite is placed as it is drawn.
int32_t layOutSprites(SceneDrawing&, const Scene&) { return 0; }

// The veil (or a clear), then each particle in play by itself.
void drawPass(const SceneDrawing&, const Scene& scene, int32_t) {
    if (scene.settings.TrailLevel == 0) {
        glClear(GL_COLOR_BUFFER_BIT);
    } else {
        drawVeil(veilAlpha(scene.settings.TrailLevel));
    }
    glBlendFunc(GL_ONE, GL_ONE);
    glBindTexture(GL_TEXTURE_2D, GlowTextureName);
    for (int32_t k = 0; k < scene.liveParticleCount; ++k) drawSprite(scene.particles[k], scene.sceneRotation);
}
}  // namespace

const DrawingStyle EarlierDrawing{createObjects, layOutSprites, drawPass};

// Formats that cannot be used keep their -1.
int scoreEarlierPixelFormat(const PixelFormatCandidate& candidate) {
    const int score = scorePixelFormat(candidate);
    if (score < 0) return score;
    return score + candidate.depthBits / DepthBitsPerPoint + DeepestPointsPerBit * candidate.depthBits;
}
