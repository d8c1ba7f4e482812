// Vector and its typed forms Vector.<T>, sharing Array's methods.
#include "flash/avm2/builtins/native.h"

namespace kinolux::avm2 {
namespace {

ArrayObject* vectorOf(const Value& self) {
    Object* o = self.object();
    return o && o->kind == ObjectKind::Vector ? static_cast<ArrayObject*>(o) : nullptr;
}

Object* makeVector(Vm& vm, Class* cls) {
    auto* v = vm.make<ArrayObject>(ObjectKind::Vector, &cls->instanceTraits, cls, cls->prototype);
    v->elementClass = cls->vectorElement;
    return v;
}

Value vectorInit(Vm& vm, const Value& self, std::span<const Value> args) {
    ArrayObject* v = vectorOf(self);
    if (!v) return Value();
    double n = args.empty() ? 0 : vm.toNumber(args[0]);
    if (n < 0 || n != std::trunc(n) || n > 4294967295.0)
        vm.throwError(ErrorType::RangeError,
                      "Error #1005: Array index is not a positive integer (" + numberToString(n).toUtf8() + ").", 1005);
    if (n > double(vm.limits().maxArrayLength)) throw avm1::ScriptAbort(avm1::LimitMessage::kArray, false);
    vm.charge(std::size_t(n) * sizeof(Value));
    v->elements.assign(std::size_t(n), vectorFiller(vm, v->elementClass));
    v->fixed = toBoolean(arg(args, 1));
    return Value();
}


Value fixedGetter(Vm&, const Value& self, std::span<const Value>) {
    ArrayObject* v = vectorOf(self);
    return Value(v && v->fixed);
}

Value fixedSetter(Vm&, const Value& self, std::span<const Value> args) {
    if (ArrayObject* v = vectorOf(self)) v->fixed = toBoolean(arg(args, 0));
    return Value();
}

}  // namespace

Value vectorFiller(Vm& vm, Class* element) {
    if (!element) return Value();
    return vm.coerceTo(element == vm.builtins().number ? Value(0.0) : Value::null(), element);
}

Class& Vm::vectorClassFor(const Value& elementType) {
    Object* o = elementType.object();
    Class* element = o && o->kind == ObjectKind::Class ? static_cast<ClassObject*>(o)->self : nullptr;
    if (!element && !elementType.isNullish())
        throwError(ErrorType::TypeError, "Error #1127: Type application attempted on a non-parameterized type.", 1127);
    if (auto it = vectorClasses_.find(element); it != vectorClasses_.end()) return *it->second;
    std::u16string name = u"Vector.<";
    name += element ? element->qualifiedName().view() : u"*";
    name += u">";
    Class* vector = builtins_.vector;
    Class* c = defineClass(u"__AS3__.vec", name, vector, makeVector, ObjectKind::Vector);
    c->vectorElement = element;
    c->init = vector->init;
    c->sealed = true;
    c->instanceTraits = vector->instanceTraits;
    for (const auto& p : vector->prototype->dynamic.entries()) c->prototype->dynamic.set(p.name, p.value, false);
    vectorClasses_[element] = c;
    return *c;
}

void installVectorClass(Vm& vm) {
    Class* array = vm.findClass(u"Array");
    Class* vector = vm.defineClass(u"__AS3__.vec", u"Vector", vm.findClass(u"Object"), makeVector, ObjectKind::Vector);
    vm.defineConstructor(vector, vectorInit);
    vector->instanceTraits = array->instanceTraits;
    vm.defineGetter(vector, u"fixed", fixedGetter, fixedSetter);
    for (const auto& p : array->prototype->dynamic.entries())
        if (p.name != u"constructor" && p.name != u"sortOn") vector->prototype->dynamic.set(p.name, p.value, false);
}

}  // namespace kinolux::avm2
