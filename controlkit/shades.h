// Colour arithmetic of the drawn controls: the slider's rim shades and the
// tabs' dimmed and brightened faces.
#pragma once

#include <QColor>

namespace kinolux {

// Adds `amount` to red, green and blue; a channel that would pass 255 keeps
// its value.
QColor Lighten(const QColor& colour, int amount);
// Subtracts `amount`; a channel that would fall below 0 keeps its value.
QColor Darken(const QColor& colour, int amount);
// Multiplies red, green and blue by `factor`, held within 0..1.
QColor Dim(const QColor& colour, double factor);
// Multiplies them by `factor`, at least 1, each channel capped at 255.
QColor Brighten(const QColor& colour, double factor);
// The per-channel midpoint.
QColor Midpoint(const QColor& a, const QColor& b);

}  // namespace kinolux
