// Making objects into listener broadcasters, as AsBroadcaster.initialize
// does.
#pragma once

#include "flash/avm1/vm.h"

namespace kinolux::avm1::builtins {

// The AsBroadcaster class on _global, if a movie has not replaced it.
Object* broadcasterClass(Vm& vm);
// Gives `target` the broadcaster methods of `broadcaster` with `flags`.
void copyBroadcasterMethods(Object& target, Object& broadcaster, std::uint16_t flags);
// Gives `target` the broadcaster methods of `broadcaster` and an empty
// _listeners array.
void initializeBroadcaster(Vm& vm, Object& target, Object& broadcaster);
// A plain object made into a broadcaster by the AsBroadcaster class.
ObjectRef makeBroadcasterObject(Vm& vm);

}  // namespace kinolux::avm1::builtins
