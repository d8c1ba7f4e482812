// What the core borrows from the renderer, which builds on the core and so
// cannot be called by name: drawing a display object into pixels
// (BitmapData.draw) and filtering pixels (BitmapData.applyFilter). Whoever
// creates a player hands it the renderer's maker in its options; without
// one these calls leave the pixels as they are.
#pragma once

#include <QImage>
#include <QRect>
#include <QTransform>
#include <memory>
#include <optional>

#include "flash/core/color_transform.h"
#include "flash/swf/types.h"

namespace flash {

class DisplayObject;
class Player;

class RenderServices {
public:
    virtual ~RenderServices() = default;
    // Draws what the object shows (its children and their transforms, not
    // its own) into target, premultiplied ARGB32, through `matrix` (the
    // object's twips to target pixels).
    virtual void draw(QImage& target, const Player& player, const DisplayObject& object, const QTransform& matrix,
                      const ColorTransform& cx, swf::BlendMode mode, std::optional<QRect> clip, bool smooth) = 0;
    // Draws one picture into another through a matrix (pixels to pixels).
    virtual void drawImage(QImage& target, const QImage& source, const QTransform& matrix, const ColorTransform& cx,
                           swf::BlendMode mode, std::optional<QRect> clip, bool smooth) = 0;
    // Applies a filter in place, at the picture's own scale.
    virtual void filter(QImage& image, const swf::Filter& f) = 0;
};

using RenderServicesMaker = std::unique_ptr<RenderServices> (*)();

}  // namespace flash
