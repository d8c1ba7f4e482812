// flash.geom.Matrix.
#include <cmath>

#include "flash/avm1/builtins/geom.h"

namespace kinolux::avm1::builtins {

namespace {

Value matrixIdentity(Vm& vm, const Value& thisValue, Args) {
    Ops ops{vm};
    ops.setEach(thisValue, {u"d", u"a"}, Value(1));
    ops.setEach(thisValue, {u"c", u"b", u"ty", u"tx"}, Value(0));
    return Value();
}

Value matrixConstruct(Vm& vm, const Value& thisValue, Args args) {
    Ops ops{vm};
    if (args.empty()) {
        ops.call(thisValue, u"identity", {});
        return thisValue;
    }
    ops.setFromArgs(thisValue, {u"a", u"b", u"c", u"d", u"tx", u"ty"}, args);
    return thisValue;
}

Value matrixConcat(Vm& vm, const Value& self, Args args) {
    Ops ops{vm};
    Value m = arg(args, 0);
    auto g = [&](const Value& o, std::u16string_view n) { return ops.get(o, n); };
    Value a = ops.mul(g(self, u"a"), g(m, u"a"));
    Value d = ops.mul(g(self, u"d"), g(m, u"d"));
    Value b(0), c(0);
    Value tx = ops.add(ops.mul(g(self, u"tx"), g(m, u"a")), g(m, u"tx"));
    Value ty = ops.add(ops.mul(g(self, u"ty"), g(m, u"d")), g(m, u"ty"));
    if (ops.ne(g(self, u"b"), Value(0)) || ops.ne(g(self, u"c"), Value(0)) || ops.ne(g(m, u"b"), Value(0)) ||
        ops.ne(g(m, u"c"), Value(0))) {
        a = ops.add(a, ops.mul(g(self, u"b"), g(m, u"c")));
        d = ops.add(d, ops.mul(g(self, u"c"), g(m, u"b")));
        b = ops.add(b, ops.add(ops.mul(g(self, u"a"), g(m, u"b")), ops.mul(g(self, u"b"), g(m, u"d"))));
        c = ops.add(c, ops.add(ops.mul(g(self, u"c"), g(m, u"a")), ops.mul(g(self, u"d"), g(m, u"c"))));
        tx = ops.add(tx, ops.mul(g(self, u"ty"), g(m, u"c")));
        ty = ops.add(ty, ops.mul(g(self, u"tx"), g(m, u"b")));
    }
    ops.set(self, u"a", a);
    ops.set(self, u"b", b);
    ops.set(self, u"c", c);
    ops.set(self, u"d", d);
    ops.set(self, u"tx", tx);
    ops.set(self, u"ty", ty);
    return Value();
}

Value matrixInvert(Vm& vm, const Value& self, Args) {
    Ops ops{vm};
    auto g = [&](std::u16string_view n) { return ops.get(self, n); };
    if (vm.abstractEquals(g(u"b"), Value(0)) && vm.abstractEquals(g(u"c"), Value(0))) {
        ops.set(self, u"a", ops.div(Value(1), g(u"a")));
        ops.set(self, u"d", ops.div(Value(1), g(u"d")));
        ops.set(self, u"c", Value(0));
        ops.set(self, u"b", Value(0));
        ops.set(self, u"tx", ops.mul(ops.neg(g(u"a")), g(u"tx")));
        ops.set(self, u"ty", ops.mul(ops.neg(g(u"d")), g(u"ty")));
        return Value();
    }
    Value a = g(u"a"), b = g(u"b"), c = g(u"c"), d = g(u"d");
    Value det = ops.sub(ops.mul(a, d), ops.mul(b, c));
    if (det.isNumber() && det.number() == 0) {
        ops.call(self, u"identity", {});
        return Value();
    }
    det = ops.div(Value(1), det);
    ops.set(self, u"a", ops.mul(d, det));
    ops.set(self, u"b", ops.mul(ops.neg(b), det));
    ops.set(self, u"c", ops.mul(ops.neg(c), det));
    ops.set(self, u"d", ops.mul(a, det));
    Value ty = g(u"ty");
    Value tx = g(u"tx");
    Value p = ops.call(self, u"deltaTransformPoint", {ops.make(u"Point", {tx, ty})});
    ops.set(self, u"tx", ops.neg(ops.get(p, u"x")));
    ops.set(self, u"ty", ops.neg(ops.get(p, u"y")));
    return Value();
}

Value matrixCreateBox(Vm& vm, const Value& self, Args args) {
    Ops ops{vm};
    Value tx = args.size() < 4 ? Value(0) : args[3];
    Value ty = args.size() < 5 ? Value(0) : args[4];
    ops.call(self, u"identity", {});
    ops.call(self, u"rotate", {arg(args, 2)});
    ops.call(self, u"scale", {arg(args, 0), arg(args, 1)});
    ops.set(self, u"tx", tx);
    ops.set(self, u"ty", ty);
    return Value();
}

Value matrixCreateGradientBox(Vm& vm, const Value& self, Args args) {
    Ops ops{vm};
    Value width = arg(args, 0), height = arg(args, 1);
    Value rotation = args.size() < 3 ? Value(0) : args[2];
    Value tx = args.size() < 4 ? Value(0) : args[3];
    Value ty = args.size() < 5 ? Value(0) : args[4];
    Value boxY = ops.add(ty, ops.div(height, Value(2)));
    Value boxX = ops.add(tx, ops.div(width, Value(2)));
    Value scaleY = ops.div(height, Value(1638.4));
    Value scaleX = ops.div(width, Value(1638.4));
    ops.call(self, u"createBox", {scaleX, scaleY, rotation, boxX, boxY});
    return Value();
}

Value matrixClone(Vm& vm, const Value& self, Args) {
    Ops ops{vm};
    Value ty = ops.get(self, u"ty"), tx = ops.get(self, u"tx"), d = ops.get(self, u"d");
    Value c = ops.get(self, u"c"), b = ops.get(self, u"b"), a = ops.get(self, u"a");
    return ops.make(u"Matrix", {a, b, c, d, tx, ty});
}

Value matrixRotate(Vm& vm, const Value& self, Args args) {
    Ops ops{vm};
    Value cos = ops.mathCall(u"cos", {arg(args, 0)});
    Value sin = ops.mathCall(u"sin", {arg(args, 0)});
    ops.call(self, u"concat", {ops.make(u"Matrix", {cos, sin, ops.neg(sin), cos, Value(0), Value(0)})});
    return Value();
}

Value matrixTranslate(Vm& vm, const Value& self, Args args) {
    Ops{vm}.addArgs(self, {u"tx", u"ty"}, args);
    return Value();
}

Value matrixScale(Vm& vm, const Value& self, Args args) {
    Ops ops{vm};
    ops.call(self, u"concat", {ops.make(u"Matrix", {arg(args, 0), Value(0), Value(0), arg(args, 1), Value(0), Value(0)})});
    return Value();
}

Value matrixDeltaTransformPoint(Vm& vm, const Value& self, Args args) {
    Ops ops{vm};
    Value p = arg(args, 0);
    Value y = ops.add(ops.mul(ops.get(self, u"d"), ops.get(p, u"y")), ops.mul(ops.get(self, u"b"), ops.get(p, u"x")));
    Value x = ops.add(ops.mul(ops.get(self, u"a"), ops.get(p, u"x")), ops.mul(ops.get(self, u"c"), ops.get(p, u"y")));
    return ops.make(u"Point", {x, y});
}

Value matrixTransformPoint(Vm& vm, const Value& self, Args args) {
    Ops ops{vm};
    Value p = arg(args, 0);
    Value y = ops.add(ops.add(ops.mul(ops.get(self, u"d"), ops.get(p, u"y")), ops.mul(ops.get(self, u"b"), ops.get(p, u"x"))),
                      ops.get(self, u"ty"));
    Value x = ops.add(ops.add(ops.mul(ops.get(self, u"a"), ops.get(p, u"x")), ops.mul(ops.get(self, u"c"), ops.get(p, u"y"))),
                      ops.get(self, u"tx"));
    return ops.make(u"Point", {x, y});
}

Value matrixToString(Vm& vm, const Value& self, Args) {
    return Ops{vm}.describe(self, {{u"a", u"a"}, {u"b", u"b"}, {u"c", u"c"}, {u"d", u"d"}, {u"tx", u"tx"}, {u"ty", u"ty"}});
}

constexpr Member kMatrixMembers[] = {
    method(u"concat", matrixConcat),
    method(u"invert", matrixInvert),
    method(u"createBox", matrixCreateBox),
    method(u"createGradientBox", matrixCreateGradientBox),
    method(u"clone", matrixClone),
    method(u"identity", matrixIdentity),
    method(u"rotate", matrixRotate),
    method(u"translate", matrixTranslate),
    method(u"scale", matrixScale),
    method(u"deltaTransformPoint", matrixDeltaTransformPoint),
    method(u"transformPoint", matrixTransformPoint),
    method(u"toString", matrixToString),
};

}  // namespace

void installMatrix(Vm& vm, Object& geom) {
    defineClass(vm, geom, {u"Matrix", matrixConstruct, matrixConstruct, kMatrixMembers});
}

}  // namespace kinolux::avm1::builtins
