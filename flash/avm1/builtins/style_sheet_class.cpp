// TextField.StyleSheet: style sheets parse and answer nothing, as text is
// laid out by the host without them.
#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/members.h"
#include "flash/avm1/builtins/native_helpers.h"

namespace kinolux::avm1::builtins {

namespace {

constexpr Member kSheetMembers[] = {
    method(u"parseCSS", yes),
    method(u"load", no),
    method(u"getStyleNames", nothing),
};

}  // namespace

void installStyleSheet(Vm& vm) {
    Value textField = vm.global()->ownValue(String(u"TextField"), true);
    if (!textField.isObject()) return;
    ObjectRef proto = vm.newObject();
    Ref<FunctionObject> ctor = vm.newNative(keepThis, keepThis, proto);
    textField.object()->defineValue(u"StyleSheet", Value(ObjectRef(ctor)),
                                    PropertyFlag::DontEnum | PropertyFlag::OnlySwf7Up);
    defineMembers(vm, *proto, kSheetMembers);
}

}  // namespace kinolux::avm1::builtins
