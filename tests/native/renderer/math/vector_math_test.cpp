#include "renderer/scene/scene_test_support.h"

TEST(VectorMath, NormaliseQuaternionsAndTheirMatrix) {
    Vector3 v(3, 0, 4), zero(0, 0, 0);
    EXPECT_EQ(v.normalise(), 5.0f);
    EXPECT_EQ(zero.normalise(), 0.0f);
    expectVector(v, 0.6f, 0.0f, 0.8f, 1e-6f);
    expectVector(zero, 0.0f, 1.0f, 0.0f);
    for (float tiny : {0.0000005f, -0.0000005f}) {
        const Quaternion q = Quaternion::fromAngleAxis(tiny, Vector3(0.6f, 0, 0.8f));
        EXPECT_TRUE(q.x == 0 && q.y == 0 && q.z == 0 && q.w == 1)  // exactly the identity
            << tiny << ": " << q.x << " " << q.y << " " << q.z << " " << q.w;
    }
    // The Hamilton product with the new rotation on the right: w1 v2 + w2 v1 + v1 x v2, w1 w2 - v1.v2.
    Quaternion product(1, 2, 3, 4);
    product.multiply(Quaternion(5, 6, 7, 8));
    EXPECT_EQ(product.x, 24);
    EXPECT_EQ(product.y, 48);
    EXPECT_EQ(product.z, 48);
    EXPECT_EQ(product.w, -6);
    // A quarter turn about z takes x to y and y to -x, whatever the quaternion's length.
    Matrix4 unit, longer;
    unit.setFromQuaternion(Quaternion::fromAngleAxis(1.5707964f, Vector3(0, 0, 1)));
    longer.setFromQuaternion(Quaternion(0, 0, 2, 2));
    const float turned[16] = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(unit.m[i], turned[i], 1e-6f) << i;
        EXPECT_NEAR(longer.m[i], turned[i], 1e-6f) << i;
    }
}
