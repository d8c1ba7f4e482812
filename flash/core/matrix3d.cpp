#include "flash/core/matrix3d.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace flash {

Matrix3D Matrix3D::translation(float x, float y, float z) {
    Matrix3D t;
    t.m[12] = x;
    t.m[13] = y;
    t.m[14] = z;
    return t;
}

Matrix3D Matrix3D::scale(float x, float y, float z) {
    Matrix3D s;
    s.m[0] = x;
    s.m[5] = y;
    s.m[10] = z;
    return s;
}

Matrix3D Matrix3D::rotation(double degrees, double x, double y, double z) {
    const double length = std::sqrt(x * x + y * y + z * z);
    if (length == 0) return {};
    x /= length;
    y /= length;
    z /= length;
    const double radians = degrees * std::numbers::pi / 180;
    const double c = std::cos(radians), s = std::sin(radians), t = 1 - c;
    Matrix3D r;
    r.m = {float(t * x * x + c),     float(t * x * y + s * z), float(t * x * z - s * y), 0,
           float(t * x * y - s * z), float(t * y * y + c),     float(t * y * z + s * x), 0,
           float(t * x * z + s * y), float(t * y * z - s * x), float(t * z * z + c),     0,
           0,                        0,                        0,                        1};
    return r;
}

Matrix3D Matrix3D::transposed() const {
    Matrix3D t;
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) t.at(row, column) = at(column, row);
    return t;
}

namespace {

// The 2x2 minors of the bottom two rows and of the top two rows, from
// which both the determinant and the inverse are built.
struct Minors {
    float low[6], high[6];
    explicit Minors(const Matrix3D& a) {
        const int pairs[6][2] = {{0, 1}, {0, 2}, {0, 3}, {1, 2}, {1, 3}, {2, 3}};
        for (int i = 0; i < 6; ++i) {
            const int p = pairs[i][0], q = pairs[i][1];
            high[i] = a.at(0, p) * a.at(1, q) - a.at(0, q) * a.at(1, p);
            low[i] = a.at(2, p) * a.at(3, q) - a.at(2, q) * a.at(3, p);
        }
    }
    float determinant() const {
        return high[0] * low[5] - high[1] * low[4] + high[2] * low[3] + high[3] * low[2] - high[4] * low[1] +
               high[5] * low[0];
    }
};

using Column = std::array<float, 3>;
float dot(const Column& a, const Column& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// A rotation's unit quaternion (x, y, z, w) from its orthonormal columns.
Parts3D::Value4 quaternionOf(const Column (&c)[3]) {
    const auto m = [&](int row, int column) { return c[column][row]; };
    // In single precision, as the player works it out.
    const float trace = m(0, 0) + m(1, 1) + m(2, 2);
    if (trace > 0) {
        const float s = std::sqrt(trace + 1) * 2;
        return {(m(2, 1) - m(1, 2)) / s, (m(0, 2) - m(2, 0)) / s, (m(1, 0) - m(0, 1)) / s, s / 4};
    }
    if (m(0, 0) > m(1, 1) && m(0, 0) > m(2, 2)) {
        const float s = std::sqrt(1 + m(0, 0) - m(1, 1) - m(2, 2)) * 2;
        return {s / 4, (m(0, 1) + m(1, 0)) / s, (m(0, 2) + m(2, 0)) / s, (m(2, 1) - m(1, 2)) / s};
    }
    if (m(1, 1) > m(2, 2)) {
        const float s = std::sqrt(1 + m(1, 1) - m(0, 0) - m(2, 2)) * 2;
        return {(m(0, 1) + m(1, 0)) / s, s / 4, (m(1, 2) + m(2, 1)) / s, (m(0, 2) - m(2, 0)) / s};
    }
    const float s = std::sqrt(1 + m(2, 2) - m(0, 0) - m(1, 1)) * 2;
    return {(m(0, 2) + m(2, 0)) / s, (m(1, 2) + m(2, 1)) / s, s / 4, (m(1, 0) - m(0, 1)) / s};
}

Matrix3D rotationMatrix(const Parts3D::Value4& r, Orientation3D style) {
    constexpr double kDegrees = 180 / std::numbers::pi;
    switch (style) {
    case Orientation3D::EulerAngles:
        return Matrix3D::rotation(r[2] * kDegrees, 0, 0, 1) * Matrix3D::rotation(r[1] * kDegrees, 0, 1, 0) *
               Matrix3D::rotation(r[0] * kDegrees, 1, 0, 0);
    case Orientation3D::AxisAngle:
        return Matrix3D::rotation(r[3] * kDegrees, r[0], r[1], r[2]);
    case Orientation3D::Quaternion: {
        const double x = r[0], y = r[1], z = r[2], w = r[3];
        Matrix3D m;
        m.m = {float(1 - 2 * (y * y + z * z)), float(2 * (x * y + z * w)), float(2 * (x * z - y * w)), 0,
               float(2 * (x * y - z * w)), float(1 - 2 * (x * x + z * z)), float(2 * (y * z + x * w)), 0,
               float(2 * (x * z + y * w)), float(2 * (y * z - x * w)), float(1 - 2 * (x * x + y * y)), 0,
               0, 0, 0, 1};
        return m;
    }
    }
    return {};
}

}  // namespace

float Matrix3D::determinant() const { return Minors(*this).determinant(); }

bool Matrix3D::inverse(Matrix3D& out) const {
    const Minors k(*this);
    const float det = k.determinant();
    if (det == 0 || !std::isfinite(det)) return false;
    // Entry (row, column) of the adjugate expands one row of the matrix
    // along the three columns other than `row`, each against the minor of
    // the remaining two: columns 0 and 1 take rows 1 and 0 with the bottom
    // minors, columns 2 and 3 rows 3 and 2 with the top ones.
    static constexpr int kOthers[4][3] = {{1, 2, 3}, {0, 2, 3}, {0, 1, 3}, {0, 1, 2}};
    // kPairWithout[p][q]: the pair of Minors made of the two columns that are neither p nor q.
    static constexpr int kPairWithout[4][4] = {{-1, 5, 4, 3}, {5, -1, 2, 1}, {4, 2, -1, 0}, {3, 1, 0, -1}};
    Matrix3D r;
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) {
            const float* minors = column < 2 ? k.low : k.high;
            const int from = column < 2 ? 1 - column : 5 - column;
            const auto term = [&](int n, float sign) {
                const int other = kOthers[row][n];
                return sign * at(from, other) * minors[kPairWithout[row][other]];
            };
            const float sign = (row + column) % 2 ? -1.0f : 1.0f;
            r.at(row, column) = term(0, sign) + term(1, -sign) + term(2, sign);
        }
    for (float& v : r.m) v /= det;
    out = r;
    return true;
}

std::array<float, 4> Matrix3D::apply(float x, float y, float z, float w) const {
    std::array<float, 4> out{};
    for (int row = 0; row < 4; ++row) out[row] = at(row, 0) * x + at(row, 1) * y + at(row, 2) * z + at(row, 3) * w;
    return out;
}

// Translation, rotation in the given style and scale; the scale's columns
// are made orthogonal first, so a skew is dropped.
Parts3D decompose(const Matrix3D& matrix, Orientation3D style) {
    Column c[3];
    for (int k = 0; k < 3; ++k) c[k] = {matrix.at(0, k), matrix.at(1, k), matrix.at(2, k)};
    Parts3D::Value4 scale{0, 0, 0, 0};
    for (int k = 0; k < 3; ++k) {
        for (int j = 0; j < k; ++j) {
            const float along = dot(c[j], c[k]);
            for (int i = 0; i < 3; ++i) c[k][i] -= along * c[j][i];
        }
        const float length = std::sqrt(dot(c[k], c[k]));
        scale[k] = length;
        if (length != 0)
            for (float& v : c[k]) v /= length;
    }
    const Column cross{c[1][1] * c[2][2] - c[1][2] * c[2][1], c[1][2] * c[2][0] - c[1][0] * c[2][2],
                       c[1][0] * c[2][1] - c[1][1] * c[2][0]};
    if (dot(c[0], cross) < 0)
        for (int k = 0; k < 3; ++k) {
            scale[k] = -scale[k];
            for (float& v : c[k]) v = -v;
        }
    Parts3D::Value4 rotation{0, 0, 0, 0};
    if (style == Orientation3D::EulerAngles) {
        rotation[1] = std::asin(std::clamp(double(-c[0][2]), -1.0, 1.0));
        if (std::cos(rotation[1]) != 0) {
            rotation[0] = std::atan2(c[1][2], c[2][2]);
            rotation[2] = std::atan2(c[0][1], c[0][0]);
        } else {
            rotation[0] = std::atan2(-c[2][1], c[1][1]);
        }
    } else {
        const Parts3D::Value4 q = quaternionOf(c);
        if (style == Orientation3D::Quaternion) {
            rotation = q;
        } else {
            const float w = float(std::clamp(q[3], -1.0, 1.0));
            const float s = std::sqrt(1 - w * w);
            rotation = {s != 0 ? float(q[0]) / s : 0, s != 0 ? float(q[1]) / s : 0, s != 0 ? float(q[2]) / s : 0,
                        2 * std::acos(w)};
        }
    }
    // The player hands the parts out in single precision.
    for (Parts3D::Value4* part : {&rotation, &scale})
        for (double& v : *part) v = float(v);
    return {Parts3D::Value4{matrix.m[12], matrix.m[13], matrix.m[14], 0}, rotation, scale};
}

Matrix3D recompose(const Parts3D& parts, Orientation3D style) {
    const Parts3D::Value4& t = parts.translation;
    const Parts3D::Value4& s = parts.scale;
    return Matrix3D::translation(float(t[0]), float(t[1]), float(t[2])) * rotationMatrix(parts.rotation, style) *
           Matrix3D::scale(float(s[0]), float(s[1]), float(s[2]));
}

Matrix3D operator*(const Matrix3D& a, const Matrix3D& b) {
    Matrix3D r;
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            r.at(row, column) = a.at(row, 0) * b.at(0, column) + a.at(row, 1) * b.at(1, column) +
                                a.at(row, 2) * b.at(2, column) + a.at(row, 3) * b.at(3, column);
    return r;
}

}  // namespace flash
