// A TextFormat object: its fields kept natively, so that what scripts
// store is coerced once, on the way in.
#pragma once

#include "flash/avm1/host.h"
#include "flash/avm1/object.h"

namespace kinolux::avm1::builtins {

class TextFormatObject final : public Object {
public:
    TextFormatObject(Heap& heap, Value proto) : Object(heap, ObjectKind::TextFormat, std::move(proto)) {}
    TextFormat format;
    String display = String(u"block");
};

}  // namespace kinolux::avm1::builtins
