// The script faces of the display objects: each object carries a binding
// the ActionScript machine talks to (host.h), made by the factories the
// core declares (script_binding.h).
#pragma once

#include "flash/avm1/host.h"
#include "flash/avm1/object.h"
#include "flash/core/library.h"
#include "flash/core/script_binding.h"

namespace flash {

// A script's init object for a display object it makes.
struct InitObject {
    kinolux::avm1::ObjectRef object;
};

// The machine's face of a display object.
kinolux::avm1::DisplayObjectBinding& avm1Binding(const DisplayObject& object);

// The display object behind a binding the machine hands back; null for
// none.
DisplayObject* displayObjectOf(const kinolux::avm1::DisplayObjectBinding* binding);

// The machine's block for action bytes the core hands out.
inline kinolux::avm1::ActionBlock actionBlock(const ActionCode& code) {
    return kinolux::avm1::ActionBlock::inside(code.movie, code.bytes, code.swfVersion);
}

}  // namespace flash
