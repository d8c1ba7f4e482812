#include "flash/core/bitmap_object.h"

#include "flash/avm1/player/bindings.h"

namespace flash {

BitmapObject::BitmapObject(Player& player, std::shared_ptr<BitmapData> pixels, bool smooth)
    : DisplayObject(ObjectKind::Bitmap, nullptr, player), smoothing(smooth), pixels_(std::move(pixels)) {
    setBinding(makeGraphicBinding(*this));
}

QRectF BitmapObject::localBounds() const {
    if (!pixels_ || !pixels_->valid()) return {};
    return QRectF(0, 0, pixels_->width() * 20.0, pixels_->height() * 20.0);
}

bool BitmapObject::hitTestLocal(QPointF p, bool) const { return localBounds().contains(p); }

}  // namespace flash
