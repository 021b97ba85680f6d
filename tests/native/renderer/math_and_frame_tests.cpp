// Vector math, the generator, the frame clock, pixel-format scoring and the glow image.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "renderer/frame/frame_clock.h"
#include "renderer/frame/glow_image.h"
#include "renderer/frame/pixel_format.h"
#include "renderer/math/random.h"
#include "renderer/math/vector_math.h"
#include "scene_test_support.h"

TEST(VectorMath, NormaliseScalesToUnitAndTurnsZeroIntoUp) {
    Vector3 v(3, 0, 4);
    EXPECT_FLOAT_EQ(v.normalise(), 5.0f);
    expectVector(v, 0.6f, 0.0f, 0.8f, 1e-6f);

    Vector3 zero(0, 0, 0);
    EXPECT_EQ(zero.normalise(), 0.0f);
    expectVector(zero, 0.0f, 1.0f, 0.0f);

    const Vector3 a(1, 2, 3);
    const Vector3 r = (a + a * 2.0f) - Vector3(0, 1, 0);
    EXPECT_EQ(r.x, 3.0f); EXPECT_EQ(r.y, 5.0f); EXPECT_EQ(r.z, 9.0f);
    EXPECT_EQ(a.x, 1.0f);  // operands untouched
}

TEST(VectorMath, QuaternionFromAngleAxis) {
    const Quaternion tiny = Quaternion::fromAngleAxis(0.0000005f, Vector3(0.6f, 0, 0.8f));
    EXPECT_EQ(tiny.x, 0.0f); EXPECT_EQ(tiny.y, 0.0f); EXPECT_EQ(tiny.z, 0.0f); EXPECT_EQ(tiny.w, 1.0f);

    const Quaternion half = Quaternion::fromAngleAxis(3.1415927f, Vector3(0, 0, 1));
    EXPECT_EQ(half.x, 0.0f);
    EXPECT_FLOAT_EQ(half.z, 1.0f);
    EXPECT_NEAR(half.w, 0.0f, 1e-6f);
}

TEST(VectorMath, IdentityIsNeutralInTheProductAndProductIsHamilton) {
    const Quaternion q(0.1f, -0.2f, 0.3f, 0.9f);
    Quaternion left;
    left.multiply(q);
    EXPECT_EQ(left.x, q.x); EXPECT_EQ(left.y, q.y); EXPECT_EQ(left.z, q.z); EXPECT_EQ(left.w, q.w);
    Quaternion right = q;
    right.multiply(Quaternion());
    EXPECT_EQ(right.x, q.x); EXPECT_EQ(right.y, q.y); EXPECT_EQ(right.z, q.z); EXPECT_EQ(right.w, q.w);

    // i * j = k, and j * i = -k: the order of the factors matters.
    Quaternion ij(1, 0, 0, 0);
    ij.multiply(Quaternion(0, 1, 0, 0));
    EXPECT_EQ(ij.z, 1.0f);
    Quaternion ji(0, 1, 0, 0);
    ji.multiply(Quaternion(1, 0, 0, 0));
    EXPECT_EQ(ji.z, -1.0f);
}

TEST(VectorMath, MatrixOfQuaternionIgnoresLength) {
    Matrix4 m;
    m.m[3] = 7.0f;
    m.setFromQuaternion(Quaternion(0, 0, 0, 5));
    const Matrix4 identity;
    for (int i = 0; i < 16; ++i) EXPECT_EQ(m.m[i], identity.m[i]) << i;

    Matrix4 longer, unit;
    longer.setFromQuaternion(Quaternion(0, 0, 2, 2));
    unit.setFromQuaternion(Quaternion(0, 0, 0.7071068f, 0.7071068f));
    EXPECT_NEAR(longer.m[0], 0.0f, 1e-6f);
    EXPECT_NEAR(longer.m[1], 1.0f, 1e-6f);
    EXPECT_NEAR(longer.m[4], -1.0f, 1e-6f);
    EXPECT_NEAR(longer.m[5], 0.0f, 1e-6f);
    EXPECT_NEAR(longer.m[10], 1.0f, 1e-6f);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(longer.m[i], unit.m[i], 1e-6f) << i;

    Matrix4 copy;
    longer.copyTo(copy);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(copy.m[i], longer.m[i]);
}

TEST(RandomGenerator, SequenceChoicesAndFractions) {
    Random random(1);
    const int expected[] = {41, 18467, 6334, 26500, 19169};
    for (int value : expected) EXPECT_EQ(random.next(), value);

    Random reseeded(99);
    reseeded.seed(1);
    EXPECT_EQ(reseeded.next(), 41);

    EXPECT_EQ(chooseInt(10, 32766), 9);
    EXPECT_EQ(chooseInt(10, 32767), 10);
    EXPECT_EQ(chooseInt(4, 8191), 0);
    EXPECT_EQ(chooseInt(4, 8192), 1);
    EXPECT_FLOAT_EQ(fraction(32767), 1.0f);
    EXPECT_EQ(fraction(0), 0.0f);

    // The test helper that scripts draws must itself be right, or every scripted test is void.
    for (int r : {0, 1, 9830, 32767}) EXPECT_EQ(randomWhoseNextDrawIs(r).next(), r);
}

TEST(FrameClock, FirstTickNearZeroThenMillisecondsAndWrapKeepsPrevious) {
    FrameClock clock;
    clock.tick(5000);
    EXPECT_EQ(clock.dt, 0.0f);
    clock.tick(5016);
    EXPECT_FLOAT_EQ(clock.dt, 0.016f);
    clock.tick(0xFFFFFFF0u);
    EXPECT_FLOAT_EQ(clock.dt, (0xFFFFFFF0u - 5016u) * 0.001f);
    clock.tick(0xFFFFFFFAu);
    EXPECT_FLOAT_EQ(clock.dt, 0.01f);
    clock.tick(20);  // counter wrapped
    EXPECT_FLOAT_EQ(clock.dt, 0.01f);
    clock.tick(45);
    EXPECT_FLOAT_EQ(clock.dt, 0.025f);
}

namespace {
const uint32_t GoodFlags = PixelFlagSupportOpenGl | PixelFlagDrawToWindow | PixelFlagDoubleBuffer;
}

TEST(PixelFormat, ScoresAndChoice) {
    const PixelFormatCandidate hw32{1, GoodFlags, PixelTypeRgba, 32, 24};
    const PixelFormatCandidate hw16{2, GoodFlags, PixelTypeRgba, 16, 16};
    const PixelFormatCandidate generic{3, GoodFlags | PixelFlagGenericFormat, PixelTypeRgba, 32, 32};
    const PixelFormatCandidate genericAccel{4, GoodFlags | PixelFlagGenericFormat | PixelFlagGenericAccelerated,
                                            PixelTypeRgba, 24, 24};
    EXPECT_EQ(scorePixelFormat(hw32), 2072);
    EXPECT_EQ(scorePixelFormat(hw16), 2048);
    EXPECT_EQ(scorePixelFormat(generic), 88);
    EXPECT_EQ(scorePixelFormat(genericAccel), 24 + 48 - 4 + 1000);
    EXPECT_EQ(scorePixelFormat({5, GoodFlags, PixelTypeRgba, 17, 0}), 17 + 2000);  // 17 bits: no penalty

    const PixelFormatCandidate list[] = {hw16, generic, hw32, genericAccel};
    EXPECT_EQ(chooseBestPixelFormat(list, 4), 1);  // index 1 is hw32's number
}

TEST(PixelFormat, TiesKeepLowerIndexAndFilterIsStrict) {
    const PixelFormatCandidate tie[] = {{4, GoodFlags, PixelTypeRgba, 24, 24}, {7, GoodFlags, PixelTypeRgba, 24, 24}};
    EXPECT_EQ(chooseBestPixelFormat(tie, 2), 4);

    // Formats missing one required property are never chosen, however deep.
    const PixelFormatCandidate rejected[] = {
        {1, PixelFlagSupportOpenGl | PixelFlagDrawToWindow, PixelTypeRgba, 32, 32},
        {2, PixelFlagSupportOpenGl | PixelFlagDoubleBuffer, PixelTypeRgba, 32, 32},
        {3, PixelFlagDrawToWindow | PixelFlagDoubleBuffer, PixelTypeRgba, 32, 32},
        {4, GoodFlags, 1 /* colour-index */, 32, 32},
    };
    for (const PixelFormatCandidate& c : rejected) EXPECT_LT(scorePixelFormat(c), 0);
    EXPECT_EQ(chooseBestPixelFormat(rejected, 4), 0);
    EXPECT_EQ(chooseBestPixelFormat(nullptr, 0), 0);

    // A device with only generic, unaccelerated formats still gets the best of them.
    const uint32_t generic = GoodFlags | PixelFlagGenericFormat;
    const PixelFormatCandidate software[] = {
        rejected[0], {2, generic, PixelTypeRgba, 16, 16}, {3, generic, PixelTypeRgba, 32, 32}, {4, generic, PixelTypeRgba, 24, 16}};
    EXPECT_EQ(chooseBestPixelFormat(software, 4), 3);
}

TEST(GlowImage, TexelValuesFallOffToABlackRim) {
    std::vector<uint8_t> image(GlowImageSize * GlowImageSize, 0xAB);
    buildGlowImage(image.data());
    auto texel = [&](int i, int j) { return static_cast<int>(image[i * GlowImageSize + j]); };
    EXPECT_EQ(texel(32, 32), 255);
    EXPECT_EQ(texel(32, 33), 239);
    EXPECT_EQ(texel(33, 33), 232);
    EXPECT_EQ(texel(32, 40), 143);
    EXPECT_EQ(texel(40, 40), 106);
    EXPECT_EQ(texel(32, 48), 63);
    EXPECT_EQ(texel(32, 63), 0);
    EXPECT_EQ(texel(0, 0), 0);
    // Every texel is written whatever the buffer held, and the spot is symmetric.
    std::vector<uint8_t> other(GlowImageSize * GlowImageSize, 0x11);
    buildGlowImage(other.data());
    EXPECT_EQ(image, other);
    for (int i = 0; i < GlowImageSize; ++i)
        for (int j = 0; j < GlowImageSize; ++j) EXPECT_EQ(texel(i, j), texel(j, i));
}
