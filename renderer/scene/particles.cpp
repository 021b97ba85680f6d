#include "renderer/scene/scene.h"

#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
// Seconds over which all particles come into play, one every ReleaseSpan / ParticleCount.
constexpr float ReleaseSpan = 120.0f;
// Number of release directions; a draw of 32767 gives a 15th, no offset.
constexpr int ReleaseDirections = 14;
// A particle farther than this from any emitter is lost and released again (scene units).
constexpr float LossDistance = 11000.0f;

// Signs of the release offset per direction.
struct Offset { float x, y, z; };
constexpr Offset DirectionTable[ReleaseDirections + 1] = {
    {+1, 0, 0}, {-1, 0, 0}, {0, +1, 0}, {0, -1, 0}, {0, 0, +1}, {0, 0, -1},
    {+1, +1, +1}, {-1, +1, +1}, {+1, -1, +1}, {-1, -1, +1},
    {+1, +1, -1}, {-1, +1, -1}, {+1, -1, -1}, {-1, -1, -1},
    {0, 0, 0},
};

// Adds one pole's pull to the force: the unit direction from `from` to `to`, weighted by the inverse
// distance (at most 1); a pole exactly on the particle pulls along +y. Returns the distance.
// Written on plain floats in the same operation order as Vector3::normalise, so results are identical.
float addPull(float fromX, float fromY, float fromZ, float toX, float toY, float toZ,
                     float& forceX, float& forceY, float& forceZ) {
    float dx = toX - fromX, dy = toY - fromY, dz = toZ - fromZ;
    const float dist = std::sqrt(dx * dx + dy * dy + dz * dz);
    float w = 1.0f;
    if (dist != 0.0f) {
        const float reciprocal = 1.0f / dist;
        dx *= reciprocal;
        dy *= reciprocal;
        dz *= reciprocal;
        if (dist > 1.0f) w = reciprocal;  // the weight 1/dist is this very quotient: one division saved
    } else {
        dy = 1.0f;
    }
    forceX = forceX + dx * w;
    forceY = forceY + dy * w;
    forceZ = forceZ + dz * w;
    return dist;
}

#if defined(__SSE2__)
// Lanes of mask where it is set, of otherwise elsewhere.
inline __m128 select(__m128 mask, __m128 value, __m128 otherwise) {
    return _mm_or_ps(_mm_and_ps(mask, value), _mm_andnot_ps(mask, otherwise));
}

// Four particles at a time: the same operations, lane by lane, as addPull and the scalar step, so the
// results are bit for bit those of updateParticle (SSE arithmetic is IEEE single precision like the
// scalar path). Releases are still made one by one in index order, so the random draws keep their order.
struct Lanes {
    __m128 x, y, z;
};

// Adds one pole's pull to four forces and returns the four distances.
inline __m128 addPull4(const Lanes& from, const Lanes& to, Lanes& force) {
    const __m128 one = _mm_set1_ps(1.0f);
    __m128 dx = _mm_sub_ps(to.x, from.x), dy = _mm_sub_ps(to.y, from.y), dz = _mm_sub_ps(to.z, from.z);
    const __m128 dist = _mm_sqrt_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(dx, dx), _mm_mul_ps(dy, dy)), _mm_mul_ps(dz, dz)));
    const __m128 nonZero = _mm_cmpneq_ps(dist, _mm_setzero_ps());
    const __m128 reciprocal = _mm_div_ps(one, dist);  // infinite in zero lanes, which are not used
    dx = select(nonZero, _mm_mul_ps(dx, reciprocal), dx);
    dy = select(nonZero, _mm_mul_ps(dy, reciprocal), one);
    dz = select(nonZero, _mm_mul_ps(dz, reciprocal), dz);
    const __m128 w = select(_mm_cmpgt_ps(dist, one), reciprocal, one);
    force.x = _mm_add_ps(force.x, _mm_mul_ps(dx, w));
    force.y = _mm_add_ps(force.y, _mm_mul_ps(dy, w));
    force.z = _mm_add_ps(force.z, _mm_mul_ps(dz, w));
    return dist;
}

// Updates particles first .. first+3 together.
void updateFourParticles(Scene& scene, int32_t first, float dt) {
    Particle* p = scene.particles.data() + first;
    const Lanes position{_mm_setr_ps(p[0].position.x, p[1].position.x, p[2].position.x, p[3].position.x),
                         _mm_setr_ps(p[0].position.y, p[1].position.y, p[2].position.y, p[3].position.y),
                         _mm_setr_ps(p[0].position.z, p[1].position.z, p[2].position.z, p[3].position.z)};
    const __m128 speed = _mm_setr_ps(p[0].speed, p[1].speed, p[2].speed, p[3].speed);
    const __m128 step = _mm_set1_ps(dt);
    Lanes force{_mm_setzero_ps(), _mm_setzero_ps(), _mm_setzero_ps()};
    __m128 released = _mm_setzero_ps();
    const __m128 loss = _mm_set1_ps(LossDistance);
    for (int32_t n = 0; n < scene.emitterCount(); ++n) {
        const Vector3& e = scene.emitters[n].position;
        const Lanes pole{_mm_set1_ps(e.x), _mm_set1_ps(e.y), _mm_set1_ps(e.z)};
        released = _mm_or_ps(released, _mm_cmpgt_ps(addPull4(pole, position, force), loss));
    }
    const __m128 threshold = _mm_mul_ps(step, speed);
    for (int32_t n = 0; n < scene.absorberCount(); ++n) {
        const Vector3& a = scene.absorbers[n].position;
        const Lanes pole{_mm_set1_ps(a.x), _mm_set1_ps(a.y), _mm_set1_ps(a.z)};
        released = _mm_or_ps(released, _mm_cmplt_ps(addPull4(position, pole, force), threshold));
    }
    // normalise(F), then position + (F * dt) * speed.
    const __m128 one = _mm_set1_ps(1.0f);
    const __m128 length = _mm_sqrt_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(force.x, force.x), _mm_mul_ps(force.y, force.y)),
                                                 _mm_mul_ps(force.z, force.z)));
    const __m128 nonZero = _mm_cmpneq_ps(length, _mm_setzero_ps());
    const __m128 reciprocal = _mm_div_ps(one, length);
    const __m128 fx = select(nonZero, _mm_mul_ps(force.x, reciprocal), force.x);
    const __m128 fy = select(nonZero, _mm_mul_ps(force.y, reciprocal), one);
    const __m128 fz = select(nonZero, _mm_mul_ps(force.z, reciprocal), force.z);
    alignas(16) float nx[4], ny[4], nz[4];
    _mm_store_ps(nx, _mm_add_ps(position.x, _mm_mul_ps(_mm_mul_ps(fx, step), speed)));
    _mm_store_ps(ny, _mm_add_ps(position.y, _mm_mul_ps(_mm_mul_ps(fy, step), speed)));
    _mm_store_ps(nz, _mm_add_ps(position.z, _mm_mul_ps(_mm_mul_ps(fz, step), speed)));
    const int releasedLanes = _mm_movemask_ps(released);
    for (int k = 0; k < 4; ++k) {
        if (releasedLanes & (1 << k)) {
            respawnParticle(scene, p[k], dt);
        } else {
            p[k].position.x = nx[k];
            p[k].position.y = ny[k];
            p[k].position.z = nz[k];
        }
    }
}
#endif

}  // namespace

// Brings in one particle per release interval that has run out; a long frame brings in several.
void spawnParticles(Scene& scene, float dt) {
    if (scene.liveParticleCount >= scene.particleCount()) return;
    scene.spawnTimer -= dt;
    const float interval = ReleaseSpan / static_cast<float>(scene.particleCount());
    while (scene.spawnTimer <= 0.0f && scene.liveParticleCount < scene.particleCount()) {
        respawnParticle(scene, scene.particles[scene.liveParticleCount], dt);
        ++scene.liveParticleCount;
        scene.spawnTimer += interval;
    }
}

// Puts the particle one frame's travel away from a random emitter and gives it the colour of the moment.
// Without emitters it starts from the scene origin, with the same draws, so it keeps circulating.
void respawnParticle(Scene& scene, Particle& particle, float dt) {
    int emitter = chooseInt(scene.emitterCount(), scene.random.next());
    if (emitter > scene.emitterCount() - 1) emitter = scene.emitterCount() - 1;
    particle.position = emitter >= 0 ? scene.emitters[emitter].position : Vector3(0, 0, 0);
    const float d = dt * particle.speed;
    const Offset& o = DirectionTable[chooseInt(ReleaseDirections, scene.random.next())];
    particle.position.x += o.x * d;
    particle.position.y += o.y * d;
    particle.position.z += o.z * d;
    particle.colour = scene.spawnColour;
}

// Steps every particle in play, index 0 first; four at a time where the processor allows.
void updateParticles(Scene& scene, float dt) {
    int32_t n = 0;
#if defined(__SSE2__)
    for (; n + 4 <= scene.liveParticleCount; n += 4) updateFourParticles(scene, n, dt);
#endif
    for (; n < scene.liveParticleCount; ++n) updateParticle(scene, scene.particles[n], dt);
}

// Moves the particle speed * dt along the summed field, or releases it when swallowed or lost.
void updateParticle(Scene& scene, Particle& particle, float dt) {
    const float px = particle.position.x, py = particle.position.y, pz = particle.position.z;
    float fx = 0.0f, fy = 0.0f, fz = 0.0f;
    bool released = false;
    for (int32_t n = 0; n < scene.emitterCount(); ++n) {
        const Vector3& e = scene.emitters[n].position;
        if (addPull(e.x, e.y, e.z, px, py, pz, fx, fy, fz) > LossDistance) released = true;
    }
    const float threshold = dt * particle.speed;
    for (int32_t n = 0; n < scene.absorberCount(); ++n) {
        const Vector3& a = scene.absorbers[n].position;
        if (addPull(px, py, pz, a.x, a.y, a.z, fx, fy, fz) < threshold) released = true;
    }
    if (released) {
        respawnParticle(scene, particle, dt);
        return;
    }
    Vector3 force(fx, fy, fz);
    force.normalise();
    particle.position = particle.position + (force * dt) * particle.speed;
}
