#include "flash/avm1/player/script_values.h"

#include "flash/avm1/builtins/geom.h"
#include "flash/avm1/player/player_host.h"

namespace flash {

using kinolux::avm1::ObjectRef;
using kinolux::avm1::String;
using kinolux::avm1::Value;
using kinolux::avm1::Vm;

Player& playerOf(Vm& vm) { return static_cast<PlayerHost&>(vm.host()).player(); }

namespace {

double numberAt(Vm& vm, const ObjectRef& o, const char16_t* name) { return vm.toNumber(vm.get(o, String(name))); }
int intAt(Vm& vm, const ObjectRef& o, const char16_t* name) { return vm.toInt32(vm.get(o, String(name))); }

}  // namespace

QRect rectangleOf(Vm& vm, const Value& v) {
    ObjectRef o = vm.toObject(v);
    if (!o) return {};
    return QRect(intAt(vm, o, u"x"), intAt(vm, o, u"y"), intAt(vm, o, u"width"), intAt(vm, o, u"height"));
}

QPoint pointOf(Vm& vm, const Value& v) {
    ObjectRef o = vm.toObject(v);
    if (!o) return {};
    return QPoint(intAt(vm, o, u"x"), intAt(vm, o, u"y"));
}

QTransform matrixOf(Vm& vm, const Value& v) {
    ObjectRef o = vm.toObject(v);
    if (!o) return {};
    const kinolux::avm1::Matrix m = kinolux::avm1::builtins::matrixFields(vm, o);
    return QTransform(m.a, m.b, m.c, m.d, m.tx, m.ty);
}

ColorTransform colorTransformOf(Vm& vm, const Value& v) {
    ColorTransform cx;
    ObjectRef o = vm.toObject(v);
    if (!o) return cx;
    const char16_t* multipliers[] = {u"redMultiplier", u"greenMultiplier", u"blueMultiplier", u"alphaMultiplier"};
    const char16_t* offsets[] = {u"redOffset", u"greenOffset", u"blueOffset", u"alphaOffset"};
    for (int i = 0; i < 4; ++i) {
        const double m = numberAt(vm, o, multipliers[i]), a = numberAt(vm, o, offsets[i]);
        cx.mul[i] = std::isfinite(m) ? float(m) : 0.0f;
        cx.add[i] = std::isfinite(a) ? float(a) : 0.0f;
    }
    return cx;
}

Value makeRectangle(Vm& vm, double x, double y, double width, double height) {
    return kinolux::avm1::builtins::Ops{vm}.make(u"Rectangle", {Value(x), Value(y), Value(width), Value(height)});
}

ObjectRef flashPackage(Vm& vm, std::u16string_view name) {
    using kinolux::avm1::PropertyFlag::DontEnum;
    using kinolux::avm1::PropertyFlag::OnlySwf8Up;
    kinolux::avm1::Object& global = *vm.global();
    ObjectRef flash = vm.toObject(global.ownValue(String(u"flash"), true));
    if (!flash) {
        flash = vm.newObject();
        global.defineValue(u"flash", Value(flash), DontEnum | OnlySwf8Up);
    }
    ObjectRef package = vm.toObject(flash->ownValue(String(name), true));
    if (!package) {
        package = vm.newObject();
        flash->defineValue(String(name), Value(package), DontEnum);
    }
    return package;
}

ObjectRef classPrototype(Vm& vm, const Value& owner, std::u16string_view className) {
    Value ctor = vm.get(owner, String(className));
    return vm.toObject(vm.get(ctor, String(u"prototype")));
}

}  // namespace flash
