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

ColorTransform thenColors(const ColorTransform& inner, const ColorTransform& c) {
    ColorTransform total = inner;
    total.redOffset = total.redOffset * c.redMultiplier + c.redOffset;
    total.greenOffset = total.greenOffset * c.greenMultiplier + c.greenOffset;
    total.blueOffset = total.blueOffset * c.blueMultiplier + c.blueOffset;
    total.alphaOffset = total.alphaOffset * c.alphaMultiplier + c.alphaOffset;
    total.redMultiplier *= c.redMultiplier;
    total.greenMultiplier *= c.greenMultiplier;
    total.blueMultiplier *= c.blueMultiplier;
    total.alphaMultiplier *= c.alphaMultiplier;
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
