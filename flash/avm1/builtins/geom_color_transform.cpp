// flash.geom.ColorTransform.
#include <algorithm>
#include <cmath>

#include "flash/avm1/builtins/geom.h"

namespace kinolux::avm1::builtins {

namespace {

Value colorTransformConstruct(Vm& vm, const Value& thisValue, Args args) {
    ColorTransformObject* self = thisTransform(thisValue);
    if (!self) return thisValue;
    for (std::size_t i = 0; i < 8; ++i) self->values[i] = i < args.size() ? vm.toNumber(args[i]) : (i < 4 ? 1 : 0);
    return thisValue;
}

template <int I>
Value getComponent(Vm&, const Value& thisValue, Args) {
    ColorTransformObject* self = thisTransform(thisValue);
    return self ? Value(self->values[I]) : Value();
}

template <int I>
Value setComponent(Vm& vm, const Value& thisValue, Args args) {
    if (ColorTransformObject* self = thisTransform(thisValue)) self->values[I] = vm.toNumber(arg(args, 0));
    return Value();
}

std::uint32_t byteOf(double v) {
    if (!std::isfinite(v)) return 0;
    return static_cast<std::uint32_t>(static_cast<std::int64_t>(v)) & 0xFF;
}

Value getRgb(Vm&, const Value& thisValue, Args) {
    ColorTransformObject* self = thisTransform(thisValue);
    if (!self) return Value();
    return Value(byteOf(self->values[4]) << 16 | byteOf(self->values[5]) << 8 | byteOf(self->values[6]));
}

Value setRgb(Vm& vm, const Value& thisValue, Args args) {
    ColorTransformObject* self = thisTransform(thisValue);
    if (!self) return Value();
    std::uint32_t rgb = static_cast<std::uint32_t>(vm.toInt32(arg(args, 0)));
    self->values[4] = (rgb >> 16) & 0xFF;
    self->values[5] = (rgb >> 8) & 0xFF;
    self->values[6] = rgb & 0xFF;
    self->values[0] = self->values[1] = self->values[2] = 0;
    return Value();
}

// The other transform first, then this one.
Value colorTransformConcat(Vm&, const Value& thisValue, Args args) {
    ColorTransformObject* self = thisTransform(thisValue);
    ColorTransformObject* other = thisTransform(arg(args, 0));
    if (!self || !other) return Value();
    self->assign(thenColors(other->transform(), self->transform()));
    return Value();
}

Value colorTransformToString(Vm& vm, const Value& thisValue, Args) {
    return Ops{vm}.describe(thisValue, {{u"redMultiplier", u"redMultiplier"},
                                        {u"greenMultiplier", u"greenMultiplier"},
                                        {u"blueMultiplier", u"blueMultiplier"},
                                        {u"alphaMultiplier", u"alphaMultiplier"},
                                        {u"redOffset", u"redOffset"},
                                        {u"greenOffset", u"greenOffset"},
                                        {u"blueOffset", u"blueOffset"},
                                        {u"alphaOffset", u"alphaOffset"}});
}

constexpr Member kColorTransformMembers[] = {
    accessor(u"redMultiplier", getComponent<0>, setComponent<0>, kGeomAccessor),
    accessor(u"greenMultiplier", getComponent<1>, setComponent<1>, kGeomAccessor),
    accessor(u"blueMultiplier", getComponent<2>, setComponent<2>, kGeomAccessor),
    accessor(u"alphaMultiplier", getComponent<3>, setComponent<3>, kGeomAccessor),
    accessor(u"redOffset", getComponent<4>, setComponent<4>, kGeomAccessor),
    accessor(u"greenOffset", getComponent<5>, setComponent<5>, kGeomAccessor),
    accessor(u"blueOffset", getComponent<6>, setComponent<6>, kGeomAccessor),
    accessor(u"alphaOffset", getComponent<7>, setComponent<7>, kGeomAccessor),
    accessor(u"rgb", getRgb, setRgb, kGeomAccessor),
    method(u"concat", colorTransformConcat),
    method(u"toString", colorTransformToString),
};

}  // namespace

Value newColorTransform(Vm& vm, const ColorTransform& ct) {
    Value made = Ops{vm}.make(u"ColorTransform", {});
    if (ColorTransformObject* object = thisTransform(made)) object->assign(ct);
    return made;
}

ObjectRef makeColorTransform(Vm& vm, const Value& proto) {
    return ObjectRef(vm.heap().make<ColorTransformObject>(proto));
}

void installColorTransform(Vm& vm, Object& geom) {
    defineClass(vm, geom, {u"ColorTransform", colorTransformConstruct, colorTransformConstruct, kColorTransformMembers},
                prototypeOfKind(vm, ObjectKind::ColorTransform));
}

}  // namespace kinolux::avm1::builtins
