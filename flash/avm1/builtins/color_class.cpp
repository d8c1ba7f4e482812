// Color: a thin object over the color transform of a clip.
#include <cmath>

#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/members.h"
#include "flash/avm1/builtins/native_helpers.h"

namespace kinolux::avm1::builtins {

namespace {

DisplayObjectBinding* colorTarget(Vm& vm, const Value& thisValue) {
    Object* self = thisObject(thisValue);
    if (!self) return nullptr;
    Value target = vm.get(ObjectRef(self), String(u"target"));
    // An empty path names no clip here (elsewhere it is the current one).
    if (target.isUndefined() || (target.isString() && vm.toString(target).empty())) return nullptr;
    return vm.resolveTarget(target, true);
}

// The player keeps a color transform in 16-bit fixed point: multipliers
// in 1/256 steps, offsets whole, both wrapping at 16 bits.
double wrap16(double v) {
    if (!std::isfinite(v)) return 0;
    return static_cast<double>(static_cast<std::int16_t>(static_cast<std::uint16_t>(
        static_cast<std::int64_t>(std::trunc(std::fmod(v, 65536.0))))));
}
double fixedMultiplier(double percent) { return wrap16(percent * 2.56) / 256.0; }
double fixedOffset(double v) { return wrap16(v); }

// The target is kept as the object's own `target`, hidden and read-only.
Value colorConstruct(Vm&, const Value& thisValue, Args args) {
    if (Object* self = thisObject(thisValue))
        self->defineValue(String(u"target"), arg(args, 0), kHidden | PropertyFlag::ReadOnly);
    return thisValue;
}

Value setRgb(Vm& vm, const Value& thisValue, Args args) {
    DisplayObjectBinding* target = colorTarget(vm, thisValue);
    if (!target || args.empty()) return Value();
    std::int32_t rgb = vm.toInt32(args[0]);
    ColorTransform ct = target->colorTransform();
    ct.redMultiplier = ct.greenMultiplier = ct.blueMultiplier = 0;
    ct.redOffset = (rgb >> 16) & 0xFF;
    ct.greenOffset = (rgb >> 8) & 0xFF;
    ct.blueOffset = rgb & 0xFF;
    target->setColorTransform(ct);
    return Value();
}

Value getRgb(Vm& vm, const Value& thisValue, Args) {
    DisplayObjectBinding* target = colorTarget(vm, thisValue);
    if (!target) return Value();
    ColorTransform ct = target->colorTransform();
    // The offsets are combined as signed numbers: a negative one fills the
    // bits above it.
    auto component = [](double v) { return static_cast<std::uint32_t>(static_cast<std::int32_t>(v)); };
    return Value(static_cast<std::int32_t>(component(ct.redOffset) << 16 | component(ct.greenOffset) << 8 |
                                           component(ct.blueOffset)));
}

struct TransformField {
    const char16_t* name;
    double ColorTransform::*field;
    bool multiplier;
};

constexpr TransformField kColorFields[] = {
    {u"ra", &ColorTransform::redMultiplier, true},   {u"rb", &ColorTransform::redOffset, false},
    {u"ga", &ColorTransform::greenMultiplier, true}, {u"gb", &ColorTransform::greenOffset, false},
    {u"ba", &ColorTransform::blueMultiplier, true},  {u"bb", &ColorTransform::blueOffset, false},
    {u"aa", &ColorTransform::alphaMultiplier, true}, {u"ab", &ColorTransform::alphaOffset, false},
};

Value colorGetTransform(Vm& vm, const Value& thisValue, Args) {
    DisplayObjectBinding* target = colorTarget(vm, thisValue);
    if (!target) return Value();
    ColorTransform ct = target->colorTransform();
    ObjectRef out = vm.newObject();
    for (const TransformField& f : kColorFields)
        vm.set(out, String(f.name), Value(ct.*f.field * (f.multiplier ? 100.0 : 1.0)));
    return Value(out);
}

Value colorSetTransform(Vm& vm, const Value& thisValue, Args args) {
    DisplayObjectBinding* target = colorTarget(vm, thisValue);
    if (!target || !arg(args, 0).isObject()) return Value();
    ObjectRef in = args[0].objectRef();
    ColorTransform ct = target->colorTransform();
    // Only the object's own fields count; what is no finite number is 0.
    for (const TransformField& f : kColorFields) {
        String name(f.name);
        if (!vm.hasOwnProperty(*in, name)) continue;
        double v = vm.toNumber(vm.get(in, name));
        ct.*f.field = f.multiplier ? fixedMultiplier(v) : fixedOffset(v);
    }
    target->setColorTransform(ct);
    return Value();
}

constexpr Member kColorPrototypeMembers[] = {
    method(u"setRGB", setRgb),
    method(u"getRGB", getRgb),
    method(u"setTransform", colorSetTransform),
    method(u"getTransform", colorGetTransform),
};

}  // namespace

void installColor(Vm& vm) {
    vm.protos().color = prototypeOfKind(vm, ObjectKind::Color);
    defineClass(vm, *vm.global(), {u"Color", nullptr, colorConstruct, kColorPrototypeMembers}, vm.protos().color);
}

}  // namespace kinolux::avm1::builtins
