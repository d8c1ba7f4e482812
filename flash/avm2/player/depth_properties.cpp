// A display object's place in three dimensions: z, rotationX, rotationY,
// rotationZ and scaleZ, and its Transform's matrix3D. Setting any of them
// gives a flat object a three-dimensional transform made from its current
// position, rotation and scale.
#include <cmath>
#include <numbers>

#include "flash/avm2/player/display_bridge.h"
#include "flash/avm2/player/geom_values.h"
#include "flash/avm2/player/natives.h"
#include "flash/core/display_object.h"
#include "flash/core/player.h"

namespace flash {
namespace {

using namespace as3;

constexpr double kDegrees = 180 / std::numbers::pi;

Parts3D partsOf(const DisplayObject& d) {
    if (d.matrix3D()) return decompose(*d.matrix3D(), Orientation3D::EulerAngles);
    return {{d.x(), d.y(), 0, 0}, {0, 0, d.rotation() / kDegrees, 0}, {d.xScale() / 100, d.yScale() / 100, 1, 0}};
}

// Which part and which of its values a property is, and how scripts count it.
template <Parts3D::Value4 Parts3D::*Part, int Index, bool Angle>
Value partGetter(Vm&, const Value& t, Args) {
    DisplayObject* d = DisplayBridge::displayOf(t);
    if (!d) return Value(0.0);
    const double v = (partsOf(*d).*Part)[Index];
    return Value(Angle ? v * kDegrees : v);
}

template <Parts3D::Value4 Parts3D::*Part, int Index, bool Angle>
Value partSetter(Vm& vm, const Value& t, Args a) {
    DisplayObject* d = DisplayBridge::displayOf(t);
    const double v = vm.toNumber(arg(a, 0));
    if (!d || !std::isfinite(v)) return Value();
    Parts3D parts = partsOf(*d);
    (parts.*Part)[Index] = Angle ? std::fmod(v, 360.0) / kDegrees : v;
    d->setMatrix3D(recompose(parts, Orientation3D::EulerAngles));
    return Value();
}

Value matrix3D(Vm& vm, const Value& self, Args) {
    DisplayObject* d = transformOwner(vm, self);
    return d && d->matrix3D() ? Value(newMatrix3D(vm, *d->matrix3D())) : Value::null();
}

Value setMatrix3D(Vm& vm, const Value& self, Args a) {
    DisplayObject* d = transformOwner(vm, self);
    if (!d) return Value();
    const Value value = arg(a, 0);
    const Matrix3D* m = matrix3DOf(value);
    if (!m && !value.isNullish()) kinolux::avm2::throwNotA(vm, value, "flash.geom.Matrix3D");
    // Back to two dimensions, the object starts again from no transform.
    if (m)
        d->setMatrix3D(*m);
    else
        d->setMatrix(QTransform());
    return Value();
}

// ---- PerspectiveProjection ----

// One taken from a Transform writes through to its display object.
class PerspectiveObject : public Object {
public:
    using Object::Object;
    DisplayObject::Perspective perspective{55, QPointF(250, 250)};
    std::weak_ptr<DisplayObject> owner;

    double stageWidth() const {
        const auto o = owner.lock();
        return o ? o->player().stageSize().width() : 500;
    }
    void changed() {
        if (const auto o = owner.lock()) o->perspective = perspective;
    }
};

Object* makePerspective(Vm& vm, Class* cls) {
    return vm.make<PerspectiveObject>(kinolux::avm2::ObjectKind::Plain, &cls->instanceTraits, cls, cls->prototype);
}

PerspectiveObject& perspectiveOf(Vm& vm, const Value& v) {
    auto* o = dynamic_cast<PerspectiveObject*>(v.object());
    if (!o) kinolux::avm2::throwNotA(vm, v, "flash.geom.PerspectiveProjection");
    return *o;
}

double toRadians(double degrees) { return degrees / kDegrees; }

Value fieldOfView(Vm& vm, const Value& self, Args) { return Value(perspectiveOf(vm, self).perspective.fieldOfView); }
Value setFieldOfView(Vm& vm, const Value& self, Args a) {
    const double degrees = vm.toNumber(arg(a, 0));
    if (!(degrees > 0 && degrees < 180))
        vm.throwError(ErrorType::ArgumentError,
                      "Error #2182: Invalid fieldOfView value.  The value must be greater than 0 and less than 180.",
                      2182);
    PerspectiveObject& p = perspectiveOf(vm, self);
    p.perspective.fieldOfView = degrees;
    p.changed();
    return Value();
}
Value focalLength(Vm& vm, const Value& self, Args) {
    const PerspectiveObject& p = perspectiveOf(vm, self);
    return Value(double(float(p.stageWidth() / 2 / std::tan(toRadians(p.perspective.fieldOfView) / 2))));
}
Value setFocalLength(Vm& vm, const Value& self, Args a) {
    const double focal = vm.toNumber(arg(a, 0));
    if (!(focal > 0)) return Value();
    PerspectiveObject& p = perspectiveOf(vm, self);
    p.perspective.fieldOfView = 2 * std::atan(p.stageWidth() / 2 / focal) * kDegrees;
    p.changed();
    return Value();
}
Value projectionCenter(Vm& vm, const Value& self, Args) {
    return Value(newPoint(vm, perspectiveOf(vm, self).perspective.centre));
}
Value setProjectionCenter(Vm& vm, const Value& self, Args a) {
    PerspectiveObject& p = perspectiveOf(vm, self);
    p.perspective.centre = pointOf(vm, arg(a, 0));
    p.changed();
    return Value();
}
Value toMatrix3D(Vm& vm, const Value& self, Args) {
    const double focal = vm.toNumber(focalLength(vm, self, {}));
    Matrix3D m;
    m.m = {float(focal), 0, 0, 0, 0, float(focal), 0, 0, 0, 0, 1, 1, 0, 0, 0, 0};
    return Value(newMatrix3D(vm, m));
}

// A fresh object each time, as the player gives; null for an object with
// none of its own, except the root, which has the stage's.
Value perspectiveProjection(Vm& vm, const Value& self, Args) {
    DisplayObject* d = transformOwner(vm, self);
    const auto made = [&] { return static_cast<PerspectiveObject*>(vm.construct(vm.findClass(u"flash.geom.PerspectiveProjection"), {})); };
    // The stage's is the default one, bound to nothing.
    if (!d) {
        const Value owner = vm.getPublic(self, u"__owner");
        const bool stage = owner.object() && vm.classOf(owner)->qualifiedName().view() == u"flash.display::Stage";
        return stage ? Value(static_cast<Object*>(made())) : Value::null();
    }
    std::optional<DisplayObject::Perspective> seen = d->perspective;
    if (!seen && d == &d->player().root()) {
        const QSize stage = d->player().stageSize();
        seen = DisplayObject::Perspective{55, QPointF(stage.width() / 2.0, stage.height() / 2.0)};
    }
    if (!seen) return Value::null();
    PerspectiveObject* p = made();
    p->perspective = *seen;
    p->owner = d->weak_from_this();
    return Value(static_cast<Object*>(p));
}
Value setPerspectiveProjection(Vm& vm, const Value& self, Args a) {
    DisplayObject* d = transformOwner(vm, self);
    if (!d) return Value();
    if (arg(a, 0).isNullish())
        d->perspective.reset();
    else
        d->perspective = perspectiveOf(vm, arg(a, 0)).perspective;
    return Value();
}

}  // namespace

void installPerspectiveProjection(Vm& vm) {
    Class* c = vm.defineClass(u"flash.geom", u"PerspectiveProjection", vm.findClass(u"Object"), makePerspective);
    vm.defineGetter(c, u"fieldOfView", fieldOfView, setFieldOfView);
    vm.defineGetter(c, u"focalLength", focalLength, setFocalLength);
    vm.defineGetter(c, u"projectionCenter", projectionCenter, setProjectionCenter);
    vm.defineTraitMethod(c, u"toMatrix3D", toMatrix3D);
}

void installDepthProperties(Vm& vm, const std::vector<Class*>& displays) {
    for (Class* c : displays) {
        vm.defineGetter(c, u"z", partGetter<&Parts3D::translation, 2, false>,
                        partSetter<&Parts3D::translation, 2, false>);
        vm.defineGetter(c, u"rotationX", partGetter<&Parts3D::rotation, 0, true>,
                        partSetter<&Parts3D::rotation, 0, true>);
        vm.defineGetter(c, u"rotationY", partGetter<&Parts3D::rotation, 1, true>,
                        partSetter<&Parts3D::rotation, 1, true>);
        vm.defineGetter(c, u"rotationZ", partGetter<&Parts3D::rotation, 2, true>,
                        partSetter<&Parts3D::rotation, 2, true>);
        vm.defineGetter(c, u"scaleZ", partGetter<&Parts3D::scale, 2, false>, partSetter<&Parts3D::scale, 2, false>);
    }
    Class* transform = vm.findClass(u"flash.geom.Transform");
    vm.defineGetter(transform, u"matrix3D", matrix3D, setMatrix3D);
    vm.defineGetter(transform, u"perspectiveProjection", perspectiveProjection, setPerspectiveProjection);
}

}  // namespace flash
