// What the player adds to the machine's built-ins: the classes whose
// objects live in the core (BitmapData, the filters) and the members of
// the display classes built on them (attachBitmap, beginBitmapFill,
// filters, scrollRect, opaqueBackground).
#pragma once

namespace kinolux::avm1 {
class Vm;
}

namespace flash {

void installPlayerClasses(kinolux::avm1::Vm& vm);

}  // namespace flash
