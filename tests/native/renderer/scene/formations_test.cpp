#include <algorithm>

#include "renderer/scene/scene_test_support.h"

static Vector3 polar(float radius, float angle) { return Vector3(radius * std::cos(angle), radius * std::sin(angle), 0); }

TEST(Formations, EveryLayoutPlacesEmittersThenAbsorbers) {
    const float s = 6.2831855f / 6;  // circle step for six poles
    // The second emitter and the last absorber of each fixed layout, for three of each.
    const struct { Layout layout; Vector3 emitter, absorber; } fixed[] = {
        {Layout::OneLine, {-300, -150, 0}, {500, 250, 0}},
        {Layout::InterleavedLine, {-100, -50, 0}, {500, 250, 0}},
        {Layout::FacingRows, {-100, -450, -50}, {300, 450, 50}},
        {Layout::CrossedRows, {-100, -450, 0}, {10, 450, 300}},
        {Layout::TwoCircles, polar(200, 0.5f + 4 * s), polar(500, 1.5f + 6 * s)},
        {Layout::OneCircle, polar(500, 0.5f + 2 * s), polar(500, 0.5f + 6 * s)},
        {Layout::InterleavedCircle, polar(500, 0.5f + 2 * s), polar(500, 0.5f + 5 * s)},
        {Layout::TwoPoints, {500, 100, 50}, {-500, -100, -50}},
    };
    Scene scene;
    makeScene(scene, 3, 3, 0);
    for (const auto& [layout, emitter, absorber] : fixed) {
        applyFormation(scene, layout);
        SCOPED_TRACE(static_cast<int>(layout));
        expectVector(scene.emitters[1].moveTarget, emitter.x, emitter.y, emitter.z, 0.01f);
        expectVector(scene.absorbers[2].moveTarget, absorber.x, absorber.y, absorber.z, 0.01f);
    }
    // Scattering: fresh coordinates r * 1000 / 32767 - 500 per pole, used in reverse; layout 6 on y = -450 and 450.
    for (int32_t type : {0, 5, 6}) {
        Random draws = scene.random;
        applyFormation(scene, static_cast<Layout>(type));
        for (int pole = 0; pole < 6; ++pole) {
            float c[3];
            for (int n = 0; n < (type == 0 ? 3 : 2); ++n) c[n] = draws.next() * 1000.0f * 0.000030518509f - 500.0f;
            const float y = type == 0 ? c[1] : type == 5 ? 0 : pole < 3 ? -450 : 450;
            expectVector((pole < 3 ? scene.emitters[pole] : scene.absorbers[pole - 3]).moveTarget, type ? c[1] : c[2], y, c[0], 1e-3f);
        }
    }
}

TEST(FormationCycle, ChoiceNeverRepeatsTheLayoutInForceAndOneGlideInFourIsFast) {
    for (int32_t current = 0; current <= 10; ++current) {
        Scene scene;
        makeScene(scene, 3, 3, 0);
        scene.formation = FormationState{static_cast<Layout>(current), Layout::ScatteredCube, 0, 3.1415927f, 0.1f};  // a fast glide ends now
        // The first draw names the layout in force: the next one is taken, and 10 (the top draw) wraps to 0.
        scene.random = randomWhoseNextDrawIs(std::min(current * 32767 / 10 + 100, 32767));
        Random draws = scene.random;
        draws.next();
        const bool fastDraw = draws.next() <= 8191;  // the next draw: a quarter of the range is fast
        advanceFormation(scene, 0.0f);
        EXPECT_EQ(static_cast<int32_t>(scene.formation.formationType), (current + 1) % 11);
        const bool scatters = current == 10 || current == 4 || current == 5;  // layouts 0, 5 and 6 draw first
        EXPECT_TRUE(scatters || scene.formation.formationRate == (fastDraw ? 0.1f : 0.001f)) << current;
    }
}
