// A bitmap on the display list that shows a BitmapData (attachBitmap, or an
// image loaded into a clip): it follows the pixels as scripts change them.
#pragma once

#include "flash/core/bitmap_data.h"
#include "flash/core/display_object.h"

namespace flash {

class BitmapObject : public DisplayObject {
public:
    BitmapObject(Player& player, std::shared_ptr<BitmapData> pixels, bool smoothing = false);

    const std::shared_ptr<BitmapData>& pixels() const { return pixels_; }
    void setPixels(std::shared_ptr<BitmapData> pixels);
    bool smoothing = false;

    QRectF localBounds() const override;
    bool hitTestLocal(QPointF p, bool shapeFlag) const override;

private:
    std::shared_ptr<BitmapData> pixels_;
    // The size of the pixels when they were given: a bitmap keeps it when
    // they are disposed of later, as in the player.
    QSize size_;
};

}  // namespace flash
