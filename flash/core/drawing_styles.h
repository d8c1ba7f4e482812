// The drawing API's arguments, as the machine hands them over, turned into
// the styles a drawing keeps.
#pragma once

#include <optional>

#include "flash/script/drawing.h"
#include "flash/core/drawing.h"

namespace flash {

// nullopt when the thickness is NaN (lineStyle() with no arguments).
std::optional<swf::LineStyle> drawingLine(const kinolux::script::LineStyle& style);
DrawingFill solidFill(std::uint32_t rgb, double alphaPercent);
// A bitmap fill through a script's matrix (bitmap pixels to the clip's pixels).
DrawingFill bitmapFill(std::shared_ptr<BitmapData> pixels, const QTransform& matrix, bool repeat, bool smooth);
swf::FillStyle gradientFill(const kinolux::script::GradientFill& fill);
// A script's matrix in pixels as the file's fixed-point matrix in twips.
swf::Matrix fileMatrix(const kinolux::script::Matrix& m);

}  // namespace flash
