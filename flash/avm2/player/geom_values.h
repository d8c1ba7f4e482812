// flash.geom values between scripts and the player: Points, Rectangles,
// Matrices and ColorTransforms made from and read into the player's own.
#pragma once

#include <QPointF>
#include <QRectF>
#include <QTransform>
#include <array>
#include <vector>

#include "flash/avm2/vm.h"
#include "flash/core/color_transform.h"
#include "flash/core/matrix3d.h"

namespace flash {

class DisplayObject;

// A number property of a geometry value, as scripts left it.
double geomField(kinolux::avm2::Vm& vm, const kinolux::avm2::Value& v, std::u16string_view name);
// The display object a Transform belongs to; null for one without.
DisplayObject* transformOwner(kinolux::avm2::Vm& vm, const kinolux::avm2::Value& transform);

kinolux::avm2::Object* newPoint(kinolux::avm2::Vm& vm, QPointF p);
QPointF pointOf(kinolux::avm2::Vm& vm, const kinolux::avm2::Value& point);
kinolux::avm2::Object* newRectangle(kinolux::avm2::Vm& vm, const QRectF& r);
QRectF rectangleOf(kinolux::avm2::Vm& vm, const kinolux::avm2::Value& rectangle);
// Matrices in pixels (translation in pixels, as scripts see them).
kinolux::avm2::Object* newMatrix(kinolux::avm2::Vm& vm, const QTransform& m);
QTransform matrixOf(kinolux::avm2::Vm& vm, const kinolux::avm2::Value& matrix);
kinolux::avm2::Object* newColorTransform(kinolux::avm2::Vm& vm, const ColorTransform& c);
ColorTransform colorTransformOf(kinolux::avm2::Vm& vm, const kinolux::avm2::Value& transform);

// A Vector3D's x, y, z and w.
using Vec4 = std::array<double, 4>;
kinolux::avm2::Object* newVector3D(kinolux::avm2::Vm& vm, const Vec4& v);
// Throws the script's null-reference error for null.
Vec4 vector3DOf(kinolux::avm2::Vm& vm, const kinolux::avm2::Value& vector);

kinolux::avm2::Object* newMatrix3D(kinolux::avm2::Vm& vm, const Matrix3D& m);
// The matrix of a Matrix3D; null for anything else.
const Matrix3D* matrix3DOf(const kinolux::avm2::Value& value);

void installVector3DClass(kinolux::avm2::Vm& vm);
// Matrix3D, Utils3D, Orientation3D and PerspectiveProjection (after Vector3D).
void installMatrix3DClasses(kinolux::avm2::Vm& vm);

// DisplayObject.transform and its Transform class, on the given classes.
void installDisplayTransform(kinolux::avm2::Vm& vm, const std::vector<kinolux::avm2::Class*>& displays);
void installPerspectiveProjection(kinolux::avm2::Vm& vm);
// z, rotationX/Y/Z and scaleZ on the given classes, and Transform.matrix3D
// and perspectiveProjection (after PerspectiveProjection).
void installDepthProperties(kinolux::avm2::Vm& vm, const std::vector<kinolux::avm2::Class*>& displays);

}  // namespace flash
