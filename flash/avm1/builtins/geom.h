// flash.geom (SWF 8): Point, Rectangle, Matrix, ColorTransform and
// Transform, one class to a file. The player writes Point, Rectangle and
// Matrix in ActionScript itself, so they go through ordinary property reads
// and writes (a subclass or a replaced method takes part) and through the
// operators' own conversions: `+` joins strings, `>=` holds for NaN. Their
// code keeps those rules, operation for operation, through Ops.
#pragma once

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <vector>

#include "flash/avm1/builtins/members.h"

namespace kinolux::avm1::builtins {

// The operators as the actions compute them.
struct Ops {
    Vm& vm;

    Value get(const Value& object, std::u16string_view name) { return vm.get(object, String(name)); }
    void set(const Value& object, std::u16string_view name, const Value& value) {
        if (ObjectRef target = vm.toObject(object)) vm.set(target, String(name), value);
    }
    using Fields = std::initializer_list<std::u16string_view>;
    // Each named field in turn, to `value`.
    void setEach(const Value& object, Fields names, const Value& value) {
        for (std::u16string_view name : names) set(object, name, value);
    }
    // The named fields from a constructor's arguments, in order.
    void setFromArgs(const Value& object, Fields names, Args args) {
        std::size_t i = 0;
        for (std::u16string_view name : names) set(object, name, arg(args, i++));
    }
    // Adds each argument in turn to the named field in its place (offset, translate).
    void addArgs(const Value& object, Fields names, Args args) {
        std::size_t i = 0;
        for (std::u16string_view name : names) set(object, name, add(get(object, name), arg(args, i++)));
    }
    // "(x=1, y=2)": each label with the text of the field it names.
    Value describe(const Value& object,
                   std::initializer_list<std::pair<std::u16string_view, std::u16string_view>> labelledFields) {
        std::u16string out = u"(";
        for (const auto& [label, name] : labelledFields) {
            if (out.size() > 1) out += u", ";
            out += label;
            out += u'=';
            out += vm.toString(get(object, name)).view();
        }
        out += u')';
        return Value(String(out));
    }
    Value add(const Value& a, const Value& b) { return vm.add(a, b); }
    Value sub(const Value& a, const Value& b) {
        double right = vm.toNumber(b);
        return Value(vm.toNumber(a) - right);
    }
    Value mul(const Value& a, const Value& b) {
        double left = vm.toNumber(a);
        return Value(left * vm.toNumber(b));
    }
    Value div(const Value& a, const Value& b) {
        double right = vm.toNumber(b);
        return Value(vm.toNumber(a) / right);
    }
    Value neg(const Value& a) { return sub(Value(0), a); }
    // a < b: true, false or undefined; a >= b is its negation (so NaN passes).
    Value lt(const Value& a, const Value& b) { return vm.lessThan(a, b); }
    Value gt(const Value& a, const Value& b) { return vm.lessThan(b, a); }
    Value ge(const Value& a, const Value& b) { return Value(!vm.toBoolean(lt(a, b))); }
    Value le(const Value& a, const Value& b) { return Value(!vm.toBoolean(gt(a, b))); }
    bool truthy(const Value& v) { return vm.toBoolean(v); }
    bool ne(const Value& a, const Value& b) { return !vm.abstractEquals(a, b); }
    Value call(const Value& object, std::u16string_view method, std::initializer_list<Value> args) {
        std::vector<Value> list(args);
        return vm.callMethod(object, String(method), list);
    }
    // new flash.geom.<name>(args), found afresh each time as the player's
    // own code finds it.
    Value make(std::u16string_view name, std::vector<Value> args) {
        Value flash = vm.get(Value(vm.global()), String(u"flash"));
        Value geom = vm.get(flash, String(u"geom"));
        return vm.construct(vm.get(geom, String(name)), args);
    }
    Value mathCall(std::u16string_view name, std::vector<Value> args) {
        Value math = vm.get(Value(vm.global()), String(u"Math"));
        return vm.callMethod(math, String(name), args);
    }
};

// ColorTransform keeps its eight numbers itself.
class ColorTransformObject final : public Object {
public:
    ColorTransformObject(Heap& heap, Value proto) : Object(heap, ObjectKind::ColorTransform, std::move(proto)) {}
    double values[8] = {1, 1, 1, 1, 0, 0, 0, 0};  // r g b a multipliers, r g b a offsets

    ColorTransform transform() const {
        return {values[0], values[1], values[2], values[3], values[4], values[5], values[6], values[7]};
    }
    void assign(const ColorTransform& ct) {
        const double v[8] = {ct.redMultiplier, ct.greenMultiplier, ct.blueMultiplier, ct.alphaMultiplier,
                             ct.redOffset,     ct.greenOffset,     ct.blueOffset,     ct.alphaOffset};
        std::copy(std::begin(v), std::end(v), values);
    }
};

// The colors of `inner` seen through `outer` (a child's through its parent's).
ColorTransform thenColors(const ColorTransform& inner, const ColorTransform& outer);

inline ColorTransformObject* thisTransform(const Value& thisValue) {
    return thisOfKind<ColorTransformObject>(thisValue, ObjectKind::ColorTransform);
}

// new flash.geom.ColorTransform with the values of `ct`.
Value newColorTransform(Vm& vm, const ColorTransform& ct);

// Accessors of the geometry classes can be enumerated.
constexpr std::uint16_t kGeomAccessor = PropertyFlag::DontDelete;

// Each defines its class on the flash.geom package object.
void installPoint(Vm& vm, Object& geom);
void installRectangle(Vm& vm, Object& geom);
void installMatrix(Vm& vm, Object& geom);
void installColorTransform(Vm& vm, Object& geom);
void installTransform(Vm& vm, Object& geom);

}  // namespace kinolux::avm1::builtins
