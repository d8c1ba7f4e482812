// Conversions from the file's geometry to Qt's, in twips.
#pragma once

#include <QRectF>
#include <QTransform>

#include "flash/core/library.h"
#include "flash/swf/types.h"

namespace flash {

QTransform toQTransform(const swf::Matrix& m);
QRectF toQRectF(const swf::Rect& r);
// The inverse of `m`; a matrix that cannot be inverted (an object scaled
// to nothing) maps every point onto the origin, as the player does.
QTransform inverseOrCollapse(const QTransform& m);
// Bounds of a character as its tag declares them; morph shapes at ratio
// (0..65535). Empty for characters without bounds of their own.
QRectF characterBounds(const Character* c, std::uint16_t ratio);

}  // namespace flash
