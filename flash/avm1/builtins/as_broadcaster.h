// Making objects into listener broadcasters, as AsBroadcaster.initialize
// does.
#pragma once

#include "flash/avm1/vm.h"

namespace kinolux::avm1::builtins {

// Gives `target` the broadcaster methods of `broadcaster` and an empty
// _listeners array.
void initializeBroadcaster(Vm& vm, Object& target, Object& broadcaster);
// A plain object made into a broadcaster by the AsBroadcaster class.
ObjectRef makeBroadcasterObject(Vm& vm);

}  // namespace kinolux::avm1::builtins
