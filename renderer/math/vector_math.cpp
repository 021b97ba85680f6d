#include "renderer/math/vector_math.h"

#include <cmath>

namespace {
// Angles smaller than this in size give the identity rotation (radians).
constexpr float TinyAngle = 0.000001f;
}

// Normalises by multiplying with the reciprocal, as the scene's motion rules expect.
float Vector3::normalise() {
    const float length = std::sqrt(x * x + y * y + z * z);
    if (length != 0.0f) {
        const float reciprocal = 1.0f / length;
        x *= reciprocal;
        y *= reciprocal;
        z *= reciprocal;
        return length;
    }
    y = 1.0f;
    return 0.0f;
}

// Builds the half-angle quaternion; the axis is taken as given.
Quaternion Quaternion::fromAngleAxis(float angle, const Vector3& axis) {
    if (angle > -TinyAngle && angle < TinyAngle) return Quaternion();
    const float half = angle * 0.5f;
    const float s = std::sin(half);
    return Quaternion(s * axis.x, s * axis.y, s * axis.z, std::cos(half));
}

// Hamilton product from the old values of both factors.
void Quaternion::multiply(const Quaternion& o) {
    const float x1 = x, y1 = y, z1 = z, w1 = w;
    x = w1 * o.x + x1 * o.w + y1 * o.z - z1 * o.y;
    y = w1 * o.y + y1 * o.w + z1 * o.x - x1 * o.z;
    z = w1 * o.z + z1 * o.w + x1 * o.y - y1 * o.x;
    w = w1 * o.w - x1 * o.x - y1 * o.y - z1 * o.z;
}

// The scale 2/|q|^2 makes a quaternion of any length give a pure rotation.
void Matrix4::setFromQuaternion(const Quaternion& q) {
    if (q.x == 0.0f && q.y == 0.0f && q.z == 0.0f) {
        *this = Matrix4();
        return;
    }
    const float s = 2.0f / (q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    const float xx = q.x * (q.x * s), yy = q.y * (q.y * s), zz = q.z * (q.z * s);
    const float xy = q.x * (q.y * s), xz = q.x * (q.z * s), yz = q.y * (q.z * s);
    const float wx = q.w * (q.x * s), wy = q.w * (q.y * s), wz = q.w * (q.z * s);
    m[0] = 1.0f - yy - zz; m[4] = xy - wz;        m[8] = xz + wy;         m[12] = 0.0f;
    m[1] = xy + wz;        m[5] = 1.0f - xx - zz; m[9] = yz - wx;         m[13] = 0.0f;
    m[2] = xz - wy;        m[6] = yz + wx;        m[10] = 1.0f - xx - yy; m[14] = 0.0f;
    m[3] = 0.0f;           m[7] = 0.0f;           m[11] = 0.0f;           m[15] = 1.0f;
}
