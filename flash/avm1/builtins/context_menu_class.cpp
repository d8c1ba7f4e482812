// ContextMenu and ContextMenuItem: the menu a movie would add to the
// player's right-click menu, and its custom entries. Nobody opens it here,
// but scripts build, hide and copy its items.
#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/members.h"
#include "flash/avm1/builtins/native_helpers.h"

namespace kinolux::avm1::builtins {

namespace {

Value contextMenuConstruct(Vm& vm, const Value& thisValue, Args args) {
    ObjectRef self = vm.toObject(thisValue);
    if (!self) return thisValue;
    vm.set(self, String(u"onSelect"), arg(args, 0));
    ObjectRef builtIns = vm.newObject();
    for (std::u16string_view item : {u"print", u"forward_back", u"rewind", u"loop", u"play", u"quality", u"zoom", u"save"})
        vm.set(builtIns, String(item), Value(true));
    vm.set(self, String(u"builtInItems"), Value(builtIns));
    vm.set(self, String(u"customItems"), Value(ObjectRef(vm.newArray())));
    return thisValue;
}

Value hideBuiltInItems(Vm& vm, const Value& thisValue, Args) {
    ObjectRef self = vm.toObject(thisValue);
    if (!self) return Value();
    Value items = vm.get(self, String(u"builtInItems"));
    if (!items.isObject()) return Value();
    ObjectRef list = items.objectRef();
    for (const String& key : vm.enumerate(*list)) vm.set(list, key, Value(false));
    return Value();
}

// A menu's copy has its own lists: the built-in switches copied and every
// custom item copied in turn.
Value contextMenuCopy(Vm& vm, const Value& thisValue, Args) {
    ObjectRef self = vm.toObject(thisValue);
    if (!self) return Value();
    ObjectRef copy = vm.createInstance(self->protoValue());
    vm.set(copy, String(u"onSelect"), vm.get(self, String(u"onSelect")));
    ObjectRef builtIns = vm.newObject();
    Value from = vm.get(self, String(u"builtInItems"));
    if (from.isObject()) {
        std::vector<String> keys = vm.enumerate(*from.object());
        for (auto key = keys.rbegin(); key != keys.rend(); ++key) vm.set(builtIns, *key, vm.get(from, *key));
    }
    vm.set(copy, String(u"builtInItems"), Value(builtIns));
    Ref<ArrayObject> items = vm.newArray();
    Value custom = vm.get(self, String(u"customItems"));
    if (custom.isObject()) {
        ObjectRef list = custom.objectRef();
        std::uint32_t n = lengthOf(vm, list);
        vm.charge(n);
        for (std::uint32_t i = 0; i < n; ++i) {
            Value item = elementOf(vm, list, i);
            Value copied = item.isObject() ? vm.callMethod(item, String(u"copy"), {}) : item;
            setElement(vm, ObjectRef(items.get()), i, copied);
        }
    }
    vm.set(copy, String(u"customItems"), Value(items.get()));
    return Value(copy);
}

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

// An item's copy: its own fields, over the same prototype.
Value contextMenuItemCopy(Vm& vm, const Value& thisValue, Args) {
    ObjectRef self = vm.toObject(thisValue);
    if (!self) return Value();
    ObjectRef copy = vm.createInstance(self->protoValue());
    for (const String& key : vm.enumerate(*self)) vm.set(copy, key, vm.get(self, key));
    return Value(copy);
}

constexpr Member kContextMenuMembers[] = {
    method(u"hideBuiltInItems", hideBuiltInItems),
    method(u"copy", contextMenuCopy),
};

constexpr Member kContextMenuItemMembers[] = {
    method(u"copy", contextMenuItemCopy),
};

}  // namespace

void installContextMenu(Vm& vm) {
    defineClass(vm, *vm.global(), {u"ContextMenu", contextMenuConstruct, contextMenuConstruct, kContextMenuMembers});
}

void installContextMenuItem(Vm& vm) {
    defineClass(vm, *vm.global(),
                {u"ContextMenuItem", contextMenuItemConstruct, contextMenuItemConstruct, kContextMenuItemMembers});
}

}  // namespace kinolux::avm1::builtins
