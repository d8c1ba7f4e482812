// How the stage maps into a picture: the Flash control's scale modes and
// its zoom.
#pragma once

#include <QRectF>
#include <QSize>
#include <QTransform>

namespace flash::render {

enum class ScaleMode { ShowAll = 0, NoBorder = 1, ExactFit = 2, NoScale = 3 };

// The transform from stage twips into a picture of the given size; zoom
// above 1 enlarges around the picture's centre.
QTransform viewTransform(const QRectF& stageTwips, QSize picture, ScaleMode mode, double zoom);

}  // namespace flash::render
