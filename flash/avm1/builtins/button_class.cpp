// Button: a script's view of a button on the stage, with the accessors
// every display object shares.
#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/native_helpers.h"

namespace kinolux::avm1::builtins {

void installButton(Vm& vm) {
    ObjectRef proto = vm.newObject();
    vm.protos().button = proto;
    defineClass(vm, *vm.global(), u"Button", nullptr, nullptr, proto);
    defineDisplayAccessors(vm, *proto);
}

}  // namespace kinolux::avm1::builtins
