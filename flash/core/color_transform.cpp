#include "flash/core/color_transform.h"

#include <algorithm>
#include <cmath>

namespace flash {

ColorTransform ColorTransform::from(const swf::ColorTransform& t) {
    ColorTransform c;
    c.mul[0] = t.rMul / 256.0f;
    c.mul[1] = t.gMul / 256.0f;
    c.mul[2] = t.bMul / 256.0f;
    c.mul[3] = t.aMul / 256.0f;
    c.add[0] = t.rAdd;
    c.add[1] = t.gAdd;
    c.add[2] = t.bAdd;
    c.add[3] = t.aAdd;
    return c;
}

ColorTransform ColorTransform::operator*(const ColorTransform& child) const {
    ColorTransform r;
    for (int i = 0; i < 4; ++i) {
        r.mul[i] = mul[i] * child.mul[i];
        r.add[i] = mul[i] * child.add[i] + add[i];
    }
    return r;
}

bool ColorTransform::isIdentity() const { return *this == ColorTransform{}; }

namespace {
int channel(float v, float m, float a) { return std::clamp(int(std::lround(v * m + a)), 0, 255); }
}  // namespace

QColor ColorTransform::apply(const swf::Color& c) const {
    return QColor(channel(c.r, mul[0], add[0]), channel(c.g, mul[1], add[1]), channel(c.b, mul[2], add[2]),
                  channel(c.a, mul[3], add[3]));
}

QColor ColorTransform::apply(const QColor& c) const {
    return apply(swf::Color{std::uint8_t(c.red()), std::uint8_t(c.green()), std::uint8_t(c.blue()),
                            std::uint8_t(c.alpha())});
}

}  // namespace flash
