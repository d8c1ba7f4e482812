#include "flash/avm1/builtins/members.h"

namespace kinolux::avm1::builtins {

namespace {

ObjectRef nativeOf(Vm& vm, NativeFunction fn, int tag) {
    if (!fn) return nullptr;
    Ref<FunctionObject> made = vm.newNative(fn);
    if (tag) made->setTag(tag);
    return ObjectRef(made);
}

}  // namespace

void defineMember(Vm& vm, Object& target, const Member& m) {
    String name(m.name);
    switch (m.kind) {
    case Member::Kind::Method: target.defineValue(name, Value(nativeOf(vm, m.function, m.tag)), m.flags); break;
    case Member::Kind::Accessor:
        target.defineAccessor(name, nativeOf(vm, m.function, m.tag), nativeOf(vm, m.setter, m.tag), m.flags);
        break;
    case Member::Kind::Number: target.defineValue(name, Value(m.number), m.flags); break;
    }
}

void defineMembers(Vm& vm, Object& target, std::span<const Member> members) {
    for (const Member& m : members) defineMember(vm, target, m);
}

Ref<FunctionObject> defineClass(Vm& vm, Object& owner, const ClassTable& table, ObjectRef prototype) {
    if (!prototype) prototype = vm.newObject();
    Ref<FunctionObject> ctor = defineClass(vm, owner, table.name, table.call, table.construct, prototype);
    defineMembers(vm, *prototype, table.prototypeMembers);
    defineMembers(vm, *ctor, table.classMembers);
    return ctor;
}

void defineObject(Vm& vm, Object& owner, std::u16string_view name, const ObjectRef& object,
                  std::span<const Member> members) {
    owner.defineValue(String(name), Value(object), PropertyFlag::DontEnum);
    defineMembers(vm, *object, members);
}

ObjectRef prototypeOfKind(Vm& vm, ObjectKind kind) {
    ObjectRef prototype = vm.newObject();
    prototype->setInstanceKind(kind);
    return prototype;
}

ObjectRef wrapperPrototype(Vm& vm, ObjectKind kind, Value primitive) {
    ObjectRef prototype(vm.heap().make<Object>(kind, Value(vm.protos().object)));
    prototype->setPrimitive(std::move(primitive));
    prototype->setInstanceKind(kind);
    return prototype;
}

}  // namespace kinolux::avm1::builtins
