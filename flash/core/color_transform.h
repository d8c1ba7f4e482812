// Colour transforms in floating point, combined down the display tree.
#pragma once

#include <QColor>

#include "flash/swf/types.h"

namespace flash {

struct ColorTransform {
    // Red, green, blue, alpha. Multipliers 1.0 = unchanged; additions in 0..255 units.
    float mul[4] = {1, 1, 1, 1};
    float add[4] = {0, 0, 0, 0};

    static ColorTransform from(const swf::ColorTransform& t);

    // The transform that applies child first, then this one.
    ColorTransform operator*(const ColorTransform& child) const;
    bool operator==(const ColorTransform&) const = default;

    bool isIdentity() const;
    QColor apply(const swf::Color& c) const;
    QColor apply(const QColor& c) const;
};

}  // namespace flash
