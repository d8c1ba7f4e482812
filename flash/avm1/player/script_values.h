// Reading and making the script objects the core's classes take and give:
// rectangles, points, matrices and colour transforms of flash.geom, read
// property by property as the player reads them.
#pragma once

#include <QPoint>
#include <QRect>
#include <QTransform>

#include "flash/avm1/vm.h"
#include "flash/core/color_transform.h"

namespace flash {

class Player;

// The player a machine belongs to (its host is the player's, player_host.h).
Player& playerOf(kinolux::avm1::Vm& vm);

// Whole-pixel rectangle {x, y, width, height} and point {x, y}; properties
// convert as integers (NaN and missing ones are 0).
QRect rectangleOf(kinolux::avm1::Vm& vm, const kinolux::avm1::Value& v);
QPoint pointOf(kinolux::avm1::Vm& vm, const kinolux::avm1::Value& v);
// A flash.geom.Matrix {a, b, c, d, tx, ty} in pixels.
QTransform matrixOf(kinolux::avm1::Vm& vm, const kinolux::avm1::Value& v);
// A flash.geom.ColorTransform (multipliers and offsets).
ColorTransform colorTransformOf(kinolux::avm1::Vm& vm, const kinolux::avm1::Value& v);
// new flash.geom.Rectangle(x, y, width, height).
kinolux::avm1::Value makeRectangle(kinolux::avm1::Vm& vm, double x, double y, double width, double height);
// The package object _global.flash.<name>, made when missing (SWF 8 on).
kinolux::avm1::ObjectRef flashPackage(kinolux::avm1::Vm& vm, std::u16string_view name);
// The prototype of the class `owner`.<className> as scripts see it now
// (they may replace either); null when there is none.
kinolux::avm1::ObjectRef classPrototype(kinolux::avm1::Vm& vm, const kinolux::avm1::Value& owner,
                                        std::u16string_view className);

}  // namespace flash
