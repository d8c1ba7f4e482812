// Object and Function.
#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/members.h"
#include "flash/avm1/builtins/native_helpers.h"
#include "flash/avm1/split_text.h"

namespace kinolux::avm1::builtins {

namespace {

Value objectCall(Vm& vm, const Value&, Args args) {
    const Value& v = arg(args, 0);
    if (v.isObject()) return v;
    if (v.isNullish()) return Value(vm.newObject());
    return Value(vm.box(v));
}

Value objectConstruct(Vm& vm, const Value& thisValue, Args args) {
    const Value& v = arg(args, 0);
    if (v.isObject()) return v;
    if (!v.isNullish()) return Value(vm.box(v));
    return thisValue;
}

bool isFunction(const Value& v) {
    return v.isObject() && v.object()->kind() == ObjectKind::Function;
}

Value addProperty(Vm& vm, const Value& thisValue, Args args) {
    Object* self = thisObject(thisValue);
    if (!self) return Value(false);
    String name = vm.toString(arg(args, 0));
    if (name.empty() || !isFunction(arg(args, 1))) return Value(false);
    const Value& setter = arg(args, 2);
    ObjectRef set;
    if (isFunction(setter)) set = setter.objectRef();
    else if (!setter.isNull()) return Value(false);
    int i = self->properties().find(name, vm.caseSensitive());
    if (i != PropertyMap::kNone) {
        Property& p = self->properties().at(i);
        p.getter = arg(args, 1).objectRef();
        p.setter = set;
    } else {
        self->defineAccessor(name, arg(args, 1).objectRef(), set, 0);
    }
    return Value(true);
}

Value hasOwnProperty(Vm& vm, const Value& thisValue, Args args) {
    Object* self = thisObject(thisValue);
    if (!self || args.empty()) return Value(false);
    return Value(vm.hasOwnProperty(*self, vm.toString(args[0])));
}

Value isPropertyEnumerable(Vm& vm, const Value& thisValue, Args args) {
    Object* self = thisObject(thisValue);
    if (!self) return Value(false);
    int i = self->properties().find(vm.toString(arg(args, 0)), vm.caseSensitive());
    return Value(i != PropertyMap::kNone && self->properties().at(i).enumerable());
}

Value isPrototypeOf(Vm&, const Value& thisValue, Args args) {
    Object* self = thisObject(thisValue);
    const Value& other = arg(args, 0);
    if (!self || !other.isObject()) return Value(false);
    int depth = 0;
    for (Object* p = other.object()->proto(); p && depth < 256; p = p->proto(), ++depth) {
        if (p == self) return Value(true);
    }
    return Value(false);
}

Value objectToString(Vm&, const Value& thisValue, Args) {
    Object* self = thisObject(thisValue);
    if (self && self->kind() == ObjectKind::Function) return Value(String(u"[type Function]"));
    return Value(String(u"[object Object]"));
}

Value valueOf(Vm&, const Value& thisValue, Args) { return thisValue; }

Value watch(Vm& vm, const Value& thisValue, Args args) {
    Object* self = thisObject(thisValue);
    if (!self || !isFunction(arg(args, 1))) return Value(false);
    self->setWatcher(vm.toString(arg(args, 0)), arg(args, 1).objectRef(), arg(args, 2), vm.caseSensitive());
    return Value(true);
}

Value unwatch(Vm& vm, const Value& thisValue, Args args) {
    Object* self = thisObject(thisValue);
    if (!self) return Value(false);
    return Value(self->removeWatcher(vm.toString(arg(args, 0)), vm.caseSensitive()));
}

Value registerClass(Vm& vm, const Value&, Args args) {
    if (args.size() < 2) return Value(false);
    vm.registerClass(vm.toString(args[0]), args[1]);
    return Value(true);
}

// ASSetPropFlags(object, names, set, clear): names is an array, a
// comma-separated list, or null for every property.
Value asSetPropFlags(Vm& vm, const Value&, Args args) {
    ObjectRef target = arg(args, 0).isObject() ? arg(args, 0).objectRef() : nullptr;
    if (!target) return Value();
    auto setBits = static_cast<std::uint16_t>(vm.toInt32(arg(args, 2)));
    auto clearBits = static_cast<std::uint16_t>(args.size() > 3 ? vm.toInt32(args[3]) : 0);
    auto apply = [&](Property& p) { p.flags = static_cast<std::uint16_t>((p.flags & ~clearBits) | setBits); };

    const Value& names = arg(args, 1);
    if (names.isNull()) {
        for (Property& p : target->properties().entries()) apply(p);
        return Value();
    }
    std::vector<String> list;
    if (names.isObject() && names.object()->kind() == ObjectKind::Array) {
        ObjectRef array = names.objectRef();
        std::uint32_t n = lengthOf(vm, array);
        for (std::uint32_t i = 0; i < n; ++i) list.push_back(vm.toString(elementOf(vm, array, i)));
    } else {
        String text = vm.toString(names);
        for (std::u16string_view name : splitText(text.view(), u',')) list.emplace_back(name);
    }
    for (const String& name : list) {
        int i = target->properties().find(name, false);
        if (i != PropertyMap::kNone) apply(target->properties().at(i));
    }
    return Value();
}

// ---- Function ----

// Function(x) hands back x; Function() a bare object without prototype.
Value functionCall(Vm& vm, const Value&, Args args) {
    if (!args.empty()) return args[0];
    return Value(vm.heap().make<Object>(Value()));
}

Value callThis(Vm& vm, const Value& thisValue) {
    if (thisValue.isNullish()) return Value(vm.global());
    return Value(vm.toObject(thisValue));
}

Value functionCallMethod(Vm& vm, const Value& thisValue, Args args) {
    if (!isFunction(thisValue)) return Value();
    Value self = callThis(vm, arg(args, 0));
    Args rest = args.size() > 1 ? args.subspan(1) : Args();
    Object* home = self.isObject() ? self.object()->proto() : nullptr;
    return vm.callWithHome(thisValue, self, rest, home);
}

Value functionApply(Vm& vm, const Value& thisValue, Args args) {
    if (!isFunction(thisValue)) return Value();
    Value self = callThis(vm, arg(args, 0));
    std::vector<Value> list;
    if (arg(args, 1).isObject()) {
        ObjectRef array = arg(args, 1).objectRef();
        std::uint32_t n = lengthOf(vm, array);
        vm.checkArrayLength(n);
        list.reserve(n);
        for (std::uint32_t i = 0; i < n; ++i) list.push_back(elementOf(vm, array, i));
    }
    Object* home = self.isObject() ? self.object()->proto() : nullptr;
    return vm.callWithHome(thisValue, self, list, home);
}

constexpr Member kObjectPrototypeMembers[] = {
    method(u"addProperty", addProperty),
    method(u"hasOwnProperty", hasOwnProperty),
    method(u"isPropertyEnumerable", isPropertyEnumerable),
    method(u"isPrototypeOf", isPrototypeOf),
    method(u"toString", objectToString),
    method(u"toLocaleString", objectToString),
    method(u"valueOf", valueOf),
    method(u"watch", watch),
    method(u"unwatch", unwatch),
};

}  // namespace

void installObject(Vm& vm) {
    Object& proto = *vm.protos().object;
    Ref<FunctionObject> ctor = vm.newNative(objectCall, objectConstruct, vm.protos().object);
    vm.global()->defineValue(u"Object", Value(ObjectRef(ctor)), PropertyFlag::DontEnum);
    defineMembers(vm, proto, kObjectPrototypeMembers);
    vm.defineMethod(*ctor, u"registerClass", registerClass);
    vm.defineMethod(*vm.global(), u"ASSetPropFlags", asSetPropFlags, PropertyFlag::DontEnum);
}

void installFunction(Vm& vm) {
    Object& proto = *vm.protos().function;
    Ref<FunctionObject> ctor = vm.newNative(functionCall, functionCall, vm.protos().function);
    vm.global()->defineValue(u"Function", Value(ObjectRef(ctor)), PropertyFlag::DontEnum);
    // Every function made from now on names Function as its constructor;
    // Object and Function, made before, get it here.
    vm.protos().functionClass = ObjectRef(ctor);
    const std::uint16_t hidden = PropertyFlag::DontEnum | PropertyFlag::DontDelete;
    ctor->defineValue(vm.names().constructor, Value(ObjectRef(ctor)), hidden);
    Value object = vm.global()->ownValue(String(u"Object"), true);
    if (object.isObject()) object.object()->defineValue(vm.names().constructor, Value(ObjectRef(ctor)), hidden);
    vm.defineMethod(proto, u"call", functionCallMethod);
    vm.defineMethod(proto, u"apply", functionApply);
}

}  // namespace kinolux::avm1::builtins
