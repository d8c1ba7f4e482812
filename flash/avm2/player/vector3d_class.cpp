// flash.geom.Vector3D: a point or direction in three dimensions with a
// fourth value, w, that only some operations read. Its fields are plain
// properties of the instance, as Point's are.
#include <cmath>

#include "flash/avm2/player/geom_values.h"
#include "flash/avm2/player/natives.h"

namespace flash {
namespace {

using namespace as3;

constexpr std::u16string_view kFields[] = {u"x", u"y", u"z", u"w"};

void store(Vm& vm, const Value& self, double x, double y, double z) {
    vm.setPublic(self, u"x", Value(x));
    vm.setPublic(self, u"y", Value(y));
    vm.setPublic(self, u"z", Value(z));
}

Value init(Vm& vm, const Value& self, Args a) {
    for (std::size_t i = 0; i < 4; ++i) vm.setPublic(self, kFields[i], Value(i < a.size() ? vm.toNumber(a[i]) : 0.0));
    return Value();
}

Value toString(Vm& vm, const Value& self, Args) {
    std::u16string out = u"Vector3D(";
    for (std::size_t i = 0; i < 3; ++i) {
        if (i) out += u", ";
        out += vm.toString(vm.getPublic(self, kFields[i])).view();
    }
    return Value(String(out + u")"));
}

double dot(const Vec4& a, const Vec4& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
double lengthOf(const Vec4& v) { return std::sqrt(dot(v, v)); }

Value length(Vm& vm, const Value& self, Args) { return Value(lengthOf(vector3DOf(vm, self))); }
Value lengthSquared(Vm& vm, const Value& self, Args) {
    const Vec4 v = vector3DOf(vm, self);
    return Value(dot(v, v));
}
Value clone(Vm& vm, const Value& self, Args) { return Value(newVector3D(vm, vector3DOf(vm, self))); }
Value add(Vm& vm, const Value& self, Args a) {
    const Vec4 v = vector3DOf(vm, self), o = vector3DOf(vm, arg(a, 0));
    return Value(newVector3D(vm, {v[0] + o[0], v[1] + o[1], v[2] + o[2], 0}));
}
Value subtract(Vm& vm, const Value& self, Args a) {
    const Vec4 v = vector3DOf(vm, self), o = vector3DOf(vm, arg(a, 0));
    return Value(newVector3D(vm, {v[0] - o[0], v[1] - o[1], v[2] - o[2], 0}));
}
Value crossProduct(Vm& vm, const Value& self, Args a) {
    const Vec4 v = vector3DOf(vm, self), o = vector3DOf(vm, arg(a, 0));
    return Value(newVector3D(vm, {v[1] * o[2] - v[2] * o[1], v[2] * o[0] - v[0] * o[2], v[0] * o[1] - v[1] * o[0], 1}));
}
Value dotProduct(Vm& vm, const Value& self, Args a) {
    return Value(dot(vector3DOf(vm, self), vector3DOf(vm, arg(a, 0))));
}
Value incrementBy(Vm& vm, const Value& self, Args a) {
    const Vec4 v = vector3DOf(vm, self), o = vector3DOf(vm, arg(a, 0));
    store(vm, self, v[0] + o[0], v[1] + o[1], v[2] + o[2]);
    return Value();
}
Value decrementBy(Vm& vm, const Value& self, Args a) {
    const Vec4 v = vector3DOf(vm, self), o = vector3DOf(vm, arg(a, 0));
    store(vm, self, v[0] - o[0], v[1] - o[1], v[2] - o[2]);
    return Value();
}
Value scaleBy(Vm& vm, const Value& self, Args a) {
    const Vec4 v = vector3DOf(vm, self);
    const double s = vm.toNumber(arg(a, 0));
    store(vm, self, v[0] * s, v[1] * s, v[2] * s);
    return Value();
}
Value negate(Vm& vm, const Value& self, Args) {
    const Vec4 v = vector3DOf(vm, self);
    store(vm, self, -v[0], -v[1], -v[2]);
    return Value();
}
Value normalize(Vm& vm, const Value& self, Args) {
    const Vec4 v = vector3DOf(vm, self);
    const double len = lengthOf(v);
    if (len != 0)
        store(vm, self, v[0] / len, v[1] / len, v[2] / len);
    else
        store(vm, self, 0, 0, 0);
    return Value(len);
}
Value project(Vm& vm, const Value& self, Args) {
    const Vec4 v = vector3DOf(vm, self);
    const double reciprocal = 1 / v[3];
    store(vm, self, v[0] * reciprocal, v[1] * reciprocal, v[2] * reciprocal);
    return Value();
}
Value equals(Vm& vm, const Value& self, Args a) {
    const Vec4 v = vector3DOf(vm, self), o = vector3DOf(vm, arg(a, 0));
    const bool allFour = kinolux::avm2::toBoolean(arg(a, 1));
    return Value(v[0] == o[0] && v[1] == o[1] && v[2] == o[2] && (!allFour || v[3] == o[3]));
}
// With allFour the player's w test takes the other vector's w as the
// difference, and stores it as this one's w: movies see both.
Value nearEquals(Vm& vm, const Value& self, Args a) {
    const Vec4 v = vector3DOf(vm, self), o = vector3DOf(vm, arg(a, 0));
    const double tolerance = vm.toNumber(arg(a, 1));
    for (int i = 0; i < 3; ++i)
        if (!(std::abs(v[i] - o[i]) < tolerance)) return Value(false);
    if (!kinolux::avm2::toBoolean(arg(a, 2))) return Value(true);
    vm.setPublic(self, u"w", Value(o[3]));
    return Value(std::abs(o[3]) < tolerance);
}
Value copyFrom(Vm& vm, const Value& self, Args a) {
    const Vec4 o = vector3DOf(vm, arg(a, 0));
    store(vm, self, o[0], o[1], o[2]);
    return Value();
}
Value setTo(Vm& vm, const Value& self, Args a) {
    store(vm, self, vm.toNumber(arg(a, 0)), vm.toNumber(arg(a, 1)), vm.toNumber(arg(a, 2)));
    return Value();
}
Value angleBetween(Vm& vm, const Value&, Args a) {
    const Vec4 p = vector3DOf(vm, arg(a, 0)), q = vector3DOf(vm, arg(a, 1));
    return Value(std::acos(dot(p, q) / (lengthOf(p) * lengthOf(q))));
}
Value distance(Vm& vm, const Value&, Args a) {
    const Vec4 p = vector3DOf(vm, arg(a, 0)), q = vector3DOf(vm, arg(a, 1));
    return Value(lengthOf({q[0] - p[0], q[1] - p[1], q[2] - p[2], 0}));
}

}  // namespace

Object* newVector3D(Vm& vm, const Vec4& v) {
    Value args[] = {Value(v[0]), Value(v[1]), Value(v[2]), Value(v[3])};
    return vm.construct(vm.findClass(u"flash.geom.Vector3D"), args);
}

Vec4 vector3DOf(Vm& vm, const Value& vector) {
    if (!vector.object()) throwNullObject(vm);
    return {geomField(vm, vector, u"x"), geomField(vm, vector, u"y"), geomField(vm, vector, u"z"), geomField(vm, vector, u"w")};
}

void installVector3DClass(Vm& vm) {
    Class* c = vm.defineClass(u"flash.geom", u"Vector3D", vm.findClass(u"Object"), nullptr);
    vm.defineConstructor(c, init);
    vm.defineTraitMethod(c, u"toString", toString);
    vm.defineTraitMethod(c, u"clone", clone);
    vm.defineTraitMethod(c, u"add", add);
    vm.defineTraitMethod(c, u"subtract", subtract);
    vm.defineTraitMethod(c, u"crossProduct", crossProduct);
    vm.defineTraitMethod(c, u"dotProduct", dotProduct);
    vm.defineTraitMethod(c, u"incrementBy", incrementBy);
    vm.defineTraitMethod(c, u"decrementBy", decrementBy);
    vm.defineTraitMethod(c, u"scaleBy", scaleBy);
    vm.defineTraitMethod(c, u"negate", negate);
    vm.defineTraitMethod(c, u"normalize", normalize);
    vm.defineTraitMethod(c, u"project", project);
    vm.defineTraitMethod(c, u"equals", equals);
    vm.defineTraitMethod(c, u"nearEquals", nearEquals);
    vm.defineTraitMethod(c, u"copyFrom", copyFrom);
    vm.defineTraitMethod(c, u"setTo", setTo);
    vm.defineGetter(c, u"length", length);
    vm.defineGetter(c, u"lengthSquared", lengthSquared);
    vm.defineMethod(c, u"angleBetween", angleBetween, true, 2);
    vm.defineMethod(c, u"distance", distance, true, 2);
    vm.defineConstant(c, u"X_AXIS", Value(newVector3D(vm, {1, 0, 0, 0})));
    vm.defineConstant(c, u"Y_AXIS", Value(newVector3D(vm, {0, 1, 0, 0})));
    vm.defineConstant(c, u"Z_AXIS", Value(newVector3D(vm, {0, 0, 1, 0})));
}

}  // namespace flash
