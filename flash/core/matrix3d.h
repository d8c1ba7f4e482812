// A 4x4 transformation in three dimensions, as the player keeps it: single
// precision values in column order (the first four are the first column),
// applied to column vectors, so `a * b` transforms by b first, then a.
#pragma once

#include <array>

namespace flash {

struct Matrix3D {
    std::array<float, 16> m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

    float at(int row, int column) const { return m[column * 4 + row]; }
    float& at(int row, int column) { return m[column * 4 + row]; }

    static Matrix3D translation(float x, float y, float z);
    static Matrix3D scale(float x, float y, float z);
    // `degrees` about the direction (x, y, z), which need not be of unit
    // length; the identity for a direction of length zero.
    static Matrix3D rotation(double degrees, double x, double y, double z);

    Matrix3D transposed() const;
    float determinant() const;
    // False, leaving `out` alone, when the matrix has no inverse.
    bool inverse(Matrix3D& out) const;
    // The matrix applied to (x, y, z, w).
    std::array<float, 4> apply(float x, float y, float z, float w) const;

    bool operator==(const Matrix3D&) const = default;
};

Matrix3D operator*(const Matrix3D& a, const Matrix3D& b);

// How a rotation is written: angles about x, then y, then z (radians); an
// axis (x, y, z) and an angle (w); or a unit quaternion.
enum class Orientation3D { EulerAngles, AxisAngle, Quaternion };

// A transform taken apart: translation, rotation in some orientation style,
// scale (each x, y, z and, for the rotation, w).
struct Parts3D {
    using Value4 = std::array<double, 4>;
    Value4 translation, rotation, scale;
};

// The scale's directions are made perpendicular first, so a skew is lost;
// the values come out in single precision, as the player gives them.
Parts3D decompose(const Matrix3D& matrix, Orientation3D style);
// Scale, then rotation, then translation.
Matrix3D recompose(const Parts3D& parts, Orientation3D style);

}  // namespace flash
