// The display filters on a premultiplied picture: blur, drop shadow, glow,
// bevel, their gradient kinds, colour matrix and convolution.
#pragma once

#include <QImage>
#include <QMarginsF>

#include "flash/swf/types.h"

namespace flash::render {

// How far a filter can draw outside the object, in pixels at the given scale.
QMarginsF filterMargins(const swf::Filter& f, double scale);

// Applies a filter in place. scale turns the filter's pixel sizes into the
// picture's pixels (the stage's zoom).
void applyFilter(QImage& image, const swf::Filter& f, double scale);

}  // namespace flash::render
