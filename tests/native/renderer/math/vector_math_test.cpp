// Vector math and the random generator.
#include <gtest/gtest.h>

#include "renderer/scene/scene_test_support.h"

namespace {
void expectQuaternion(const Quaternion& q, float x, float y, float z, float w) {
    EXPECT_NEAR(q.x, x, 1e-6f);
    EXPECT_NEAR(q.y, y, 1e-6f);
    EXPECT_NEAR(q.z, z, 1e-6f);
    EXPECT_NEAR(q.w, w, 1e-6f);
}
}  // namespace

TEST(VectorMath, NormaliseAndQuaternions) {
    Vector3 v(3, 0, 4), zero(0, 0, 0);
    EXPECT_FLOAT_EQ(v.normalise(), 5.0f);
    expectVector(v, 0.6f, 0.0f, 0.8f, 1e-6f);
    EXPECT_EQ(zero.normalise(), 0.0f);
    expectVector(zero, 0.0f, 1.0f, 0.0f);

    for (float tiny : {0.0000005f, -0.0000005f}) {
        const Quaternion q = Quaternion::fromAngleAxis(tiny, Vector3(0.6f, 0, 0.8f));
        EXPECT_TRUE(q.x == 0 && q.y == 0 && q.z == 0 && q.w == 1) << tiny;  // exactly the identity
    }
    expectQuaternion(Quaternion::fromAngleAxis(3.1415927f, Vector3(0, 0, 1)), 0, 0, 1, 0);

    Quaternion identityTimesQ;
    identityTimesQ.multiply(Quaternion(0.1f, -0.2f, 0.3f, 0.9f));
    expectQuaternion(identityTimesQ, 0.1f, -0.2f, 0.3f, 0.9f);
    // The Hamilton product with the new rotation on the right: w1 v2 + w2 v1 + v1 x v2, w1 w2 - v1.v2.
    Quaternion product(1, 2, 3, 4);
    product.multiply(Quaternion(5, 6, 7, 8));
    expectQuaternion(product, 24, 48, 48, -6);
}


TEST(VectorMath, MatrixOfQuaternionIgnoresLength) {
    const Matrix4 identity;
    Matrix4 scalarOnly, longer, unit;
    scalarOnly.m[3] = 7.0f;  // every element is rewritten
    scalarOnly.setFromQuaternion(Quaternion(0, 0, 0, 5));
    longer.setFromQuaternion(Quaternion(0, 0, 2, 2));
    unit.setFromQuaternion(Quaternion(0, 0, 0.7071068f, 0.7071068f));
    // A quarter turn about z: x goes to y.
    EXPECT_NEAR(unit.m[1], 1.0f, 1e-6f);
    EXPECT_NEAR(unit.m[4], -1.0f, 1e-6f);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(scalarOnly.m[i], identity.m[i]) << i;
        EXPECT_NEAR(longer.m[i], unit.m[i], 1e-6f) << i;
    }
    // Any quaternion, unit or not, gives a rotation: orthonormal columns.
    Matrix4 general;
    general.setFromQuaternion(Quaternion(0.1f, -0.2f, 0.3f, 0.9f));
    for (int a = 0; a < 3; ++a) {
        for (int b = 0; b < 3; ++b) {
            const float *u = general.m + 4 * a, *v = general.m + 4 * b;
            EXPECT_NEAR(u[0] * v[0] + u[1] * v[1] + u[2] * v[2], a == b ? 1.0f : 0.0f, 1e-5f) << a << "," << b;
        }
    }
}


TEST(RandomGenerator, SequenceChoicesAndFractions) {
    Random random(1);
    for (int value : {41, 18467, 6334, 26500, 19169}) EXPECT_EQ(random.next(), value);

    EXPECT_EQ(chooseInt(10, 32766), 9);
    EXPECT_EQ(chooseInt(10, 32767), 10);
    EXPECT_EQ(chooseInt(4, 8191), 0);
    EXPECT_EQ(chooseInt(4, 8192), 1);
    EXPECT_FLOAT_EQ(fraction(32767), 1.0f);

    // The helper that scripts draws must itself be right, or every scripted test is void.
    for (int r : {0, 1, 9830, 32767}) EXPECT_EQ(randomWhoseNextDrawIs(r).next(), r);
    Random two = randomWhoseNextDrawsAre(5000, 8191);
    EXPECT_EQ(two.next(), 5000);
    EXPECT_EQ(two.next(), 8191);
}
