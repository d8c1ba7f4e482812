// flash.geom.Transform: a view of one display object's matrix and colors.
#include <cmath>

#include "flash/avm1/builtins/geom.h"

namespace kinolux::avm1::builtins {

namespace {

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
    target->setMatrix(matrixFields(vm, in.objectRef()));
    return Value();
}

// The object's own matrix or colors composed with each parent's, up to the root.
template <class T>
T concatenated(const DisplayObjectBinding& target, T (DisplayObjectBinding::*of)() const,
               T (*then)(const T& inner, const T& outer)) {
    T total = (target.*of)();
    for (DisplayObjectBinding* p = target.parent(); p; p = p->parent()) total = then(total, (p->*of)());
    return total;
}

Matrix thenMatrix(const Matrix& t, const Matrix& m) {
    Matrix total;
    total.a = t.a * m.a + t.b * m.c;
    total.b = t.a * m.b + t.b * m.d;
    total.c = t.c * m.a + t.d * m.c;
    total.d = t.c * m.b + t.d * m.d;
    total.tx = t.tx * m.a + t.ty * m.c + m.tx;
    total.ty = t.tx * m.b + t.ty * m.d + m.ty;
    return total;
}

Value getConcatenatedMatrix(Vm& vm, const Value& thisValue, Args) {
    DisplayObjectBinding* target = transformTarget(vm, thisValue);
    return target ? matrixValue(vm, concatenated(*target, &DisplayObjectBinding::matrix, thenMatrix)) : Value();
}

Value getColorTransform(Vm& vm, const Value& thisValue, Args) {
    DisplayObjectBinding* target = transformTarget(vm, thisValue);
    return target ? newColorTransform(vm, target->colorTransform()) : Value();
}

Value setColorTransform(Vm& vm, const Value& thisValue, Args args) {
    DisplayObjectBinding* target = transformTarget(vm, thisValue);
    ColorTransformObject* in = thisTransform(arg(args, 0));
    if (!target || !in) return Value();
    target->setColorTransform(in->transform());
    return Value();
}

Value getConcatenatedColorTransform(Vm& vm, const Value& thisValue, Args) {
    DisplayObjectBinding* target = transformTarget(vm, thisValue);
    return target ? newColorTransform(vm, concatenated(*target, &DisplayObjectBinding::colorTransform, thenColors))
                  : Value();
}

Value getPixelBounds(Vm& vm, const Value& thisValue, Args) {
    DisplayObjectBinding* target = transformTarget(vm, thisValue);
    if (!target) return Value();
    Bounds b = target->bounds(target->root());
    return Ops{vm}.make(u"Rectangle", {Value(b.xMin), Value(b.yMin), Value(b.xMax - b.xMin), Value(b.yMax - b.yMin)});
}

constexpr Member kTransformMembers[] = {
    accessor(u"matrix", getMatrix, setMatrix, kGeomAccessor),
    accessor(u"concatenatedMatrix", getConcatenatedMatrix, nullptr, kGeomAccessor),
    accessor(u"colorTransform", getColorTransform, setColorTransform, kGeomAccessor),
    accessor(u"concatenatedColorTransform", getConcatenatedColorTransform, nullptr, kGeomAccessor),
    accessor(u"pixelBounds", getPixelBounds, nullptr, kGeomAccessor),
};

}  // namespace

ColorTransform thenColors(const ColorTransform& inner, const ColorTransform& outer) {
    ColorTransform total = inner;
    total.redOffset = total.redOffset * outer.redMultiplier + outer.redOffset;
    total.greenOffset = total.greenOffset * outer.greenMultiplier + outer.greenOffset;
    total.blueOffset = total.blueOffset * outer.blueMultiplier + outer.blueOffset;
    total.alphaOffset = total.alphaOffset * outer.alphaMultiplier + outer.alphaOffset;
    total.redMultiplier *= outer.redMultiplier;
    total.greenMultiplier *= outer.greenMultiplier;
    total.blueMultiplier *= outer.blueMultiplier;
    total.alphaMultiplier *= outer.alphaMultiplier;
    return total;
}

Value transformOf(Vm& vm, const Value& displayObject) { return Ops{vm}.make(u"Transform", {displayObject}); }

void assignTransform(Vm& vm, DisplayObjectBinding& target, const Value& transform) {
    DisplayObjectBinding* source = transformTarget(vm, transform);
    if (!source) return;
    target.setMatrix(source->matrix());
    target.setColorTransform(source->colorTransform());
}

void installTransform(Vm& vm, Object& geom) {
    defineClass(vm, geom, {u"Transform", transformConstruct, transformConstruct, kTransformMembers});
}

}  // namespace kinolux::avm1::builtins
