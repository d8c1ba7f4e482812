// flash.display.BitmapData for scripts (SWF 8 on): the script object that
// holds a BitmapData's pixels, and the class itself.
#pragma once

#include <QRect>
#include <QTransform>
#include <memory>
#include <optional>

#include "flash/avm1/object.h"
#include "flash/core/bitmap_data.h"
#include "flash/core/color_transform.h"
#include "flash/swf/types.h"

namespace kinolux::avm1 {
class Vm;
}

namespace flash {

class DisplayObject;
class Player;

class BitmapDataObject : public kinolux::avm1::Object {
public:
    BitmapDataObject(kinolux::avm1::Heap& heap, kinolux::avm1::Value proto, std::shared_ptr<BitmapData> pixels)
        : Object(heap, std::move(proto)), pixels_(std::move(pixels)) {}
    const std::shared_ptr<BitmapData>& pixels() const { return pixels_; }

private:
    std::shared_ptr<BitmapData> pixels_;
};

// The pixels of a BitmapData script object; null for anything else and for
// a disposed one.
std::shared_ptr<BitmapData> bitmapDataOf(const kinolux::avm1::Value& v);

void installBitmapDataClass(kinolux::avm1::Vm& vm);

// BitmapData.draw of either script machine: another bitmap's pixels or a
// display object's picture into target through `matrix` (pixels); an
// opaque target stays opaque.
struct BitmapDrawing {
    QTransform matrix;
    ColorTransform cx;
    swf::BlendMode mode = swf::BlendMode::Normal;
    std::optional<QRect> clip;
    bool smooth = false;
};
void drawIntoBitmap(BitmapData& target, Player& player, const BitmapData* source, const DisplayObject* object,
                    const BitmapDrawing& how);
// BitmapData.applyFilter of either machine: a rectangle of source, filtered,
// into target at destPoint.
void applyFilterToBitmap(BitmapData& target, Player& player, const BitmapData& source, QRect sourceRect,
                         QPoint destPoint, const swf::Filter& filter);

}  // namespace flash
