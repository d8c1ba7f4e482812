// flash.geom (SWF 8): Point, Rectangle, Matrix, ColorTransform and
// Transform. The player writes Point, Rectangle and Matrix in ActionScript
// itself, so they go through ordinary property reads and writes (a
// subclass or a replaced method takes part) and through the operators'
// own conversions: `+` joins strings, `>=` holds for NaN. The code below
// keeps those rules, operation for operation.
#include <cmath>

#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/native_helpers.h"

namespace kinolux::avm1::builtins {

namespace {

constexpr std::uint16_t kSwf8 = PropertyFlag::DontEnum | PropertyFlag::OnlySwf8Up;

// The operators as the actions compute them.
struct Ops {
    Vm& vm;

    Value get(const Value& object, std::u16string_view name) { return vm.get(object, String(name)); }
    void set(const Value& object, std::u16string_view name, const Value& value) {
        if (ObjectRef target = vm.toObject(object)) vm.set(target, String(name), value);
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

// a && b && ... as the And of the language: the first falsy value, or the last.
template <class... F>
Value allOf(Ops& ops, F&&... parts) {
    Value result(true);
    bool done = false;
    auto step = [&](auto&& part) {
        if (done) return;
        result = part();
        if (!ops.truthy(result)) done = true;
    };
    (step(parts), ...);
    return result;
}

// ---- Point ----

Value pointConstruct(Vm& vm, const Value& thisValue, Args args) {
    Ops ops{vm};
    if (args.empty()) {
        ops.set(thisValue, u"x", Value(0));
        ops.set(thisValue, u"y", Value(0));
    } else {
        ops.set(thisValue, u"x", args[0]);
        ops.set(thisValue, u"y", arg(args, 1));
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
    Ops ops{vm};
    std::u16string out = u"(x=";
    out += vm.toString(ops.get(thisValue, u"x")).view();
    out += u", y=";
    out += vm.toString(ops.get(thisValue, u"y")).view();
    out += u")";
    return Value(String(out));
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

// ---- Rectangle ----

Value rectSetEmpty(Vm& vm, const Value& thisValue, Args) {
    Ops ops{vm};
    ops.set(thisValue, u"height", Value(0));
    ops.set(thisValue, u"width", Value(0));
    ops.set(thisValue, u"y", Value(0));
    ops.set(thisValue, u"x", Value(0));
    return Value();
}

Value rectConstruct(Vm& vm, const Value& thisValue, Args args) {
    Ops ops{vm};
    if (args.empty()) {
        ops.call(thisValue, u"setEmpty", {});
    } else {
        ops.set(thisValue, u"x", args[0]);
        ops.set(thisValue, u"y", arg(args, 1));
        ops.set(thisValue, u"width", arg(args, 2));
        ops.set(thisValue, u"height", arg(args, 3));
    }
    return thisValue;
}

Value rectClone(Vm& vm, const Value& thisValue, Args) {
    Ops ops{vm};
    return ops.make(u"Rectangle", {ops.get(thisValue, u"x"), ops.get(thisValue, u"y"),
                                   ops.get(thisValue, u"width"), ops.get(thisValue, u"height")});
}

Value rectIsEmpty(Vm& vm, const Value& thisValue, Args) {
    Ops ops{vm};
    Value w = ops.le(ops.get(thisValue, u"width"), Value(0));
    if (ops.truthy(w)) return w;
    return ops.le(ops.get(thisValue, u"height"), Value(0));
}

// One axis of a rectangle: its start `pos` and its extent `size` ("x" and
// "width", or "y" and "height").
Value endEdge(Ops& ops, const Value& rect, const char16_t* pos, const char16_t* size) {
    return ops.add(ops.get(rect, pos), ops.get(rect, size));
}
// Moves the start edge and keeps the end edge where it was.
void setStartEdge(Ops& ops, const Value& rect, const Value& edge, const char16_t* pos, const char16_t* size) {
    ops.set(rect, size, ops.add(ops.get(rect, size), ops.sub(ops.get(rect, pos), edge)));
    ops.set(rect, pos, edge);
}
// Moves the end edge and keeps the start edge where it was.
void setEndEdge(Ops& ops, const Value& rect, const Value& edge, const char16_t* pos, const char16_t* size) {
    ops.set(rect, size, ops.sub(edge, ops.get(rect, pos)));
}

Value rectGetLeft(Vm& vm, const Value& thisValue, Args) { return Ops{vm}.get(thisValue, u"x"); }
Value rectSetLeft(Vm& vm, const Value& thisValue, Args args) {
    Ops ops{vm};
    setStartEdge(ops, thisValue, arg(args, 0), u"x", u"width");
    return Value();
}
Value rectGetRight(Vm& vm, const Value& thisValue, Args) {
    Ops ops{vm};
    return endEdge(ops, thisValue, u"x", u"width");
}
Value rectSetRight(Vm& vm, const Value& thisValue, Args args) {
    Ops ops{vm};
    setEndEdge(ops, thisValue, arg(args, 0), u"x", u"width");
    return Value();
}
Value rectGetTop(Vm& vm, const Value& thisValue, Args) { return Ops{vm}.get(thisValue, u"y"); }
Value rectSetTop(Vm& vm, const Value& thisValue, Args args) {
    Ops ops{vm};
    setStartEdge(ops, thisValue, arg(args, 0), u"y", u"height");
    return Value();
}
Value rectGetBottom(Vm& vm, const Value& thisValue, Args) {
    Ops ops{vm};
    return endEdge(ops, thisValue, u"y", u"height");
}
Value rectSetBottom(Vm& vm, const Value& thisValue, Args args) {
    Ops ops{vm};
    setEndEdge(ops, thisValue, arg(args, 0), u"y", u"height");
    return Value();
}
Value rectGetTopLeft(Vm& vm, const Value& thisValue, Args) {
    Ops ops{vm};
    return ops.make(u"Point", {ops.get(thisValue, u"x"), ops.get(thisValue, u"y")});
}
Value rectSetTopLeft(Vm& vm, const Value& thisValue, Args args) {
    Ops ops{vm};
    Value p = arg(args, 0);
    ops.set(thisValue, u"width", ops.add(ops.get(thisValue, u"width"), ops.sub(ops.get(thisValue, u"x"), ops.get(p, u"x"))));
    ops.set(thisValue, u"height", ops.add(ops.get(thisValue, u"height"), ops.sub(ops.get(thisValue, u"y"), ops.get(p, u"y"))));
    ops.set(thisValue, u"x", ops.get(p, u"x"));
    ops.set(thisValue, u"y", ops.get(p, u"y"));
    return Value();
}
Value rectGetBottomRight(Vm& vm, const Value& thisValue, Args) {
    Ops ops{vm};
    return ops.make(u"Point", {endEdge(ops, thisValue, u"x", u"width"), endEdge(ops, thisValue, u"y", u"height")});
}
Value rectSetBottomRight(Vm& vm, const Value& thisValue, Args args) {
    Ops ops{vm};
    Value p = arg(args, 0);
    ops.set(thisValue, u"width", ops.sub(ops.get(p, u"x"), ops.get(thisValue, u"x")));
    ops.set(thisValue, u"height", ops.sub(ops.get(p, u"y"), ops.get(thisValue, u"y")));
    return Value();
}
Value rectGetSize(Vm& vm, const Value& thisValue, Args) {
    Ops ops{vm};
    return ops.make(u"Point", {ops.get(thisValue, u"width"), ops.get(thisValue, u"height")});
}
Value rectSetSize(Vm& vm, const Value& thisValue, Args args) {
    Ops ops{vm};
    Value p = arg(args, 0);
    ops.set(thisValue, u"width", ops.get(p, u"x"));
    ops.set(thisValue, u"height", ops.get(p, u"y"));
    return Value();
}

// Grows by (dx, dy) on every side.
void inflateBy(Ops& ops, const Value& self, const Value& dx, const Value& dy) {
    ops.set(self, u"x", ops.sub(ops.get(self, u"x"), dx));
    ops.set(self, u"width", ops.add(ops.get(self, u"width"), ops.mul(dx, Value(2))));
    ops.set(self, u"y", ops.sub(ops.get(self, u"y"), dy));
    ops.set(self, u"height", ops.add(ops.get(self, u"height"), ops.mul(dy, Value(2))));
}
Value rectInflate(Vm& vm, const Value& thisValue, Args args) {
    Ops ops{vm};
    inflateBy(ops, thisValue, arg(args, 0), arg(args, 1));
    return Value();
}
Value rectInflatePoint(Vm& vm, const Value& thisValue, Args args) {
    Ops ops{vm};
    Value p = arg(args, 0);
    Value dx = ops.get(p, u"x");
    ops.set(thisValue, u"x", ops.sub(ops.get(thisValue, u"x"), dx));
    ops.set(thisValue, u"width", ops.add(ops.get(thisValue, u"width"), ops.mul(ops.get(p, u"x"), Value(2))));
    Value dy = ops.get(p, u"y");
    ops.set(thisValue, u"y", ops.sub(ops.get(thisValue, u"y"), dy));
    ops.set(thisValue, u"height", ops.add(ops.get(thisValue, u"height"), ops.mul(ops.get(p, u"y"), Value(2))));
    return Value();
}
Value rectOffset(Vm& vm, const Value& thisValue, Args args) {
    Ops ops{vm};
    ops.set(thisValue, u"x", ops.add(ops.get(thisValue, u"x"), arg(args, 0)));
    ops.set(thisValue, u"y", ops.add(ops.get(thisValue, u"y"), arg(args, 1)));
    return Value();
}
Value rectOffsetPoint(Vm& vm, const Value& thisValue, Args args) {
    Ops ops{vm};
    Value p = arg(args, 0);
    ops.set(thisValue, u"x", ops.add(ops.get(thisValue, u"x"), ops.get(p, u"x")));
    ops.set(thisValue, u"y", ops.add(ops.get(thisValue, u"y"), ops.get(p, u"y")));
    return Value();
}

Value containsAt(Ops& ops, const Value& self, const Value& x, const Value& y) {
    return allOf(
        ops, [&] { return ops.ge(x, ops.get(self, u"x")); },
        [&] { return ops.lt(x, ops.add(ops.get(self, u"x"), ops.get(self, u"width"))); },
        [&] { return ops.ge(y, ops.get(self, u"y")); },
        [&] { return ops.lt(y, ops.add(ops.get(self, u"y"), ops.get(self, u"height"))); });
}
Value rectContains(Vm& vm, const Value& thisValue, Args args) {
    Ops ops{vm};
    return containsAt(ops, thisValue, arg(args, 0), arg(args, 1));
}
Value rectContainsPoint(Vm& vm, const Value& thisValue, Args args) {
    Ops ops{vm};
    Value p = arg(args, 0);
    return allOf(
        ops, [&] { return ops.ge(ops.get(p, u"x"), ops.get(thisValue, u"x")); },
        [&] { return ops.lt(ops.get(p, u"x"), ops.add(ops.get(thisValue, u"x"), ops.get(thisValue, u"width"))); },
        [&] { return ops.ge(ops.get(p, u"y"), ops.get(thisValue, u"y")); },
        [&] { return ops.lt(ops.get(p, u"y"), ops.add(ops.get(thisValue, u"y"), ops.get(thisValue, u"height"))); });
}
Value rectContainsRectangle(Vm& vm, const Value& thisValue, Args args) {
    Ops ops{vm};
    Value r = arg(args, 0);
    Value rRight = ops.add(ops.get(r, u"x"), ops.get(r, u"width"));
    Value rBottom = ops.add(ops.get(r, u"y"), ops.get(r, u"height"));
    Value right = ops.add(ops.get(thisValue, u"x"), ops.get(thisValue, u"width"));
    Value bottom = ops.add(ops.get(thisValue, u"y"), ops.get(thisValue, u"height"));
    return allOf(
        ops, [&] { return ops.ge(ops.get(r, u"x"), ops.get(thisValue, u"x")); },
        [&] { return ops.lt(ops.get(r, u"x"), right); },
        [&] { return ops.ge(ops.get(r, u"y"), ops.get(thisValue, u"y")); },
        [&] { return ops.lt(ops.get(r, u"y"), bottom); },
        [&] { return ops.gt(rRight, ops.get(thisValue, u"x")); }, [&] { return ops.le(rRight, right); },
        [&] { return ops.gt(rBottom, ops.get(thisValue, u"y")); }, [&] { return ops.le(rBottom, bottom); });
}

Value rectIntersection(Vm& vm, const Value& thisValue, Args args) {
    Ops ops{vm};
    Value other = arg(args, 0);
    Value result = ops.make(u"Rectangle", {});
    if (ops.truthy(ops.call(thisValue, u"isEmpty", {})) || ops.truthy(ops.call(other, u"isEmpty", {}))) {
        ops.call(result, u"setEmpty", {});
        return result;
    }
    ops.set(result, u"x", ops.mathCall(u"max", {ops.get(thisValue, u"x"), ops.get(other, u"x")}));
    ops.set(result, u"y", ops.mathCall(u"max", {ops.get(thisValue, u"y"), ops.get(other, u"y")}));
    Value otherRight = ops.add(ops.get(other, u"x"), ops.get(other, u"width"));
    Value right = ops.add(ops.get(thisValue, u"x"), ops.get(thisValue, u"width"));
    ops.set(result, u"width", ops.sub(ops.mathCall(u"min", {right, otherRight}), ops.get(result, u"x")));
    Value otherBottom = ops.add(ops.get(other, u"y"), ops.get(other, u"height"));
    Value bottom = ops.add(ops.get(thisValue, u"y"), ops.get(thisValue, u"height"));
    ops.set(result, u"height", ops.sub(ops.mathCall(u"min", {bottom, otherBottom}), ops.get(result, u"y")));
    if (ops.truthy(ops.le(ops.get(result, u"width"), Value(0))) || ops.truthy(ops.le(ops.get(result, u"height"), Value(0))))
        ops.call(result, u"setEmpty", {});
    return result;
}

Value rectIntersects(Vm& vm, const Value& thisValue, Args args) {
    Ops ops{vm};
    Value cut = ops.call(thisValue, u"intersection", {arg(args, 0)});
    return Value(!ops.truthy(ops.call(cut, u"isEmpty", {})));
}

Value rectUnion(Vm& vm, const Value& thisValue, Args args) {
    Ops ops{vm};
    Value other = arg(args, 0);
    if (ops.truthy(ops.call(thisValue, u"isEmpty", {}))) return ops.call(other, u"clone", {});
    if (ops.truthy(ops.call(other, u"isEmpty", {}))) return ops.call(thisValue, u"clone", {});
    Value result = ops.make(u"Rectangle", {});
    ops.set(result, u"x", ops.mathCall(u"min", {ops.get(thisValue, u"x"), ops.get(other, u"x")}));
    ops.set(result, u"y", ops.mathCall(u"min", {ops.get(thisValue, u"y"), ops.get(other, u"y")}));
    Value otherRight = ops.add(ops.get(other, u"x"), ops.get(other, u"width"));
    Value right = ops.add(ops.get(thisValue, u"x"), ops.get(thisValue, u"width"));
    ops.set(result, u"width", ops.sub(ops.mathCall(u"max", {right, otherRight}), ops.get(result, u"x")));
    Value otherBottom = ops.add(ops.get(other, u"y"), ops.get(other, u"height"));
    Value bottom = ops.add(ops.get(thisValue, u"y"), ops.get(thisValue, u"height"));
    ops.set(result, u"height", ops.sub(ops.mathCall(u"max", {bottom, otherBottom}), ops.get(result, u"y")));
    return result;
}

Value rectEquals(Vm& vm, const Value& thisValue, Args args) {
    Ops ops{vm};
    Value other = arg(args, 0);
    Value flash = vm.get(Value(vm.global()), String(u"flash"));
    Value ctor = vm.get(vm.get(flash, String(u"geom")), String(u"Rectangle"));
    bool isRect = other.isObject() && ctor.isObject() && vm.isInstanceOf(*other.object(), *ctor.object());
    if (!isRect) return Value(false);
    for (std::u16string_view name : {u"x", u"y", u"width", u"height"}) {
        if (ops.ne(ops.get(other, name), ops.get(thisValue, name))) return Value(false);
    }
    return Value(true);
}

Value rectToString(Vm& vm, const Value& thisValue, Args) {
    Ops ops{vm};
    std::u16string out = u"(x=";
    out += vm.toString(ops.get(thisValue, u"x")).view();
    out += u", y=";
    out += vm.toString(ops.get(thisValue, u"y")).view();
    out += u", w=";
    out += vm.toString(ops.get(thisValue, u"width")).view();
    out += u", h=";
    out += vm.toString(ops.get(thisValue, u"height")).view();
    out += u")";
    return Value(String(out));
}

// ---- Matrix ----

Value matrixIdentity(Vm& vm, const Value& thisValue, Args) {
    Ops ops{vm};
    ops.set(thisValue, u"d", Value(1));
    ops.set(thisValue, u"a", Value(1));
    ops.set(thisValue, u"c", Value(0));
    ops.set(thisValue, u"b", Value(0));
    ops.set(thisValue, u"ty", Value(0));
    ops.set(thisValue, u"tx", Value(0));
    return Value();
}

Value matrixConstruct(Vm& vm, const Value& thisValue, Args args) {
    Ops ops{vm};
    if (args.empty()) {
        ops.call(thisValue, u"identity", {});
        return thisValue;
    }
    const char16_t* names[] = {u"a", u"b", u"c", u"d", u"tx", u"ty"};
    for (std::size_t i = 0; i < 6; ++i) ops.set(thisValue, names[i], arg(args, i));
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
    Ops ops{vm};
    ops.set(self, u"tx", ops.add(ops.get(self, u"tx"), arg(args, 0)));
    ops.set(self, u"ty", ops.add(ops.get(self, u"ty"), arg(args, 1)));
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
    Ops ops{vm};
    std::u16string out;
    const char16_t* parts[][2] = {{u"(a=", u"a"}, {u", b=", u"b"}, {u", c=", u"c"},
                                   {u", d=", u"d"}, {u", tx=", u"tx"}, {u", ty=", u"ty"}};
    for (const auto& [label, name] : parts) {
        out += label;
        out += vm.toString(ops.get(self, name)).view();
    }
    out += u")";
    return Value(String(out));
}

// ---- ColorTransform: eight numbers kept by the object itself ----

class ColorTransformObject final : public Object {
public:
    ColorTransformObject(Heap& heap, Value proto) : Object(heap, ObjectKind::ColorTransform, std::move(proto)) {}
    double values[8] = {1, 1, 1, 1, 0, 0, 0, 0};  // r g b a multipliers, r g b a offsets
};

ColorTransformObject* thisTransform(const Value& thisValue) {
    Object* self = thisObject(thisValue);
    return self && self->kind() == ObjectKind::ColorTransform ? static_cast<ColorTransformObject*>(self) : nullptr;
}

constexpr const char16_t* kTransformNames[8] = {u"redMultiplier", u"greenMultiplier", u"blueMultiplier",
                                               u"alphaMultiplier", u"redOffset", u"greenOffset",
                                               u"blueOffset", u"alphaOffset"};

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

Value colorTransformConcat(Vm& vm, const Value& thisValue, Args args) {
    ColorTransformObject* self = thisTransform(thisValue);
    ColorTransformObject* other = thisTransform(arg(args, 0));
    (void)vm;
    if (!self || !other) return Value();
    for (int i = 0; i < 4; ++i) {
        self->values[i + 4] = other->values[i + 4] * self->values[i] + self->values[i + 4];
        self->values[i] = other->values[i] * self->values[i];
    }
    return Value();
}

Value colorTransformToString(Vm& vm, const Value& thisValue, Args) {
    std::u16string out = u"(";
    for (int i = 0; i < 8; ++i) {
        if (i) out += u", ";
        out += kTransformNames[i];
        out += u"=";
        out += vm.toString(vm.get(thisValue, String(kTransformNames[i]))).view();
    }
    out += u")";
    return Value(String(out));
}

Value newColorTransform(Vm& vm, const ColorTransform& ct) {
    Value made = Ops{vm}.make(u"ColorTransform", {});
    if (ColorTransformObject* object = thisTransform(made)) {
        double v[8] = {ct.redMultiplier, ct.greenMultiplier, ct.blueMultiplier, ct.alphaMultiplier,
                       ct.redOffset,     ct.greenOffset,     ct.blueOffset,     ct.alphaOffset};
        std::copy(std::begin(v), std::end(v), object->values);
    }
    return made;
}

// ---- Transform: a view of one display object's matrix and colors ----

DisplayObjectBinding* transformTarget(Vm& vm, const Value& thisValue) {
    Object* self = thisObject(thisValue);
    if (!self) return nullptr;
    return vm.bindingOf(self->ownValue(String(u"\x01target"), true));
}

Value transformConstruct(Vm&, const Value& thisValue, Args args) {
    if (Object* self = thisObject(thisValue)) self->defineValue(String(u"\x01target"), arg(args, 0), kHidden);
    return thisValue;
}

Value matrixValue(Vm& vm, const Matrix& m) {
    return Ops{vm}.make(u"Matrix", {Value(m.a), Value(m.b), Value(m.c), Value(m.d), Value(m.tx), Value(m.ty)});
}

Value getMatrix(Vm& vm, const Value& thisValue, Args) {
    DisplayObjectBinding* target = transformTarget(vm, thisValue);
    return target ? matrixValue(vm, target->matrix()) : Value();
}

Value setMatrix(Vm& vm, const Value& thisValue, Args args) {
    DisplayObjectBinding* target = transformTarget(vm, thisValue);
    const Value& in = arg(args, 0);
    if (!target || !in.isObject()) return Value();
    Ops ops{vm};
    Matrix m;
    m.a = vm.toNumber(ops.get(in, u"a"));
    m.b = vm.toNumber(ops.get(in, u"b"));
    m.c = vm.toNumber(ops.get(in, u"c"));
    m.d = vm.toNumber(ops.get(in, u"d"));
    m.tx = vm.toNumber(ops.get(in, u"tx"));
    m.ty = vm.toNumber(ops.get(in, u"ty"));
    for (double* v : {&m.a, &m.b, &m.c, &m.d, &m.tx, &m.ty}) {
        if (!std::isfinite(*v)) *v = 0;
    }
    target->setMatrix(m);
    return Value();
}

Value getConcatenatedMatrix(Vm& vm, const Value& thisValue, Args) {
    DisplayObjectBinding* target = transformTarget(vm, thisValue);
    if (!target) return Value();
    Matrix total = target->matrix();
    for (DisplayObjectBinding* p = target->parent(); p; p = p->parent()) {
        Matrix m = p->matrix();
        Matrix t = total;
        total.a = t.a * m.a + t.b * m.c;
        total.b = t.a * m.b + t.b * m.d;
        total.c = t.c * m.a + t.d * m.c;
        total.d = t.c * m.b + t.d * m.d;
        total.tx = t.tx * m.a + t.ty * m.c + m.tx;
        total.ty = t.tx * m.b + t.ty * m.d + m.ty;
    }
    return matrixValue(vm, total);
}

Value getColorTransform(Vm& vm, const Value& thisValue, Args) {
    DisplayObjectBinding* target = transformTarget(vm, thisValue);
    return target ? newColorTransform(vm, target->colorTransform()) : Value();
}

Value setColorTransform(Vm& vm, const Value& thisValue, Args args) {
    DisplayObjectBinding* target = transformTarget(vm, thisValue);
    ColorTransformObject* in = thisTransform(arg(args, 0));
    if (!target || !in) return Value();
    ColorTransform ct;
    ct.redMultiplier = in->values[0];
    ct.greenMultiplier = in->values[1];
    ct.blueMultiplier = in->values[2];
    ct.alphaMultiplier = in->values[3];
    ct.redOffset = in->values[4];
    ct.greenOffset = in->values[5];
    ct.blueOffset = in->values[6];
    ct.alphaOffset = in->values[7];
    target->setColorTransform(ct);
    return Value();
}

Value getConcatenatedColorTransform(Vm& vm, const Value& thisValue, Args) {
    DisplayObjectBinding* target = transformTarget(vm, thisValue);
    if (!target) return Value();
    ColorTransform total = target->colorTransform();
    for (DisplayObjectBinding* p = target->parent(); p; p = p->parent()) {
        ColorTransform c = p->colorTransform();
        total.redOffset = total.redOffset * c.redMultiplier + c.redOffset;
        total.greenOffset = total.greenOffset * c.greenMultiplier + c.greenOffset;
        total.blueOffset = total.blueOffset * c.blueMultiplier + c.blueOffset;
        total.alphaOffset = total.alphaOffset * c.alphaMultiplier + c.alphaOffset;
        total.redMultiplier *= c.redMultiplier;
        total.greenMultiplier *= c.greenMultiplier;
        total.blueMultiplier *= c.blueMultiplier;
        total.alphaMultiplier *= c.alphaMultiplier;
    }
    return newColorTransform(vm, total);
}

Value getPixelBounds(Vm& vm, const Value& thisValue, Args) {
    DisplayObjectBinding* target = transformTarget(vm, thisValue);
    if (!target) return Value();
    Bounds b = target->bounds(target->root());
    return Ops{vm}.make(u"Rectangle", {Value(b.xMin), Value(b.yMin), Value(b.xMax - b.xMin), Value(b.yMax - b.yMin)});
}

void accessor(Vm& vm, Object& target, std::u16string_view name, NativeFunction get, NativeFunction set) {
    vm.defineProperty(target, name, get, set, PropertyFlag::DontDelete);
}

}  // namespace

Value transformOf(Vm& vm, const Value& displayObject) { return Ops{vm}.make(u"Transform", {displayObject}); }

void assignTransform(Vm& vm, DisplayObjectBinding& target, const Value& transform) {
    DisplayObjectBinding* source = transformTarget(vm, transform);
    if (!source) return;
    target.setMatrix(source->matrix());
    target.setColorTransform(source->colorTransform());
}

ObjectRef makeColorTransform(Vm& vm, const Value& proto) {
    return ObjectRef(vm.heap().make<ColorTransformObject>(proto));
}

void installGeom(Vm& vm) {
    Object& global = *vm.global();
    ObjectRef flash = vm.toObject(global.ownValue(String(u"flash"), true));
    if (!flash) {
        flash = vm.newObject();
        global.defineValue(u"flash", Value(flash), kSwf8);
    }
    ObjectRef geom = vm.newObject();
    flash->defineValue(u"geom", Value(geom), PropertyFlag::DontEnum);

    ObjectRef point = vm.newObject();
    Ref<FunctionObject> pointClass = defineClass(vm, *geom, u"Point", pointConstruct, pointConstruct, point);
    vm.defineMethod(*point, u"toString", pointToString);
    vm.defineMethod(*point, u"clone", pointClone);
    vm.defineMethod(*point, u"equals", pointEquals);
    vm.defineMethod(*point, u"add", pointAdd);
    vm.defineMethod(*point, u"subtract", pointSubtract);
    vm.defineMethod(*point, u"normalize", pointNormalize);
    vm.defineMethod(*point, u"offset", pointOffset);
    vm.defineProperty(*point, u"length", pointLength, nullptr, PropertyFlag::DontDelete | PropertyFlag::ReadOnly);
    vm.defineMethod(*pointClass, u"distance", pointDistance);
    vm.defineMethod(*pointClass, u"polar", pointPolar);
    vm.defineMethod(*pointClass, u"interpolate", pointInterpolate);

    ObjectRef rect = vm.newObject();
    defineClass(vm, *geom, u"Rectangle", rectConstruct, rectConstruct, rect);
    vm.defineMethod(*rect, u"clone", rectClone);
    vm.defineMethod(*rect, u"setEmpty", rectSetEmpty);
    vm.defineMethod(*rect, u"isEmpty", rectIsEmpty);
    accessor(vm, *rect, u"left", rectGetLeft, rectSetLeft);
    accessor(vm, *rect, u"right", rectGetRight, rectSetRight);
    accessor(vm, *rect, u"top", rectGetTop, rectSetTop);
    accessor(vm, *rect, u"bottom", rectGetBottom, rectSetBottom);
    accessor(vm, *rect, u"topLeft", rectGetTopLeft, rectSetTopLeft);
    accessor(vm, *rect, u"bottomRight", rectGetBottomRight, rectSetBottomRight);
    accessor(vm, *rect, u"size", rectGetSize, rectSetSize);
    vm.defineMethod(*rect, u"inflate", rectInflate);
    vm.defineMethod(*rect, u"inflatePoint", rectInflatePoint);
    vm.defineMethod(*rect, u"offset", rectOffset);
    vm.defineMethod(*rect, u"offsetPoint", rectOffsetPoint);
    vm.defineMethod(*rect, u"contains", rectContains);
    vm.defineMethod(*rect, u"containsPoint", rectContainsPoint);
    vm.defineMethod(*rect, u"containsRectangle", rectContainsRectangle);
    vm.defineMethod(*rect, u"intersection", rectIntersection);
    vm.defineMethod(*rect, u"intersects", rectIntersects);
    vm.defineMethod(*rect, u"union", rectUnion);
    vm.defineMethod(*rect, u"equals", rectEquals);
    vm.defineMethod(*rect, u"toString", rectToString);

    ObjectRef matrix = vm.newObject();
    defineClass(vm, *geom, u"Matrix", matrixConstruct, matrixConstruct, matrix);
    vm.defineMethod(*matrix, u"concat", matrixConcat);
    vm.defineMethod(*matrix, u"invert", matrixInvert);
    vm.defineMethod(*matrix, u"createBox", matrixCreateBox);
    vm.defineMethod(*matrix, u"createGradientBox", matrixCreateGradientBox);
    vm.defineMethod(*matrix, u"clone", matrixClone);
    vm.defineMethod(*matrix, u"identity", matrixIdentity);
    vm.defineMethod(*matrix, u"rotate", matrixRotate);
    vm.defineMethod(*matrix, u"translate", matrixTranslate);
    vm.defineMethod(*matrix, u"scale", matrixScale);
    vm.defineMethod(*matrix, u"deltaTransformPoint", matrixDeltaTransformPoint);
    vm.defineMethod(*matrix, u"transformPoint", matrixTransformPoint);
    vm.defineMethod(*matrix, u"toString", matrixToString);

    ObjectRef colors = vm.newObject();
    colors->setInstanceKind(ObjectKind::ColorTransform);
    defineClass(vm, *geom, u"ColorTransform", colorTransformConstruct, colorTransformConstruct, colors);
    accessor(vm, *colors, u"redMultiplier", getComponent<0>, setComponent<0>);
    accessor(vm, *colors, u"greenMultiplier", getComponent<1>, setComponent<1>);
    accessor(vm, *colors, u"blueMultiplier", getComponent<2>, setComponent<2>);
    accessor(vm, *colors, u"alphaMultiplier", getComponent<3>, setComponent<3>);
    accessor(vm, *colors, u"redOffset", getComponent<4>, setComponent<4>);
    accessor(vm, *colors, u"greenOffset", getComponent<5>, setComponent<5>);
    accessor(vm, *colors, u"blueOffset", getComponent<6>, setComponent<6>);
    accessor(vm, *colors, u"alphaOffset", getComponent<7>, setComponent<7>);
    accessor(vm, *colors, u"rgb", getRgb, setRgb);
    vm.defineMethod(*colors, u"concat", colorTransformConcat);
    vm.defineMethod(*colors, u"toString", colorTransformToString);

    ObjectRef transform = vm.newObject();
    defineClass(vm, *geom, u"Transform", transformConstruct, transformConstruct, transform);
    accessor(vm, *transform, u"matrix", getMatrix, setMatrix);
    accessor(vm, *transform, u"concatenatedMatrix", getConcatenatedMatrix, nullptr);
    accessor(vm, *transform, u"colorTransform", getColorTransform, setColorTransform);
    accessor(vm, *transform, u"concatenatedColorTransform", getConcatenatedColorTransform, nullptr);
    accessor(vm, *transform, u"pixelBounds", getPixelBounds, nullptr);
}

}  // namespace kinolux::avm1::builtins
