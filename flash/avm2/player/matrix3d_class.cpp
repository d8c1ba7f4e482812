// flash.geom.Matrix3D over the player's single-precision matrix, with the
// Utils3D projections and the Orientation3D names its decompose takes.
#include <cmath>
#include <numbers>

#include "flash/avm2/player/geom_values.h"
#include "flash/avm2/player/natives.h"

namespace flash {
namespace {

using namespace as3;
using kinolux::avm2::ArrayObject;
using kinolux::avm2::ObjectKind;
using kinolux::avm2::toBoolean;

class Matrix3DObject : public Object {
public:
    using Object::Object;
    Matrix3D matrix;
};

Object* makeMatrix3D(Vm& vm, Class* cls) {
    return vm.make<Matrix3DObject>(ObjectKind::Plain, &cls->instanceTraits, cls, cls->prototype);
}

Matrix3D& self3D(Vm& vm, const Value& self) {
    auto* o = dynamic_cast<Matrix3DObject*>(self.object());
    if (!o) kinolux::avm2::throwNotA(vm, self, "flash.geom.Matrix3D");
    return o->matrix;
}

[[noreturn]] void invalidParameter(Vm& vm) {
    vm.throwError(ErrorType::ArgumentError, "Error #2004: One of the parameters is invalid.", 2004);
}

ArrayObject* numbersOf(Vm& vm, const Value& v, const char* parameter) {
    Object* o = v.object();
    if (!o) throwNullParameter(vm, parameter);
    if (o->kind != ObjectKind::Vector) kinolux::avm2::throwNotA(vm, v, "__AS3__.vec::Vector.<Number>");
    return static_cast<ArrayObject*>(o);
}

// Makes room for `length` values, as a script's assignment to length would.
void ensureLength(Vm& vm, ArrayObject& v, std::size_t length) {
    if (v.elements.size() >= length) return;
    if (v.fixed) throwFixedVector(vm);
    vm.charge((length - v.elements.size()) * sizeof(Value));
    v.elements.resize(length, Value(0.0));
}

Object* newNumbers(Vm& vm, std::size_t length) {
    Class& cls = vm.vectorClassFor(Value(static_cast<Object*>(vm.builtins().number->object)));
    auto* v = static_cast<ArrayObject*>(vm.construct(&cls, {}));
    ensureLength(vm, *v, length);
    return v;
}

float number(Vm& vm, const Value& v) { return float(vm.toNumber(v)); }

std::size_t indexArgument(Vm& vm, Args a, std::size_t i) {
    const double n = i < a.size() ? vm.toNumber(a[i]) : 0;
    return n >= 0 && n < 4294967296.0 ? std::size_t(n) : 0;
}

Matrix3D copyFromNumbers(Vm& vm, const ArrayObject& v, std::size_t index, bool transpose) {
    if (index + 16 > v.elements.size())
        vm.throwError(ErrorType::RangeError,
                      "Error #1125: The index " + std::to_string(v.elements.size()) + " is out of range " +
                          std::to_string(v.elements.size()) + ".",
                      1125);
    Matrix3D m;
    for (std::size_t i = 0; i < 16; ++i) m.m[i] = number(vm, v.elements[index + i]);
    return transpose ? m.transposed() : m;
}

Value init(Vm& vm, const Value& self, Args a) {
    Matrix3D& m = self3D(vm, self);
    if (Object* o = arg(a, 0).object(); o && o->kind == ObjectKind::Vector) {
        auto* v = static_cast<ArrayObject*>(o);
        if (v->elements.size() == 16) m = copyFromNumbers(vm, *v, 0, false);
    }
    return Value();
}

Value rawData(Vm& vm, const Value& self, Args) {
    const Matrix3D& m = self3D(vm, self);
    auto* v = static_cast<ArrayObject*>(newNumbers(vm, 16));
    for (std::size_t i = 0; i < 16; ++i) v->elements[i] = Value(double(m.m[i]));
    return Value(static_cast<Object*>(v));
}
Value setRawData(Vm& vm, const Value& self, Args a) {
    ArrayObject* v = numbersOf(vm, arg(a, 0), "value");
    if (v->elements.size() < 16) invalidParameter(vm);
    self3D(vm, self) = copyFromNumbers(vm, *v, 0, false);
    return Value();
}
Value copyRawDataFrom(Vm& vm, const Value& self, Args a) {
    ArrayObject* v = numbersOf(vm, arg(a, 0), "vector");
    self3D(vm, self) = copyFromNumbers(vm, *v, indexArgument(vm, a, 1), toBoolean(arg(a, 2)));
    return Value();
}
Value copyRawDataTo(Vm& vm, const Value& self, Args a) {
    ArrayObject* v = numbersOf(vm, arg(a, 0), "vector");
    const std::size_t index = indexArgument(vm, a, 1);
    const Matrix3D m = toBoolean(arg(a, 2)) ? self3D(vm, self).transposed() : self3D(vm, self);
    ensureLength(vm, *v, index + 16);
    for (std::size_t i = 0; i < 16; ++i) v->elements[index + i] = Value(double(m.m[i]));
    return Value();
}

Value clone(Vm& vm, const Value& self, Args) { return Value(newMatrix3D(vm, self3D(vm, self))); }
Value copyFrom(Vm& vm, const Value& self, Args a) {
    self3D(vm, self) = self3D(vm, arg(a, 0));
    return Value();
}
Value copyToMatrix3D(Vm& vm, const Value& self, Args a) {
    self3D(vm, arg(a, 0)) = self3D(vm, self);
    return Value();
}
Value identity(Vm& vm, const Value& self, Args) {
    self3D(vm, self) = Matrix3D{};
    return Value();
}
Value transpose(Vm& vm, const Value& self, Args) {
    Matrix3D& m = self3D(vm, self);
    m = m.transposed();
    return Value();
}
Value determinant(Vm& vm, const Value& self, Args) { return Value(double(self3D(vm, self).determinant())); }
Value invert(Vm& vm, const Value& self, Args) {
    Matrix3D& m = self3D(vm, self);
    return Value(m.inverse(m));
}

Value append(Vm& vm, const Value& self, Args a) {
    Matrix3D& m = self3D(vm, self);
    m = self3D(vm, arg(a, 0)) * m;
    return Value();
}
Value prepend(Vm& vm, const Value& self, Args a) {
    Matrix3D& m = self3D(vm, self);
    m = m * self3D(vm, arg(a, 0));
    return Value();
}
Matrix3D translationOf(Vm& vm, Args a) {
    return Matrix3D::translation(number(vm, arg(a, 0)), number(vm, arg(a, 1)), number(vm, arg(a, 2)));
}
Matrix3D scaleOf(Vm& vm, Args a) {
    return Matrix3D::scale(number(vm, arg(a, 0)), number(vm, arg(a, 1)), number(vm, arg(a, 2)));
}
// About the axis through the pivot point, when there is one.
Matrix3D rotationOf(Vm& vm, Args a) {
    const Vec4 axis = vector3DOf(vm, arg(a, 1));
    const Matrix3D r = Matrix3D::rotation(vm.toNumber(arg(a, 0)), axis[0], axis[1], axis[2]);
    if (!arg(a, 2).object()) return r;
    const Vec4 p = vector3DOf(vm, arg(a, 2));
    return Matrix3D::translation(float(p[0]), float(p[1]), float(p[2])) * r *
           Matrix3D::translation(float(-p[0]), float(-p[1]), float(-p[2]));
}
template <Matrix3D (*Make)(Vm&, Args)>
Value appendMade(Vm& vm, const Value& self, Args a) {
    Matrix3D& m = self3D(vm, self);
    m = Make(vm, a) * m;
    return Value();
}
template <Matrix3D (*Make)(Vm&, Args)>
Value prependMade(Vm& vm, const Value& self, Args a) {
    Matrix3D& m = self3D(vm, self);
    m = m * Make(vm, a);
    return Value();
}

Value position(Vm& vm, const Value& self, Args) {
    const Matrix3D& m = self3D(vm, self);
    return Value(newVector3D(vm, {m.m[12], m.m[13], m.m[14], 0}));
}
Value setPosition(Vm& vm, const Value& self, Args a) {
    const Vec4 p = vector3DOf(vm, arg(a, 0));
    Matrix3D& m = self3D(vm, self);
    for (int i = 0; i < 3; ++i) m.m[12 + i] = float(p[i]);
    return Value();
}

Value transformVector(Vm& vm, const Value& self, Args a) {
    const Vec4 v = vector3DOf(vm, arg(a, 0));
    const auto r = self3D(vm, self).apply(float(v[0]), float(v[1]), float(v[2]), 1);
    return Value(newVector3D(vm, {r[0], r[1], r[2], r[3]}));
}
Value deltaTransformVector(Vm& vm, const Value& self, Args a) {
    const Vec4 v = vector3DOf(vm, arg(a, 0));
    const auto r = self3D(vm, self).apply(float(v[0]), float(v[1]), float(v[2]), 0);
    return Value(newVector3D(vm, {r[0], r[1], r[2], r[3]}));
}
Value transformVectors(Vm& vm, const Value& self, Args a) {
    ArrayObject* in = numbersOf(vm, arg(a, 0), "vin");
    ArrayObject* out = numbersOf(vm, arg(a, 1), "vout");
    const Matrix3D& m = self3D(vm, self);
    const std::size_t count = in->elements.size() / 3 * 3;
    ensureLength(vm, *out, count);
    for (std::size_t i = 0; i < count; i += 3) {
        const auto r = m.apply(number(vm, in->elements[i]), number(vm, in->elements[i + 1]),
                               number(vm, in->elements[i + 2]), 1);
        for (std::size_t k = 0; k < 3; ++k) out->elements[i + k] = Value(double(r[k]));
    }
    return Value();
}

// Row or column `line` (0 to 3), value `i` along it.
template <bool Column>
float& lineValue(Matrix3D& m, int line, int i) {
    return Column ? m.at(i, line) : m.at(line, i);
}
int checkedLine(Vm& vm, Args a) {
    const double n = vm.toNumber(arg(a, 0));
    if (!(n >= 0 && n <= 3)) invalidParameter(vm);
    return int(n);
}
template <bool Column>
Value copyLineTo(Vm& vm, const Value& self, Args a) {
    const int line = checkedLine(vm, a);
    Matrix3D& m = self3D(vm, self);
    const Value target = arg(a, 1);
    vector3DOf(vm, target);
    const char16_t* names[] = {u"x", u"y", u"z", u"w"};
    for (int i = 0; i < 4; ++i) vm.setPublic(target, names[i], Value(double(lineValue<Column>(m, line, i))));
    return Value();
}
template <bool Column>
Value copyLineFrom(Vm& vm, const Value& self, Args a) {
    const int line = checkedLine(vm, a);
    const Vec4 v = vector3DOf(vm, arg(a, 1));
    Matrix3D& m = self3D(vm, self);
    for (int i = 0; i < 4; ++i) lineValue<Column>(m, line, i) = float(v[i]);
    return Value();
}

// ---- decompose and recompose ----

Orientation3D orientationOf(Vm& vm, Args a, std::size_t i) {
    if (i >= a.size() || a[i].isNullish()) return Orientation3D::EulerAngles;
    const String style = vm.toString(a[i]);
    if (style.view() == u"eulerAngles") return Orientation3D::EulerAngles;
    if (style.view() == u"axisAngle") return Orientation3D::AxisAngle;
    if (style.view() == u"quaternion") return Orientation3D::Quaternion;
    vm.throwError(ErrorType::Error,
                  "Error #2187: Invalid orientation style " + style.toUtf8() +
                      ".  Value must be one of 'Orientation3D.EULER_ANGLES', 'Orientation3D.AXIS_ANGLE', or "
                      "'Orientation3D.QUATERNION'.",
                  2187);
}

Object* newVector3Ds(Vm& vm, const Parts3D& parts) {
    Class& cls = vm.vectorClassFor(Value(static_cast<Object*>(vm.findClass(u"flash.geom.Vector3D")->object)));
    auto* v = static_cast<ArrayObject*>(vm.construct(&cls, {}));
    for (const Vec4* p : {&parts.translation, &parts.rotation, &parts.scale}) v->elements.push_back(Value(newVector3D(vm, *p)));
    return v;
}

Value decompose(Vm& vm, const Value& self, Args a) {
    return Value(newVector3Ds(vm, decompose(self3D(vm, self), orientationOf(vm, a, 0))));
}
Value recompose(Vm& vm, const Value& self, Args a) {
    const Orientation3D style = orientationOf(vm, a, 1);
    ArrayObject* components = numbersOf(vm, arg(a, 0), "components");
    if (components->elements.size() < 3) return Value(false);
    const Parts3D parts{vector3DOf(vm, components->elements[0]), vector3DOf(vm, components->elements[1]),
                        vector3DOf(vm, components->elements[2])};
    self3D(vm, self) = recompose(parts, style);
    return Value(true);
}

// Translation and scale move in a straight line, the rotation along the
// shortest arc between the two orientations.
Matrix3D interpolated(const Matrix3D& from, const Matrix3D& to, double t) {
    Parts3D p = decompose(from, Orientation3D::Quaternion);
    const Parts3D q = decompose(to, Orientation3D::Quaternion);
    for (auto part : {&Parts3D::translation, &Parts3D::scale})
        for (int i = 0; i < 3; ++i) (p.*part)[i] += ((q.*part)[i] - (p.*part)[i]) * t;
    Vec4& r = p.rotation;
    Vec4 end = q.rotation;
    double cosine = r[0] * end[0] + r[1] * end[1] + r[2] * end[2] + r[3] * end[3];
    if (cosine < 0) {
        cosine = -cosine;
        for (double& v : end) v = -v;
    }
    double a = 1 - t, b = t;
    if (cosine < 0.9999) {
        const double angle = std::acos(cosine), s = std::sin(angle);
        a = std::sin((1 - t) * angle) / s;
        b = std::sin(t * angle) / s;
    }
    for (int i = 0; i < 4; ++i) r[i] = a * r[i] + b * end[i];
    const double length = std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2] + r[3] * r[3]);
    if (length != 0)
        for (double& v : r) v /= length;
    return recompose(p, Orientation3D::Quaternion);
}
Value interpolate(Vm& vm, const Value&, Args a) {
    return Value(newMatrix3D(vm, interpolated(self3D(vm, arg(a, 0)), self3D(vm, arg(a, 1)), vm.toNumber(arg(a, 2)))));
}
Value interpolateTo(Vm& vm, const Value& self, Args a) {
    Matrix3D& m = self3D(vm, self);
    m = interpolated(m, self3D(vm, arg(a, 0)), vm.toNumber(arg(a, 1)));
    return Value();
}

// ---- Utils3D ----

Value projectVector(Vm& vm, const Value&, Args a) {
    const Vec4 v = vector3DOf(vm, arg(a, 1));
    const auto r = self3D(vm, arg(a, 0)).apply(float(v[0]), float(v[1]), float(v[2]), 1);
    const float reciprocal = 1 / r[3];
    return Value(newVector3D(vm, {r[0] * reciprocal, r[1] * reciprocal, r[2] * reciprocal, r[3]}));
}
// Two projected values a vertex, and each vertex's t (1/w) as the third
// of its three uvt values.
Value projectVectors(Vm& vm, const Value&, Args a) {
    const Matrix3D& m = self3D(vm, arg(a, 0));
    ArrayObject* verts = numbersOf(vm, arg(a, 1), "verts");
    ArrayObject* projected = numbersOf(vm, arg(a, 2), "projectedVerts");
    ArrayObject* uvts = numbersOf(vm, arg(a, 3), "uvts");
    const std::size_t count = verts->elements.size() / 3;
    ensureLength(vm, *projected, count * 2);
    ensureLength(vm, *uvts, count * 3);
    for (std::size_t i = 0; i < count; ++i) {
        const auto r = m.apply(number(vm, verts->elements[3 * i]), number(vm, verts->elements[3 * i + 1]),
                               number(vm, verts->elements[3 * i + 2]), 1);
        const float reciprocal = 1 / r[3];
        projected->elements[2 * i] = Value(double(r[0] * reciprocal));
        projected->elements[2 * i + 1] = Value(double(r[1] * reciprocal));
        uvts->elements[3 * i + 2] = Value(1.0 / double(r[3]));
    }
    return Value();
}

}  // namespace

Object* newMatrix3D(Vm& vm, const Matrix3D& m) {
    Object* o = vm.construct(vm.findClass(u"flash.geom.Matrix3D"), {});
    static_cast<Matrix3DObject*>(o)->matrix = m;
    return o;
}

const Matrix3D* matrix3DOf(const Value& value) {
    auto* o = dynamic_cast<Matrix3DObject*>(value.object());
    return o ? &o->matrix : nullptr;
}

void installMatrix3DClasses(Vm& vm) {
    Class* c = vm.defineClass(u"flash.geom", u"Matrix3D", vm.findClass(u"Object"), makeMatrix3D);
    vm.defineConstructor(c, init);
    vm.defineGetter(c, u"rawData", rawData, setRawData);
    vm.defineGetter(c, u"position", position, setPosition);
    vm.defineGetter(c, u"determinant", determinant);
    vm.defineTraitMethod(c, u"clone", clone);
    vm.defineTraitMethod(c, u"copyFrom", copyFrom);
    vm.defineTraitMethod(c, u"copyToMatrix3D", copyToMatrix3D);
    vm.defineTraitMethod(c, u"copyRawDataFrom", copyRawDataFrom);
    vm.defineTraitMethod(c, u"copyRawDataTo", copyRawDataTo);
    vm.defineTraitMethod(c, u"copyColumnFrom", copyLineFrom<true>);
    vm.defineTraitMethod(c, u"copyColumnTo", copyLineTo<true>);
    vm.defineTraitMethod(c, u"copyRowFrom", copyLineFrom<false>);
    vm.defineTraitMethod(c, u"copyRowTo", copyLineTo<false>);
    vm.defineTraitMethod(c, u"identity", identity);
    vm.defineTraitMethod(c, u"transpose", transpose);
    vm.defineTraitMethod(c, u"invert", invert);
    vm.defineTraitMethod(c, u"append", append);
    vm.defineTraitMethod(c, u"prepend", prepend);
    vm.defineTraitMethod(c, u"appendTranslation", appendMade<translationOf>);
    vm.defineTraitMethod(c, u"prependTranslation", prependMade<translationOf>);
    vm.defineTraitMethod(c, u"appendScale", appendMade<scaleOf>);
    vm.defineTraitMethod(c, u"prependScale", prependMade<scaleOf>);
    vm.defineTraitMethod(c, u"appendRotation", appendMade<rotationOf>);
    vm.defineTraitMethod(c, u"prependRotation", prependMade<rotationOf>);
    vm.defineTraitMethod(c, u"transformVector", transformVector);
    vm.defineTraitMethod(c, u"deltaTransformVector", deltaTransformVector);
    vm.defineTraitMethod(c, u"transformVectors", transformVectors);
    vm.defineTraitMethod(c, u"decompose", decompose);
    vm.defineTraitMethod(c, u"recompose", recompose);
    vm.defineTraitMethod(c, u"interpolateTo", interpolateTo);
    vm.defineMethod(c, u"interpolate", interpolate, true, 3);

    Class* utils = vm.defineClass(u"flash.geom", u"Utils3D", vm.findClass(u"Object"), nullptr);
    vm.defineMethod(utils, u"projectVector", projectVector, true, 2);
    vm.defineMethod(utils, u"projectVectors", projectVectors, true, 4);

    Class* orientation = vm.defineClass(u"flash.geom", u"Orientation3D", vm.findClass(u"Object"), nullptr);
    vm.defineConstant(orientation, u"EULER_ANGLES", Value(String(u"eulerAngles")));
    vm.defineConstant(orientation, u"AXIS_ANGLE", Value(String(u"axisAngle")));
    vm.defineConstant(orientation, u"QUATERNION", Value(String(u"quaternion")));
}

}  // namespace flash
