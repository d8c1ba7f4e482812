// Accessibility: no screen reader ever listens to a converted movie.
#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/members.h"
#include "flash/avm1/builtins/native_helpers.h"

namespace kinolux::avm1::builtins {

namespace {

constexpr Member kAccessibilityMembers[] = {
    method(u"isActive", no, kSwf6),
    method(u"sendEvent", nothing, kSwf6),
    method(u"updateProperties", nothing, kSwf6),
};

}  // namespace

void installAccessibility(Vm& vm) {
    defineObject(vm, *vm.global(), u"Accessibility", vm.newObject(), kAccessibilityMembers);
}

}  // namespace kinolux::avm1::builtins
