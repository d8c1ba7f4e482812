// flash.geom.Rectangle.
#include "flash/avm1/builtins/geom.h"

namespace kinolux::avm1::builtins {

namespace {

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

Value rectSetEmpty(Vm& vm, const Value& thisValue, Args) {
    Ops{vm}.setEach(thisValue, {u"height", u"width", u"y", u"x"}, Value(0));
    return Value();
}

Value rectConstruct(Vm& vm, const Value& thisValue, Args args) {
    Ops ops{vm};
    if (args.empty()) {
        ops.call(thisValue, u"setEmpty", {});
    } else {
        ops.setFromArgs(thisValue, {u"x", u"y", u"width", u"height"}, args);
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

// One axis of a rectangle: its start and its extent.
struct Horizontal {
    static constexpr std::u16string_view pos = u"x", size = u"width";
};
struct Vertical {
    static constexpr std::u16string_view pos = u"y", size = u"height";
};

Value endEdge(Ops& ops, const Value& rect, std::u16string_view pos, std::u16string_view size) {
    return ops.add(ops.get(rect, pos), ops.get(rect, size));
}

// left and top.
template <class Axis>
Value getStartEdge(Vm& vm, const Value& thisValue, Args) {
    return Ops{vm}.get(thisValue, Axis::pos);
}
// Moves the start edge and keeps the end edge where it was.
template <class Axis>
Value setStartEdge(Vm& vm, const Value& thisValue, Args args) {
    Ops ops{vm};
    const Value& edge = arg(args, 0);
    ops.set(thisValue, Axis::size, ops.add(ops.get(thisValue, Axis::size), ops.sub(ops.get(thisValue, Axis::pos), edge)));
    ops.set(thisValue, Axis::pos, edge);
    return Value();
}
// right and bottom.
template <class Axis>
Value getEndEdge(Vm& vm, const Value& thisValue, Args) {
    Ops ops{vm};
    return endEdge(ops, thisValue, Axis::pos, Axis::size);
}
// Moves the end edge and keeps the start edge where it was.
template <class Axis>
Value setEndEdge(Vm& vm, const Value& thisValue, Args args) {
    Ops ops{vm};
    ops.set(thisValue, Axis::size, ops.sub(arg(args, 0), ops.get(thisValue, Axis::pos)));
    return Value();
}
// topLeft and size: two of the fields as a new Point.
Value pointOfFields(Vm& vm, const Value& rect, std::u16string_view x, std::u16string_view y) {
    Ops ops{vm};
    return ops.make(u"Point", {ops.get(rect, x), ops.get(rect, y)});
}
Value rectGetTopLeft(Vm& vm, const Value& thisValue, Args) { return pointOfFields(vm, thisValue, u"x", u"y"); }
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
Value rectGetSize(Vm& vm, const Value& thisValue, Args) { return pointOfFields(vm, thisValue, u"width", u"height"); }
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
    Ops{vm}.addArgs(thisValue, {u"x", u"y"}, args);
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

// intersection and union: `result` starts at Math[startPick] of the two
// starts and ends at Math[endPick] of the two ends, x before y.
void spanBoth(Ops& ops, const Value& result, const Value& self, const Value& other, std::u16string_view startPick,
              std::u16string_view endPick) {
    ops.set(result, u"x", ops.mathCall(startPick, {ops.get(self, u"x"), ops.get(other, u"x")}));
    ops.set(result, u"y", ops.mathCall(startPick, {ops.get(self, u"y"), ops.get(other, u"y")}));
    Value otherRight = endEdge(ops, other, u"x", u"width");
    Value right = endEdge(ops, self, u"x", u"width");
    ops.set(result, u"width", ops.sub(ops.mathCall(endPick, {right, otherRight}), ops.get(result, u"x")));
    Value otherBottom = endEdge(ops, other, u"y", u"height");
    Value bottom = endEdge(ops, self, u"y", u"height");
    ops.set(result, u"height", ops.sub(ops.mathCall(endPick, {bottom, otherBottom}), ops.get(result, u"y")));
}

Value rectIntersection(Vm& vm, const Value& thisValue, Args args) {
    Ops ops{vm};
    Value other = arg(args, 0);
    Value result = ops.make(u"Rectangle", {});
    if (ops.truthy(ops.call(thisValue, u"isEmpty", {})) || ops.truthy(ops.call(other, u"isEmpty", {}))) {
        ops.call(result, u"setEmpty", {});
        return result;
    }
    spanBoth(ops, result, thisValue, other, u"max", u"min");
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
    spanBoth(ops, result, thisValue, other, u"min", u"max");
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
    return Ops{vm}.describe(thisValue, {{u"x", u"x"}, {u"y", u"y"}, {u"w", u"width"}, {u"h", u"height"}});
}

constexpr Member kRectangleMembers[] = {
    method(u"clone", rectClone),
    method(u"setEmpty", rectSetEmpty),
    method(u"isEmpty", rectIsEmpty),
    accessor(u"left", getStartEdge<Horizontal>, setStartEdge<Horizontal>, kGeomAccessor),
    accessor(u"right", getEndEdge<Horizontal>, setEndEdge<Horizontal>, kGeomAccessor),
    accessor(u"top", getStartEdge<Vertical>, setStartEdge<Vertical>, kGeomAccessor),
    accessor(u"bottom", getEndEdge<Vertical>, setEndEdge<Vertical>, kGeomAccessor),
    accessor(u"topLeft", rectGetTopLeft, rectSetTopLeft, kGeomAccessor),
    accessor(u"bottomRight", rectGetBottomRight, rectSetBottomRight, kGeomAccessor),
    accessor(u"size", rectGetSize, rectSetSize, kGeomAccessor),
    method(u"inflate", rectInflate),
    method(u"inflatePoint", rectInflatePoint),
    method(u"offset", rectOffset),
    method(u"offsetPoint", rectOffsetPoint),
    method(u"contains", rectContains),
    method(u"containsPoint", rectContainsPoint),
    method(u"containsRectangle", rectContainsRectangle),
    method(u"intersection", rectIntersection),
    method(u"intersects", rectIntersects),
    method(u"union", rectUnion),
    method(u"equals", rectEquals),
    method(u"toString", rectToString),
};

}  // namespace

void installRectangle(Vm& vm, Object& geom) {
    defineClass(vm, geom, {u"Rectangle", rectConstruct, rectConstruct, kRectangleMembers});
}

}  // namespace kinolux::avm1::builtins
