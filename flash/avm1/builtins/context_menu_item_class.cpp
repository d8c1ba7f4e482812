// ContextMenuItem: one custom entry of a ContextMenu.
#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/members.h"
#include "flash/avm1/builtins/native_helpers.h"

namespace kinolux::avm1::builtins {

namespace {

Value contextMenuItemConstruct(Vm& vm, const Value& thisValue, Args args) {
    ObjectRef self = vm.toObject(thisValue);
    if (!self) return thisValue;
    vm.set(self, String(u"caption"), arg(args, 0));
    vm.set(self, String(u"onSelect"), arg(args, 1));
    vm.set(self, String(u"separatorBefore"), Value(vm.toBoolean(arg(args, 2))));
    vm.set(self, String(u"enabled"), Value(args.size() > 3 ? vm.toBoolean(args[3]) : true));
    vm.set(self, String(u"visible"), Value(args.size() > 4 ? vm.toBoolean(args[4]) : true));
    return thisValue;
}

Value copyObject(Vm& vm, const Value& thisValue, Args) {
    ObjectRef self = vm.toObject(thisValue);
    if (!self) return Value();
    ObjectRef copy = vm.createInstance(self->protoValue());
    for (const String& key : vm.enumerate(*self)) vm.set(copy, key, vm.get(self, key));
    return Value(copy);
}

constexpr Member kContextMenuItemMembers[] = {
    method(u"copy", copyObject),
};

}  // namespace

void installContextMenuItem(Vm& vm) {
    ObjectRef proto = vm.newObject();
    defineClass(vm, *vm.global(), u"ContextMenuItem", contextMenuItemConstruct, contextMenuItemConstruct, proto);
    defineMembers(vm, *proto, kContextMenuItemMembers);
}

}  // namespace kinolux::avm1::builtins
