#include "flash/core/bitmap_object.h"

namespace flash {

BitmapObject::BitmapObject(Player& player, std::shared_ptr<BitmapData> pixels, bool smooth)
    : DisplayObject(ObjectKind::Bitmap, nullptr, player), smoothing(smooth) {
    setPixels(std::move(pixels));
    setBinding(makeGraphicBinding(*this));
}

void BitmapObject::setPixels(std::shared_ptr<BitmapData> pixels) {
    pixels_ = std::move(pixels);
    size_ = pixels_ && pixels_->valid() ? QSize(pixels_->width(), pixels_->height()) : QSize();
}

QRectF BitmapObject::localBounds() const {
    if (size_.isEmpty()) return {};
    return QRectF(0, 0, size_.width() * 20.0, size_.height() * 20.0);
}

bool BitmapObject::hitTestLocal(QPointF p, bool) const { return localBounds().contains(p); }

}  // namespace flash
