// The scene's only drawing: veil or clear, then additive glow sprites.
#include "renderer/scene/sprite_pass.h"

#include <windows.h>
#include <GL/gl.h>

namespace {
// Veil rectangle in eye space: half width and half height, and its depth (scene units).
// At depth 3 it covers the 60-degree view for aspect ratios up to 2.88.
constexpr float VeilHalfWidth = 5.0f;
constexpr float VeilHalfHeight = 4.0f;
constexpr float VeilDepth = -3.0f;
// OpenGL names of the glow texture and of the sprite quad's display list.
constexpr GLuint GlowTextureName = 1;
constexpr GLuint SpriteQuadListName = 1;

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
}  // namespace

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
