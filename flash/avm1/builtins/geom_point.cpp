// flash.geom.Point.
#include <cmath>

#include "flash/avm1/builtins/geom.h"

namespace kinolux::avm1::builtins {

namespace {

Value pointConstruct(Vm& vm, const Value& thisValue, Args args) {
    Ops ops{vm};
    if (args.empty()) {
        ops.setEach(thisValue, {u"x", u"y"}, Value(0));
    } else {
        ops.setFromArgs(thisValue, {u"x", u"y"}, args);
    }
    return thisValue;
}

std::pair<double, double> pointOf(Vm& vm, const Value& v) {
    Ops ops{vm};
    double x = vm.toNumber(ops.get(v, u"x"));
    double y = vm.toNumber(ops.get(v, u"y"));
    return {x, y};
}

Value newPoint(Vm& vm, double x, double y) { return Ops{vm}.make(u"Point", {Value(x), Value(y)}); }

Value pointToString(Vm& vm, const Value& thisValue, Args) {
    return Ops{vm}.describe(thisValue, {{u"x", u"x"}, {u"y", u"y"}});
}

Value pointClone(Vm& vm, const Value& thisValue, Args) {
    Ops ops{vm};
    return ops.make(u"Point", {ops.get(thisValue, u"x"), ops.get(thisValue, u"y")});
}

Value pointEquals(Vm& vm, const Value& thisValue, Args args) {
    if (args.empty()) return Value(false);
    Ops ops{vm};
    Value x = ops.get(thisValue, u"x"), y = ops.get(thisValue, u"y");
    Value ox = ops.get(args[0], u"x"), oy = ops.get(args[0], u"y");
    return Value(vm.abstractEquals(x, ox) && vm.abstractEquals(y, oy));
}

Value pointAdd(Vm& vm, const Value& thisValue, Args args) {
    auto [x, y] = pointOf(vm, thisValue);
    auto [ox, oy] = pointOf(vm, arg(args, 0));
    return newPoint(vm, x + ox, y + oy);
}

Value pointSubtract(Vm& vm, const Value& thisValue, Args args) {
    auto [x, y] = pointOf(vm, thisValue);
    auto [ox, oy] = pointOf(vm, arg(args, 0));
    return newPoint(vm, x - ox, y - oy);
}

Value pointLength(Vm& vm, const Value& thisValue, Args) {
    auto [x, y] = pointOf(vm, thisValue);
    return Value(std::sqrt(x * x + y * y));
}

Value pointNormalize(Vm& vm, const Value& thisValue, Args args) {
    Ops ops{vm};
    double length = vm.toNumber(ops.get(thisValue, u"length"));
    if (!std::isfinite(length)) return Value();
    auto [x, y] = pointOf(vm, thisValue);
    double wanted = vm.toNumber(arg(args, 0));
    if (length == 0) {
        x *= wanted;
        y *= wanted;
    } else {
        x = x / length * wanted;
        y = y / length * wanted;
    }
    ops.set(thisValue, u"x", Value(x));
    ops.set(thisValue, u"y", Value(y));
    return Value();
}

Value pointOffset(Vm& vm, const Value& thisValue, Args args) {
    Ops ops{vm};
    auto [x, y] = pointOf(vm, thisValue);
    double dx = vm.toNumber(arg(args, 0));
    double dy = vm.toNumber(arg(args, 1));
    ops.set(thisValue, u"x", Value(x + dx));
    ops.set(thisValue, u"y", Value(y + dy));
    return Value();
}

Value pointDistance(Vm& vm, const Value&, Args args) {
    if (args.size() < 2) return Value(NAN);
    Ops ops{vm};
    ObjectRef a = vm.toObject(args[0]);
    if (!a) return Value();
    Value delta = ops.call(Value(a), u"subtract", {args[1]});
    return ops.get(delta, u"length");
}

Value pointPolar(Vm& vm, const Value&, Args args) {
    double length = vm.toNumber(arg(args, 0));
    double angle = vm.toNumber(arg(args, 1));
    return newPoint(vm, length * std::cos(angle), length * std::sin(angle));
}

Value pointInterpolate(Vm& vm, const Value&, Args args) {
    if (args.size() < 3) return newPoint(vm, NAN, NAN);
    auto [ax, ay] = pointOf(vm, args[0]);
    auto [bx, by] = pointOf(vm, args[1]);
    double f = vm.toNumber(args[2]);
    return newPoint(vm, bx - (bx - ax) * f, by - (by - ay) * f);
}

constexpr Member kPointMembers[] = {
    method(u"toString", pointToString),
    method(u"clone", pointClone),
    method(u"equals", pointEquals),
    method(u"add", pointAdd),
    method(u"subtract", pointSubtract),
    method(u"normalize", pointNormalize),
    method(u"offset", pointOffset),
    accessor(u"length", pointLength, nullptr, PropertyFlag::DontDelete | PropertyFlag::ReadOnly),
};

constexpr Member kPointClassMembers[] = {
    method(u"distance", pointDistance),
    method(u"polar", pointPolar),
    method(u"interpolate", pointInterpolate),
};

}  // namespace

void installPoint(Vm& vm, Object& geom) {
    defineClass(vm, geom, {u"Point", pointConstruct, pointConstruct, kPointMembers, kPointClassMembers});
}

}  // namespace kinolux::avm1::builtins
