// Number: the numeric wrapper, its conversions and its constants.
#include <cfloat>
#include <cmath>

#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/members.h"
#include "flash/avm1/builtins/native_helpers.h"
#include "flash/avm1/number_format.h"

namespace kinolux::avm1::builtins {

namespace {

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

constexpr Member kNumberPrototypeMembers[] = {
    method(u"toString", numberToString),
    method(u"valueOf", boxedValueOf<ObjectKind::Number>),
};

constexpr Member kNumberConstants[] = {
    constant(u"MAX_VALUE", DBL_MAX, kConstant),
    constant(u"MIN_VALUE", 4.9406564584124654e-324, kConstant),
    constant(u"NaN", NAN, kConstant),
    constant(u"NEGATIVE_INFINITY", -INFINITY, kConstant),
    constant(u"POSITIVE_INFINITY", INFINITY, kConstant),
};

}  // namespace

void installNumber(Vm& vm) {
    vm.protos().number = wrapperPrototype(vm, ObjectKind::Number, Value(0.0));
    defineClass(vm, *vm.global(), {u"Number", numberCall, numberConstruct, kNumberPrototypeMembers, kNumberConstants},
                vm.protos().number);
}

}  // namespace kinolux::avm1::builtins
