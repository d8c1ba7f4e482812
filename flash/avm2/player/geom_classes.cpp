// flash.geom: Point, Rectangle, Matrix, ColorTransform and the Transform of
// a display object. Their fields are plain properties of the instance, so
// scripts read and write them as numbers and toString lists them.
#include <cmath>

#include "flash/avm2/player/natives.h"
#include "flash/avm2/player/display_bridge.h"
#include "flash/avm2/player/geom_values.h"
#include "flash/core/display_object.h"

namespace flash {

double geomField(as3::Vm& vm, const as3::Value& v, std::u16string_view name) {
    return vm.toNumber(vm.getPublic(v, name));
}

DisplayObject* transformOwner(as3::Vm& vm, const as3::Value& transform) {
    return DisplayBridge::displayOf(vm.getPublic(transform, u"__owner"));
}

namespace {

using namespace as3;

constexpr std::u16string_view kPointFields[] = {u"x", u"y"};
constexpr std::u16string_view kRectangleFields[] = {u"x", u"y", u"width", u"height"};
constexpr std::u16string_view kMatrixFields[] = {u"a", u"b", u"c", u"d", u"tx", u"ty"};
constexpr std::u16string_view kColorFields[] = {u"redMultiplier", u"greenMultiplier", u"blueMultiplier",
                                                 u"alphaMultiplier", u"redOffset", u"greenOffset",
                                                 u"blueOffset", u"alphaOffset"};

template <std::size_t N>
void setFields(Vm& vm, const Value& target, const std::u16string_view (&names)[N], const double (&values)[N]) {
    for (std::size_t i = 0; i < N; ++i) vm.setPublic(target, names[i], Value(values[i]));
}

// Fields from constructor arguments, with defaults for those left out.
template <std::size_t N>
void initFields(Vm& vm, const Value& self, Args a, const std::u16string_view (&names)[N], const double (&defaults)[N]) {
    double values[N];
    for (std::size_t i = 0; i < N; ++i) values[i] = i < a.size() ? vm.toNumber(a[i]) : defaults[i];
    setFields(vm, self, names, values);
}

// "(x=1, y=2)"
template <std::size_t N>
Value fieldsText(Vm& vm, const Value& self, const std::u16string_view (&names)[N], const char16_t* const* labels = nullptr) {
    std::u16string out = u"(";
    for (std::size_t i = 0; i < N; ++i) {
        if (i) out += u", ";
        out += labels ? std::u16string_view(labels[i]) : names[i];
        out += u"=";
        out += vm.toString(vm.getPublic(self, names[i])).view();
    }
    return Value(String(out + u")"));
}

Object* make(Vm& vm, const char16_t* cls, std::span<const Value> args) { return vm.construct(vm.findClass(cls), args); }

// ---- Point ----

Value pointInit(Vm& vm, const Value& self, Args a) {
    initFields(vm, self, a, kPointFields, {0, 0});
    return Value();
}
Value pointToString(Vm& vm, const Value& self, Args) { return fieldsText(vm, self, kPointFields); }
Value pointLength(Vm& vm, const Value& self, Args) { return Value(std::hypot(geomField(vm, self, u"x"), geomField(vm, self, u"y"))); }
Value pointClone(Vm& vm, const Value& self, Args) { return Value(newPoint(vm, pointOf(vm, self))); }
Value pointAdd(Vm& vm, const Value& self, Args a) { return Value(newPoint(vm, pointOf(vm, self) + pointOf(vm, arg(a, 0)))); }
Value pointSubtract(Vm& vm, const Value& self, Args a) {
    return Value(newPoint(vm, pointOf(vm, self) - pointOf(vm, arg(a, 0))));
}
Value pointEquals(Vm& vm, const Value& self, Args a) {
    return Value(arg(a, 0).object() && pointOf(vm, self) == pointOf(vm, arg(a, 0)));
}
Value pointOffset(Vm& vm, const Value& self, Args a) {
    QPointF p = pointOf(vm, self) + QPointF(vm.toNumber(arg(a, 0)), vm.toNumber(arg(a, 1)));
    setFields(vm, self, kPointFields, {p.x(), p.y()});
    return Value();
}
Value pointNormalize(Vm& vm, const Value& self, Args a) {
    QPointF p = pointOf(vm, self);
    double length = std::hypot(p.x(), p.y());
    if (length > 0) p *= vm.toNumber(arg(a, 0)) / length;
    setFields(vm, self, kPointFields, {p.x(), p.y()});
    return Value();
}
Value pointDistance(Vm& vm, const Value&, Args a) {
    QPointF d = pointOf(vm, arg(a, 0)) - pointOf(vm, arg(a, 1));
    return Value(std::hypot(d.x(), d.y()));
}
Value pointInterpolate(Vm& vm, const Value&, Args a) {
    double f = vm.toNumber(arg(a, 2));
    return Value(newPoint(vm, pointOf(vm, arg(a, 1)) + (pointOf(vm, arg(a, 0)) - pointOf(vm, arg(a, 1))) * f));
}
Value pointPolar(Vm& vm, const Value&, Args a) {
    double length = vm.toNumber(arg(a, 0)), angle = vm.toNumber(arg(a, 1));
    return Value(newPoint(vm, QPointF(length * std::cos(angle), length * std::sin(angle))));
}

// ---- Rectangle ----

Value rectangleInit(Vm& vm, const Value& self, Args a) {
    initFields(vm, self, a, kRectangleFields, {0, 0, 0, 0});
    return Value();
}
const char16_t* const kRectangleLabels[] = {u"x", u"y", u"w", u"h"};
Value rectangleToString(Vm& vm, const Value& self, Args) {
    return fieldsText(vm, self, kRectangleFields, kRectangleLabels);
}
void storeRectangle(Vm& vm, const Value& self, const QRectF& r) {
    setFields(vm, self, kRectangleFields, {r.x(), r.y(), r.width(), r.height()});
}
Value rectangleClone(Vm& vm, const Value& self, Args) { return Value(newRectangle(vm, rectangleOf(vm, self))); }
Value left(Vm& vm, const Value& self, Args) { return vm.getPublic(self, u"x"); }
Value top(Vm& vm, const Value& self, Args) { return vm.getPublic(self, u"y"); }
Value right(Vm& vm, const Value& self, Args) { return Value(geomField(vm, self, u"x") + geomField(vm, self, u"width")); }
Value bottom(Vm& vm, const Value& self, Args) { return Value(geomField(vm, self, u"y") + geomField(vm, self, u"height")); }
Value setLeft(Vm& vm, const Value& self, Args a) {
    double v = vm.toNumber(arg(a, 0));
    vm.setPublic(self, u"width", Value(geomField(vm, self, u"width") + geomField(vm, self, u"x") - v));
    vm.setPublic(self, u"x", Value(v));
    return Value();
}
Value setTop(Vm& vm, const Value& self, Args a) {
    double v = vm.toNumber(arg(a, 0));
    vm.setPublic(self, u"height", Value(geomField(vm, self, u"height") + geomField(vm, self, u"y") - v));
    vm.setPublic(self, u"y", Value(v));
    return Value();
}
Value setRight(Vm& vm, const Value& self, Args a) {
    vm.setPublic(self, u"width", Value(vm.toNumber(arg(a, 0)) - geomField(vm, self, u"x")));
    return Value();
}
Value setBottom(Vm& vm, const Value& self, Args a) {
    vm.setPublic(self, u"height", Value(vm.toNumber(arg(a, 0)) - geomField(vm, self, u"y")));
    return Value();
}
Value topLeft(Vm& vm, const Value& self, Args) { return Value(newPoint(vm, rectangleOf(vm, self).topLeft())); }
Value bottomRight(Vm& vm, const Value& self, Args) {
    QRectF r = rectangleOf(vm, self);
    return Value(newPoint(vm, QPointF(r.x() + r.width(), r.y() + r.height())));
}
Value size(Vm& vm, const Value& self, Args) {
    QRectF r = rectangleOf(vm, self);
    return Value(newPoint(vm, QPointF(r.width(), r.height())));
}
bool emptyRect(const QRectF& r) { return !(r.width() > 0 && r.height() > 0); }
Value isEmpty(Vm& vm, const Value& self, Args) { return Value(emptyRect(rectangleOf(vm, self))); }
Value setEmpty(Vm& vm, const Value& self, Args) {
    storeRectangle(vm, self, QRectF());
    return Value();
}
bool inside(const QRectF& r, QPointF p) {
    return p.x() >= r.x() && p.x() < r.x() + r.width() && p.y() >= r.y() && p.y() < r.y() + r.height();
}
Value containsXY(Vm& vm, const Value& self, Args a) {
    return Value(inside(rectangleOf(vm, self), QPointF(vm.toNumber(arg(a, 0)), vm.toNumber(arg(a, 1)))));
}
Value containsPoint(Vm& vm, const Value& self, Args a) {
    return Value(inside(rectangleOf(vm, self), pointOf(vm, arg(a, 0))));
}
Value containsRect(Vm& vm, const Value& self, Args a) {
    QRectF r = rectangleOf(vm, self), o = rectangleOf(vm, arg(a, 0));
    return Value(!emptyRect(o) && o.x() >= r.x() && o.y() >= r.y() && o.x() + o.width() <= r.x() + r.width() &&
                 o.y() + o.height() <= r.y() + r.height());
}
QRectF intersection(const QRectF& a, const QRectF& b) {
    if (emptyRect(a) || emptyRect(b)) return {};
    QRectF r = a.intersected(b);
    return emptyRect(r) ? QRectF() : r;
}
Value intersects(Vm& vm, const Value& self, Args a) {
    return Value(!emptyRect(intersection(rectangleOf(vm, self), rectangleOf(vm, arg(a, 0)))));
}
Value intersectionMethod(Vm& vm, const Value& self, Args a) {
    return Value(newRectangle(vm, intersection(rectangleOf(vm, self), rectangleOf(vm, arg(a, 0)))));
}
Value unionMethod(Vm& vm, const Value& self, Args a) {
    QRectF r = rectangleOf(vm, self), o = rectangleOf(vm, arg(a, 0));
    if (emptyRect(r)) return Value(newRectangle(vm, o));
    if (emptyRect(o)) return Value(newRectangle(vm, r));
    return Value(newRectangle(vm, r.united(o)));
}
Value rectangleOffset(Vm& vm, const Value& self, Args a) {
    storeRectangle(vm, self, rectangleOf(vm, self).translated(vm.toNumber(arg(a, 0)), vm.toNumber(arg(a, 1))));
    return Value();
}
Value inflate(Vm& vm, const Value& self, Args a) {
    double dx = vm.toNumber(arg(a, 0)), dy = vm.toNumber(arg(a, 1));
    QRectF r = rectangleOf(vm, self);
    storeRectangle(vm, self, QRectF(r.x() - dx, r.y() - dy, r.width() + 2 * dx, r.height() + 2 * dy));
    return Value();
}
Value rectangleEquals(Vm& vm, const Value& self, Args a) {
    return Value(arg(a, 0).object() && rectangleOf(vm, self) == rectangleOf(vm, arg(a, 0)));
}

// ---- Matrix ----

Value matrixInit(Vm& vm, const Value& self, Args a) {
    initFields(vm, self, a, kMatrixFields, {1, 0, 0, 1, 0, 0});
    return Value();
}
void storeMatrix(Vm& vm, const Value& self, const QTransform& m) {
    setFields(vm, self, kMatrixFields, {m.m11(), m.m12(), m.m21(), m.m22(), m.dx(), m.dy()});
}
Value matrixToString(Vm& vm, const Value& self, Args) { return fieldsText(vm, self, kMatrixFields); }
Value matrixClone(Vm& vm, const Value& self, Args) { return Value(newMatrix(vm, matrixOf(vm, self))); }
Value matrixCopyFrom(Vm& vm, const Value& self, Args a) {
    if (arg(a, 0).isNullish()) throwNullObject(vm);
    storeMatrix(vm, self, matrixOf(vm, arg(a, 0)));
    return Value();
}
Value matrixSetTo(Vm& vm, const Value& self, Args a) {
    auto n = [&](std::size_t i) { return vm.toNumber(arg(a, i)); };
    storeMatrix(vm, self, QTransform(n(0), n(1), n(2), n(3), n(4), n(5)));
    return Value();
}
Value identity(Vm& vm, const Value& self, Args) {
    storeMatrix(vm, self, QTransform());
    return Value();
}
// The matrix followed by another transform.
void then(Vm& vm, const Value& self, const QTransform& next) { storeMatrix(vm, self, matrixOf(vm, self) * next); }
Value translate(Vm& vm, const Value& self, Args a) {
    then(vm, self, QTransform::fromTranslate(vm.toNumber(arg(a, 0)), vm.toNumber(arg(a, 1))));
    return Value();
}
Value scale(Vm& vm, const Value& self, Args a) {
    then(vm, self, QTransform::fromScale(vm.toNumber(arg(a, 0)), vm.toNumber(arg(a, 1))));
    return Value();
}
QTransform rotation(double radians) {
    double c = std::cos(radians), s = std::sin(radians);
    return QTransform(c, s, -s, c, 0, 0);
}
Value rotate(Vm& vm, const Value& self, Args a) {
    then(vm, self, rotation(vm.toNumber(arg(a, 0))));
    return Value();
}
Value concat(Vm& vm, const Value& self, Args a) {
    then(vm, self, matrixOf(vm, arg(a, 0)));
    return Value();
}
Value invert(Vm& vm, const Value& self, Args) {
    bool ok = false;
    QTransform inv = matrixOf(vm, self).inverted(&ok);
    storeMatrix(vm, self, ok ? inv : QTransform());
    return Value();
}
// The player's box: the rotation's sine scaled by the other axis's factor,
// which is not a scale followed by a rotation when the two differ.
QTransform box(double sx, double sy, double radians, double tx, double ty) {
    const double c = std::cos(radians), s = std::sin(radians);
    return QTransform(c * sx, s * sy, -s * sx, c * sy, tx, ty);
}
Value createBox(Vm& vm, const Value& self, Args a) {
    storeMatrix(vm, self, box(vm.toNumber(arg(a, 0)), vm.toNumber(arg(a, 1)), a.size() > 2 ? vm.toNumber(a[2]) : 0,
                              a.size() > 3 ? vm.toNumber(a[3]) : 0, a.size() > 4 ? vm.toNumber(a[4]) : 0));
    return Value();
}
// A gradient's box: the 1638.4-unit gradient square scaled onto it.
Value createGradientBox(Vm& vm, const Value& self, Args a) {
    double w = vm.toNumber(arg(a, 0)), h = vm.toNumber(arg(a, 1));
    double tx = a.size() > 3 ? vm.toNumber(a[3]) : 0, ty = a.size() > 4 ? vm.toNumber(a[4]) : 0;
    storeMatrix(vm, self, box(w / 1638.4, h / 1638.4, a.size() > 2 ? vm.toNumber(a[2]) : 0, tx + w / 2, ty + h / 2));
    return Value();
}
Value transformPoint(Vm& vm, const Value& self, Args a) {
    return Value(newPoint(vm, matrixOf(vm, self).map(pointOf(vm, arg(a, 0)))));
}
Value deltaTransformPoint(Vm& vm, const Value& self, Args a) {
    QTransform m = matrixOf(vm, self);
    return Value(newPoint(vm, QTransform(m.m11(), m.m12(), m.m21(), m.m22(), 0, 0).map(pointOf(vm, arg(a, 0)))));
}

// ---- ColorTransform ----

Value colorInit(Vm& vm, const Value& self, Args a) {
    initFields(vm, self, a, kColorFields, {1, 1, 1, 1, 0, 0, 0, 0});
    return Value();
}
Value colorToString(Vm& vm, const Value& self, Args) { return fieldsText(vm, self, kColorFields); }
void storeColor(Vm& vm, const Value& self, const ColorTransform& c) {
    setFields(vm, self, kColorFields, {c.mul[0], c.mul[1], c.mul[2], c.mul[3], c.add[0], c.add[1], c.add[2], c.add[3]});
}
Value colorGetter(Vm& vm, const Value& self, Args) {
    auto channel = [&](std::u16string_view n) { return kinolux::avm2::toUint32(geomField(vm, self, n)) & 0xFF; };
    return Value(double(channel(u"redOffset") << 16 | channel(u"greenOffset") << 8 | channel(u"blueOffset")));
}
Value colorSetter(Vm& vm, const Value& self, Args a) {
    std::uint32_t rgb = kinolux::avm2::toUint32(vm.toNumber(arg(a, 0)));
    ColorTransform c = colorTransformOf(vm, self);
    for (int i = 0; i < 3; ++i) {
        c.mul[i] = 0;
        c.add[i] = float(rgb >> (16 - 8 * i) & 0xFF);
    }
    storeColor(vm, self, c);
    return Value();
}
Value colorConcat(Vm& vm, const Value& self, Args a) {
    storeColor(vm, self, colorTransformOf(vm, self) * colorTransformOf(vm, arg(a, 0)));
    return Value();
}

// ---- Transform ----

QTransform pixels(const QTransform& twips) {
    return QTransform(twips.m11(), twips.m12(), twips.m21(), twips.m22(), twips.dx() / 20, twips.dy() / 20);
}
// Null while the object is in three dimensions.
Value transformMatrix(Vm& vm, const Value& self, Args) {
    DisplayObject* d = transformOwner(vm, self);
    return d && !d->matrix3D() ? Value(newMatrix(vm, pixels(d->matrix()))) : Value::null();
}
// Null takes the object into three dimensions, where it stays put.
Value setTransformMatrix(Vm& vm, const Value& self, Args a) {
    DisplayObject* d = transformOwner(vm, self);
    if (!d) return Value();
    if (arg(a, 0).object()) {
        QTransform m = matrixOf(vm, arg(a, 0));
        d->setMatrix(QTransform(m.m11(), m.m12(), m.m21(), m.m22(), m.dx() * 20, m.dy() * 20));
    } else if (arg(a, 0).isNullish() && !d->matrix3D()) {
        const QTransform& m = d->matrix();
        Matrix3D flat;
        flat.m = {float(m.m11()), float(m.m12()), 0, 0, float(m.m21()), float(m.m22()), 0, 0, 0, 0, 1, 0,
                  float(m.dx() / 20), float(m.dy() / 20), 0, 1};
        d->setMatrix3D(flat);
    }
    return Value();
}
Value concatenatedMatrix(Vm& vm, const Value& self, Args) {
    DisplayObject* d = transformOwner(vm, self);
    return d ? Value(newMatrix(vm, pixels(d->worldMatrix()))) : Value::null();
}
Value transformColor(Vm& vm, const Value& self, Args) {
    DisplayObject* d = transformOwner(vm, self);
    return d ? Value(newColorTransform(vm, d->colorTransform)) : Value::null();
}
Value setTransformColor(Vm& vm, const Value& self, Args a) {
    if (DisplayObject* d = transformOwner(vm, self); d && arg(a, 0).object()) d->colorTransform = colorTransformOf(vm, arg(a, 0));
    return Value();
}
Value concatenatedColor(Vm& vm, const Value& self, Args) {
    DisplayObject* d = transformOwner(vm, self);
    if (!d) return Value::null();
    ColorTransform c;
    for (DisplayObject* p = d; p; p = p->parent()) c = p->colorTransform * c;
    return Value(newColorTransform(vm, c));
}
// The display object rides along as a hidden property.
Value transformInit(Vm&, const Value& self, Args a) {
    if (auto* o = self.object()) o->dynamic.set(String(u"__owner"), arg(a, 0), false);
    return Value();
}
Value displayTransform(Vm& vm, const Value& self, Args) {
    Value args[] = {self};
    return Value(make(vm, u"flash.geom.Transform", args));
}
Value setDisplayTransform(Vm& vm, const Value& self, Args a) {
    if (!arg(a, 0).object()) return Value();
    Value transform = displayTransform(vm, self, {});
    Value matrix = vm.getPublic(arg(a, 0), u"matrix");
    Value matrix3D = vm.getPublic(arg(a, 0), u"matrix3D");
    Value color = vm.getPublic(arg(a, 0), u"colorTransform");
    if (matrix.object()) vm.setPublic(transform, u"matrix", matrix);
    if (matrix3D.object()) vm.setPublic(transform, u"matrix3D", matrix3D);
    if (color.object()) vm.setPublic(transform, u"colorTransform", color);
    return Value();
}

Class* geomClass(Vm& vm, std::u16string_view name, kinolux::avm2::NativeFunction init) {
    Class* c = vm.defineClass(u"flash.geom", name, vm.findClass(u"Object"), nullptr);
    vm.defineConstructor(c, init);
    return c;
}

}  // namespace

Object* newPoint(Vm& vm, QPointF p) {
    Value args[] = {Value(p.x()), Value(p.y())};
    return make(vm, u"flash.geom.Point", args);
}

QPointF pointOf(Vm& vm, const Value& point) {
    if (!point.object()) return {};
    return QPointF(geomField(vm, point, u"x"), geomField(vm, point, u"y"));
}

Object* newRectangle(Vm& vm, const QRectF& r) {
    Value args[] = {Value(r.x()), Value(r.y()), Value(r.width()), Value(r.height())};
    return make(vm, u"flash.geom.Rectangle", args);
}

QRectF rectangleOf(Vm& vm, const Value& rectangle) {
    if (!rectangle.object()) return {};
    return QRectF(geomField(vm, rectangle, u"x"), geomField(vm, rectangle, u"y"), geomField(vm, rectangle, u"width"),
                  geomField(vm, rectangle, u"height"));
}

Object* newMatrix(Vm& vm, const QTransform& m) {
    Value args[] = {Value(m.m11()), Value(m.m12()), Value(m.m21()), Value(m.m22()), Value(m.dx()), Value(m.dy())};
    return make(vm, u"flash.geom.Matrix", args);
}

QTransform matrixOf(Vm& vm, const Value& matrix) {
    if (!matrix.object()) return {};
    return QTransform(geomField(vm, matrix, u"a"), geomField(vm, matrix, u"b"), geomField(vm, matrix, u"c"), geomField(vm, matrix, u"d"),
                      geomField(vm, matrix, u"tx"), geomField(vm, matrix, u"ty"));
}

Object* newColorTransform(Vm& vm, const ColorTransform& c) {
    Value args[] = {Value(double(c.mul[0])), Value(double(c.mul[1])), Value(double(c.mul[2])), Value(double(c.mul[3])),
                    Value(double(c.add[0])), Value(double(c.add[1])), Value(double(c.add[2])), Value(double(c.add[3]))};
    return make(vm, u"flash.geom.ColorTransform", args);
}

ColorTransform colorTransformOf(Vm& vm, const Value& transform) {
    ColorTransform c;
    if (!transform.object()) return c;
    for (int i = 0; i < 4; ++i) {
        c.mul[i] = float(geomField(vm, transform, kColorFields[i]));
        c.add[i] = float(geomField(vm, transform, kColorFields[4 + i]));
    }
    return c;
}

void installGeomClasses(Vm& vm) {
    Class* point = geomClass(vm, u"Point", pointInit);
    vm.defineTraitMethod(point, u"toString", pointToString);
    vm.defineTraitMethod(point, u"clone", pointClone);
    vm.defineTraitMethod(point, u"add", pointAdd);
    vm.defineTraitMethod(point, u"subtract", pointSubtract);
    vm.defineTraitMethod(point, u"equals", pointEquals);
    vm.defineTraitMethod(point, u"offset", pointOffset);
    vm.defineTraitMethod(point, u"normalize", pointNormalize);
    vm.defineGetter(point, u"length", pointLength);
    vm.defineMethod(point, u"distance", pointDistance, true, 2);
    vm.defineMethod(point, u"interpolate", pointInterpolate, true, 3);
    vm.defineMethod(point, u"polar", pointPolar, true, 2);

    Class* rect = geomClass(vm, u"Rectangle", rectangleInit);
    vm.defineTraitMethod(rect, u"toString", rectangleToString);
    vm.defineTraitMethod(rect, u"clone", rectangleClone);
    vm.defineGetter(rect, u"left", left, setLeft);
    vm.defineGetter(rect, u"top", top, setTop);
    vm.defineGetter(rect, u"right", right, setRight);
    vm.defineGetter(rect, u"bottom", bottom, setBottom);
    vm.defineGetter(rect, u"topLeft", topLeft);
    vm.defineGetter(rect, u"bottomRight", bottomRight);
    vm.defineGetter(rect, u"size", size);
    vm.defineTraitMethod(rect, u"isEmpty", isEmpty);
    vm.defineTraitMethod(rect, u"setEmpty", setEmpty);
    vm.defineTraitMethod(rect, u"contains", containsXY);
    vm.defineTraitMethod(rect, u"containsPoint", containsPoint);
    vm.defineTraitMethod(rect, u"containsRect", containsRect);
    vm.defineTraitMethod(rect, u"intersects", intersects);
    vm.defineTraitMethod(rect, u"intersection", intersectionMethod);
    vm.defineTraitMethod(rect, u"union", unionMethod);
    vm.defineTraitMethod(rect, u"offset", rectangleOffset);
    vm.defineTraitMethod(rect, u"inflate", inflate);
    vm.defineTraitMethod(rect, u"equals", rectangleEquals);

    Class* matrix = geomClass(vm, u"Matrix", matrixInit);
    vm.defineTraitMethod(matrix, u"toString", matrixToString);
    vm.defineTraitMethod(matrix, u"clone", matrixClone);
    vm.defineTraitMethod(matrix, u"identity", identity);
    vm.defineTraitMethod(matrix, u"copyFrom", matrixCopyFrom);
    vm.defineTraitMethod(matrix, u"setTo", matrixSetTo);
    vm.defineTraitMethod(matrix, u"translate", translate);
    vm.defineTraitMethod(matrix, u"scale", scale);
    vm.defineTraitMethod(matrix, u"rotate", rotate);
    vm.defineTraitMethod(matrix, u"concat", concat);
    vm.defineTraitMethod(matrix, u"invert", invert);
    vm.defineTraitMethod(matrix, u"createBox", createBox);
    vm.defineTraitMethod(matrix, u"createGradientBox", createGradientBox);
    vm.defineTraitMethod(matrix, u"transformPoint", transformPoint);
    vm.defineTraitMethod(matrix, u"deltaTransformPoint", deltaTransformPoint);

    Class* color = geomClass(vm, u"ColorTransform", colorInit);
    vm.defineTraitMethod(color, u"toString", colorToString);
    vm.defineTraitMethod(color, u"concat", colorConcat);
    vm.defineGetter(color, u"color", colorGetter, colorSetter);

    Class* transform = geomClass(vm, u"Transform", transformInit);
    vm.defineGetter(transform, u"matrix", transformMatrix, setTransformMatrix);
    vm.defineGetter(transform, u"colorTransform", transformColor, setTransformColor);
    vm.defineGetter(transform, u"concatenatedMatrix", concatenatedMatrix);
    vm.defineGetter(transform, u"concatenatedColorTransform", concatenatedColor);

    installVector3DClass(vm);
    installMatrix3DClasses(vm);
    installPerspectiveProjection(vm);
}

void installDisplayTransform(Vm& vm, const std::vector<Class*>& displays) {
    for (Class* c : displays) vm.defineGetter(c, u"transform", displayTransform, setDisplayTransform);
    installDepthProperties(vm, displays);
}

}  // namespace flash
