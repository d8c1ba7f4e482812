#include "flash/core/matrix3d.h"

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

}  // namespace

float Matrix3D::determinant() const { return Minors(*this).determinant(); }

bool Matrix3D::inverse(Matrix3D& out) const {
    const Minors k(*this);
    const float det = k.determinant();
    if (det == 0 || !std::isfinite(det)) return false;
    const float* s = k.high;
    const float* c = k.low;
    // Rows 0-1 of the adjugate come from the bottom minors, rows 2-3 from
    // the top ones.
    const auto a = [this](int row, int column) { return at(row, column); };
    Matrix3D r;
    r.at(0, 0) = a(1, 1) * c[5] - a(1, 2) * c[4] + a(1, 3) * c[3];
    r.at(0, 1) = -a(0, 1) * c[5] + a(0, 2) * c[4] - a(0, 3) * c[3];
    r.at(0, 2) = a(3, 1) * s[5] - a(3, 2) * s[4] + a(3, 3) * s[3];
    r.at(0, 3) = -a(2, 1) * s[5] + a(2, 2) * s[4] - a(2, 3) * s[3];
    r.at(1, 0) = -a(1, 0) * c[5] + a(1, 2) * c[2] - a(1, 3) * c[1];
    r.at(1, 1) = a(0, 0) * c[5] - a(0, 2) * c[2] + a(0, 3) * c[1];
    r.at(1, 2) = -a(3, 0) * s[5] + a(3, 2) * s[2] - a(3, 3) * s[1];
    r.at(1, 3) = a(2, 0) * s[5] - a(2, 2) * s[2] + a(2, 3) * s[1];
    r.at(2, 0) = a(1, 0) * c[4] - a(1, 1) * c[2] + a(1, 3) * c[0];
    r.at(2, 1) = -a(0, 0) * c[4] + a(0, 1) * c[2] - a(0, 3) * c[0];
    r.at(2, 2) = a(3, 0) * s[4] - a(3, 1) * s[2] + a(3, 3) * s[0];
    r.at(2, 3) = -a(2, 0) * s[4] + a(2, 1) * s[2] - a(2, 3) * s[0];
    r.at(3, 0) = -a(1, 0) * c[3] + a(1, 1) * c[1] - a(1, 2) * c[0];
    r.at(3, 1) = a(0, 0) * c[3] - a(0, 1) * c[1] + a(0, 2) * c[0];
    r.at(3, 2) = -a(3, 0) * s[3] + a(3, 1) * s[1] - a(3, 2) * s[0];
    r.at(3, 3) = a(2, 0) * s[3] - a(2, 1) * s[1] + a(2, 2) * s[0];
    for (float& v : r.m) v /= det;
    out = r;
    return true;
}

std::array<float, 4> Matrix3D::apply(float x, float y, float z, float w) const {
    std::array<float, 4> out{};
    for (int row = 0; row < 4; ++row) out[row] = at(row, 0) * x + at(row, 1) * y + at(row, 2) * z + at(row, 3) * w;
    return out;
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
