// The renderer's small value types: a three-component vector, a rotation quaternion
// and a 4x4 column-major matrix as glMultMatrixf takes it.
#pragma once

#include <type_traits>

// A position, direction or colour: three 32-bit floats, plain data that copies as bytes.
struct Vector3 {
    float x, y, z;

    // Leaves the components unset: the caller assigns them before use.
    Vector3() = default;
    Vector3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

    Vector3 operator+(const Vector3& other) const { return Vector3(x + other.x, y + other.y, z + other.z); }
    Vector3 operator-(const Vector3& other) const { return Vector3(x - other.x, y - other.y, z - other.z); }
    Vector3 operator*(float s) const { return Vector3(x * s, y * s, z * s); }

    // Scales to unit length in place and returns the former length; a zero vector becomes (0, 1, 0).
    float normalise();
};
static_assert(sizeof(Vector3) == 12 && std::is_trivially_copyable_v<Vector3>, "the scene arrays hold plain vectors");

// A rotation; (x, y, z) is the vector part and w the scalar part. Never renormalised.
struct Quaternion {
    float x = 0, y = 0, z = 0, w = 1;

    Quaternion() = default;
    Quaternion(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}

    // Rotation of angle radians about an axis the caller has already normalised.
    static Quaternion fromAngleAxis(float angle, const Vector3& axis);
    // this := this (x) other, the Hamilton product with the new rotation on the right.
    void multiply(const Quaternion& other);
};

// Element (row i, column j) is m[4j + i]; m[12..14] hold the translation.
struct Matrix4 {
    float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

    // Becomes the pure rotation of q, whatever q's length.
    void setFromQuaternion(const Quaternion& q);
};
