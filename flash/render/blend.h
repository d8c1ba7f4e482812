// Compositing a rendered layer onto what lies beneath by blend mode.
#pragma once

#include <QImage>
#include <QPainter>

#include "flash/swf/types.h"

namespace flash::render {

// Draws layer at `at` (device pixels of target) onto target through the
// painter (its clip applies to the modes Qt provides), with the opacity given.
void compositeLayer(QPainter& p, QImage& target, const QImage& layer, QPoint at, swf::BlendMode mode, double opacity);

}  // namespace flash::render
