// Number and Boolean.
#include <cfloat>
#include <cmath>

#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/native_helpers.h"
#include "flash/avm1/number_format.h"

namespace kinolux::avm1::builtins {

namespace {

const Value* boxedPrimitive(const Value& thisValue, ObjectKind kind) {
    Object* self = thisObject(thisValue);
    if (!self || self->kind() != kind) return nullptr;
    return &self->primitive();
}

Value numberCall(Vm& vm, const Value&, Args args) {
    return Value(args.empty() ? 0.0 : vm.toNumber(args[0]));
}

Value numberConstruct(Vm& vm, const Value& thisValue, Args args) {
    if (Object* self = thisObject(thisValue)) self->setPrimitive(Value(args.empty() ? 0.0 : vm.toNumber(args[0])));
    return thisValue;
}

Value numberToString(Vm& vm, const Value& thisValue, Args args) {
    const Value* n = boxedPrimitive(thisValue, ObjectKind::Number);
    if (!n || !n->isNumber()) return Value();
    int radix = 10;
    if (!args.empty()) {
        double r = vm.toNumber(args[0]);
        if (r >= 2 && r <= 36) radix = static_cast<int>(r);
    }
    if (radix == 10) return Value(formatNumber(n->number()));
    return Value(formatNumberRadix(n->number(), radix));
}

Value numberValueOf(Vm&, const Value& thisValue, Args) {
    const Value* n = boxedPrimitive(thisValue, ObjectKind::Number);
    return n ? *n : Value();
}

Value booleanCall(Vm& vm, const Value&, Args args) {
    if (args.empty()) return Value();
    return Value(vm.toBoolean(args[0]));
}

Value booleanConstruct(Vm& vm, const Value& thisValue, Args args) {
    if (Object* self = thisObject(thisValue)) self->setPrimitive(Value(args.empty() ? false : vm.toBoolean(args[0])));
    return thisValue;
}

Value booleanToString(Vm&, const Value& thisValue, Args) {
    const Value* b = boxedPrimitive(thisValue, ObjectKind::Boolean);
    if (!b || !b->isBoolean()) return Value();
    return Value(String(b->boolean() ? u"true" : u"false"));
}

Value booleanValueOf(Vm&, const Value& thisValue, Args) {
    const Value* b = boxedPrimitive(thisValue, ObjectKind::Boolean);
    return b ? *b : Value();
}

}  // namespace

void installNumberAndBoolean(Vm& vm) {
    auto numberProto = vm.heap().make<Object>(ObjectKind::Number, Value(vm.protos().object));
    numberProto->setPrimitive(Value(0.0));
    numberProto->setInstanceKind(ObjectKind::Number);
    vm.protos().number = numberProto;
    Ref<FunctionObject> number = defineClass(vm, *vm.global(), u"Number", numberCall, numberConstruct, numberProto);
    vm.defineMethod(*numberProto, u"toString", numberToString);
    vm.defineMethod(*numberProto, u"valueOf", numberValueOf);
    const std::uint16_t constant = kHidden | PropertyFlag::ReadOnly;
    number->defineValue(u"MAX_VALUE", Value(DBL_MAX), constant);
    number->defineValue(u"MIN_VALUE", Value(4.9406564584124654e-324), constant);
    number->defineValue(u"NaN", Value(NAN), constant);
    number->defineValue(u"NEGATIVE_INFINITY", Value(-INFINITY), constant);
    number->defineValue(u"POSITIVE_INFINITY", Value(INFINITY), constant);

    auto booleanProto = vm.heap().make<Object>(ObjectKind::Boolean, Value(vm.protos().object));
    booleanProto->setPrimitive(Value(false));
    booleanProto->setInstanceKind(ObjectKind::Boolean);
    vm.protos().boolean = booleanProto;
    defineClass(vm, *vm.global(), u"Boolean", booleanCall, booleanConstruct, booleanProto);
    vm.defineMethod(*booleanProto, u"toString", booleanToString);
    vm.defineMethod(*booleanProto, u"valueOf", booleanValueOf);
}

}  // namespace kinolux::avm1::builtins
