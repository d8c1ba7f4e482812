// System.IME: the input method editor, which is never enabled without a
// user typing.
#include "flash/avm1/builtins/as_broadcaster.h"
#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/members.h"
#include "flash/avm1/builtins/native_helpers.h"

namespace kinolux::avm1::builtins {

namespace {

constexpr Member kImeMembers[] = {
    method(u"getEnabled", no),
    method(u"setEnabled", no),
    method(u"getConversionMode", nothing),
    method(u"setConversionMode", no),
    method(u"setCompositionString", no),
    method(u"doConversion", no),
};

}  // namespace

void installIme(Vm& vm) {
    Value system = vm.global()->ownValue(String(u"System"), true);
    if (!system.isObject()) return;
    defineObject(vm, *system.object(), u"IME", makeBroadcasterObject(vm), kImeMembers);
}

}  // namespace kinolux::avm1::builtins
