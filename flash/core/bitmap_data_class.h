// flash.display.BitmapData for scripts (SWF 8 on): the script object that
// holds a BitmapData's pixels, and the class itself.
#pragma once

#include <memory>

#include "flash/avm1/object.h"
#include "flash/core/bitmap_data.h"

namespace kinolux::avm1 {
class Vm;
}

namespace flash {

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

}  // namespace flash
