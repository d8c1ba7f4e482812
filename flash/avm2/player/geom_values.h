// flash.geom values between scripts and the player: Points, Rectangles,
// Matrices and ColorTransforms made from and read into the player's own.
#pragma once

#include <QPointF>
#include <QRectF>
#include <QTransform>
#include <vector>

#include "flash/avm2/vm.h"
#include "flash/core/color_transform.h"

namespace flash {

kinolux::avm2::Object* newPoint(kinolux::avm2::Vm& vm, QPointF p);
QPointF pointOf(kinolux::avm2::Vm& vm, const kinolux::avm2::Value& point);
kinolux::avm2::Object* newRectangle(kinolux::avm2::Vm& vm, const QRectF& r);
QRectF rectangleOf(kinolux::avm2::Vm& vm, const kinolux::avm2::Value& rectangle);
// Matrices in pixels (translation in pixels, as scripts see them).
kinolux::avm2::Object* newMatrix(kinolux::avm2::Vm& vm, const QTransform& m);
QTransform matrixOf(kinolux::avm2::Vm& vm, const kinolux::avm2::Value& matrix);
kinolux::avm2::Object* newColorTransform(kinolux::avm2::Vm& vm, const ColorTransform& c);
ColorTransform colorTransformOf(kinolux::avm2::Vm& vm, const kinolux::avm2::Value& transform);

// DisplayObject.transform and its Transform class, on the given classes.
void installDisplayTransform(kinolux::avm2::Vm& vm, const std::vector<kinolux::avm2::Class*>& displays);

}  // namespace flash
