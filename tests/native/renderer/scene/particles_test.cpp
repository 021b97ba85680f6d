#include <cstring>
#include <vector>

#include "renderer/scene/scene_test_support.h"

TEST(Particles, MoveAlongTheFieldOrAreReleasedAgainNextToAnEmitter) {
    // Five like particles at `at`, speed 100: 0..3 take the four-at-a-time step, 4 the one-by-one step.
    struct Case { const char* what; std::vector<Vector3> emitters, absorbers; Vector3 at; float dt; Vector3 to; bool released; };
    const Case cases[] = {
        {"along the field", {{0, 0, 0}}, {{300, 0, 0}}, {100, 0, 0}, 0.1f, {110, 0, 0}, false},
        {"exactly one step from the absorber", {{0, 0, 0}}, {{300, 0, 0}}, {290, 0, 0}, 0.1f, {300, 0, 0}, false},
        {"within one step: swallowed", {{0, 0, 0}}, {{300, 0, 0}}, {295, 0, 0}, 0.1f, {}, true},
        {"no time: on the absorber, not swallowed", {{10, 20, 30}}, {{-50, 0, 0}}, {-50, 0, 0}, 0.0f, {-50, 0, 0}, false},
        {"forces that cancel move along +y", {{-10, 0, 0}, {10, 0, 0}}, {}, {0, 0, 0}, 0.1f, {0, 10, 0}, false},
        {"a pole under the particle pushes along +y", {{5, 5, 5}}, {{5, -995, 5}}, {5, 5, 5}, 0.1f, {5, 15, 5}, false},
        {"within one unit a pole weighs 1", {{0, 0, 0}}, {{0.5f, 2, 0}}, {0.5f, 0, 0}, 0.001f, {0.58944f, 0.044721f, 0}, false},
        {"within reach of an emitter 11000 away", {{0, 0, 0}, {11000, 0, 0}}, {}, {10999.5f, 0, 0}, 0.01f, {10998.5f, 0, 0}, false},
    };
    for (const Case& c : cases) {
        Scene scene;
        makeScene(scene, static_cast<int32_t>(c.emitters.size()), static_cast<int32_t>(c.absorbers.size()), 5);
        for (size_t k = 0; k < c.emitters.size(); ++k) scene.emitters[k].position = c.emitters[k];
        for (size_t k = 0; k < c.absorbers.size(); ++k) scene.absorbers[k].position = c.absorbers[k];
        for (Particle* p = scene.particles.data(); p < scene.particles.data() + 5; ++p) p->position = c.at, p->speed = 100.0f;
        scene.liveParticleCount = 5;
        scene.spawnColour = Vector3(0.25f, 0.5f, 1.0f);
        updateParticles(scene, c.dt);
        for (const Particle* p : {&scene.particles[0], &scene.particles[4]}) {
            SCOPED_TRACE(c.what);
            if (!c.released) {
                expectVector(p->position, c.to.x, c.to.y, c.to.z, 1e-3f);
                EXPECT_EQ(std::memcmp(&p->position, &scene.particles[0].position, sizeof(Vector3)), 0) << "both steps alike";
                continue;
            }
            const float steps = (p->position - c.emitters[0]).normalise() / (c.dt * 100);
            EXPECT_TRUE(std::fabs(steps - 1) < 1e-4f || std::fabs(steps - std::sqrt(3.0f)) < 1e-4f) << steps << " steps from the emitter";
            expectVector(p->colour, 0.25f, 0.5f, 1.0f);
        }
    }
}
