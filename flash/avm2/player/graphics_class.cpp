// flash.display.Graphics: a Sprite's or Shape's drawing commands, kept in
// the clip's drawing (pixels in, twips kept) and drawn under its children.
// Ellipses and rounded corners are made of quadratic curves; cubic curves
// are split into quadratic ones.
#include <cmath>
#include <numbers>
#include <optional>

#include "flash/avm2/player/display_bridge.h"
#include "flash/avm2/player/geom_values.h"
#include "flash/avm2/player/graphics_data.h"
#include "flash/avm2/player/natives.h"
#include "flash/core/drawing_styles.h"
#include "flash/core/movie_clip.h"

namespace flash {
namespace {

using namespace as3;

using kinolux::avm2::ArrayObject;

class GraphicsObject : public Object {
public:
    using Object::Object;
    std::weak_ptr<DisplayObject> owner;
};

Object* makeGraphics(Vm& vm, Class* cls) {
    return vm.make<GraphicsObject>(kinolux::avm2::ObjectKind::Plain, &cls->instanceTraits, cls, cls->prototype);
}

Drawing* drawingOf(const Value& self) {
    auto* g = dynamic_cast<GraphicsObject*>(self.object());
    auto owner = g ? g->owner.lock() : nullptr;
    if (!owner || owner->kind() != ObjectKind::MovieClip) return nullptr;
    return &static_cast<MovieClip*>(owner.get())->drawing();
}

QPointF twips(double x, double y) { return QPointF(x * 20.0, y * 20.0); }

double number(Vm& vm, Args a, std::size_t i, double fallback) { return i < a.size() ? vm.toNumber(a[i]) : fallback; }

std::vector<Value> elementsOf(const Value& v) {
    auto* array = dynamic_cast<ArrayObject*>(v.object());
    return array ? array->elements : std::vector<Value>{};
}

Value clear(Vm&, const Value& self, Args) {
    if (Drawing* d = drawingOf(self)) d->clear();
    return Value();
}

Value beginFill(Vm& vm, const Value& self, Args a) {
    if (Drawing* d = drawingOf(self))
        d->beginFill(solidFill(kinolux::avm2::toUint32(number(vm, a, 0, 0)), number(vm, a, 1, 1) * 100));
    return Value();
}

// The arguments beginGradientFill and lineGradientStyle share.
kinolux::script::GradientFill gradientOf(Vm& vm, Args a) {
    kinolux::script::GradientFill g;
    g.radial = vm.toString(arg(a, 0)) == u"radial";
    for (const Value& c : elementsOf(arg(a, 1))) g.colors.push_back(kinolux::avm2::toUint32(vm.toNumber(c)));
    for (const Value& c : elementsOf(arg(a, 2))) g.alphas.push_back(vm.toNumber(c) * 100);
    for (const Value& c : elementsOf(arg(a, 3))) g.ratios.push_back(vm.toNumber(c));
    if (arg(a, 4).object()) {
        QTransform m = matrixOf(vm, arg(a, 4));
        g.matrix = {m.m11(), m.m12(), m.m21(), m.m22(), m.dx(), m.dy()};
    }
    g.spreadMethod = a.size() > 5 ? vm.toString(a[5]) : String(u"pad");
    g.interpolationMethod = a.size() > 6 ? vm.toString(a[6]) : String(u"rgb");
    g.focalPointRatio = number(vm, a, 7, 0);
    return g;
}

// (bitmapData, matrix, repeat, smooth) as a fill; nothing without pixels.
std::optional<DrawingFill> bitmapFillOf(Vm& vm, Args a) {
    auto pixels = bitmapPixelsOf(arg(a, 0));
    if (!pixels) return std::nullopt;
    const QTransform matrix = arg(a, 1).object() ? matrixOf(vm, a[1]) : QTransform();
    const bool repeat = a.size() < 3 || kinolux::avm2::toBoolean(a[2]);
    return bitmapFill(std::move(pixels), matrix, repeat, kinolux::avm2::toBoolean(arg(a, 3)));
}

Value beginBitmapFill(Vm& vm, const Value& self, Args a) {
    Drawing* d = drawingOf(self);
    if (d)
        if (auto fill = bitmapFillOf(vm, a)) d->beginFill(std::move(*fill));
    return Value();
}

Value lineBitmapStyle(Vm& vm, const Value& self, Args a) {
    Drawing* d = drawingOf(self);
    if (d)
        if (auto fill = bitmapFillOf(vm, a)) d->lineFill(std::move(*fill));
    return Value();
}

Value beginGradientFill(Vm& vm, const Value& self, Args a) {
    if (Drawing* d = drawingOf(self)) d->beginFill(DrawingFill{gradientFill(gradientOf(vm, a)), nullptr, {}, true, false, {}});
    return Value();
}

Value lineGradientStyle(Vm& vm, const Value& self, Args a) {
    if (Drawing* d = drawingOf(self)) d->lineFill(gradientFill(gradientOf(vm, a)));
    return Value();
}

Value lineStyle(Vm& vm, const Value& self, Args a) {
    Drawing* d = drawingOf(self);
    if (!d) return Value();
    kinolux::script::LineStyle style;
    style.thickness = a.empty() || a[0].isNullish() ? NAN : vm.toNumber(a[0]);
    style.rgb = kinolux::avm2::toUint32(number(vm, a, 1, 0));
    style.alpha = number(vm, a, 2, 1) * 100;
    style.pixelHinting = kinolux::avm2::toBoolean(arg(a, 3));
    style.scaleMode = a.size() > 4 ? vm.toString(a[4]) : String(u"normal");
    style.caps = a.size() > 5 && !a[5].isNullish() ? vm.toString(a[5]) : String(u"round");
    style.joints = a.size() > 6 && !a[6].isNullish() ? vm.toString(a[6]) : String(u"round");
    style.miterLimit = number(vm, a, 7, 3);
    d->lineStyle(drawingLine(style));
    return Value();
}

Value moveTo(Vm& vm, const Value& self, Args a) {
    if (Drawing* d = drawingOf(self)) d->moveTo(twips(number(vm, a, 0, 0), number(vm, a, 1, 0)));
    return Value();
}

Value lineTo(Vm& vm, const Value& self, Args a) {
    if (Drawing* d = drawingOf(self)) d->lineTo(twips(number(vm, a, 0, 0), number(vm, a, 1, 0)));
    return Value();
}

Value curveTo(Vm& vm, const Value& self, Args a) {
    if (Drawing* d = drawingOf(self))
        d->curveTo(twips(number(vm, a, 0, 0), number(vm, a, 1, 0)), twips(number(vm, a, 2, 0), number(vm, a, 3, 0)));
    return Value();
}

// A cubic curve from the pen as quadratic pieces, each matched at its ends
// and midpoint.
void cubicTo(Drawing& d, QPointF from, QPointF c1, QPointF c2, QPointF to) {
    constexpr int kPieces = 8;
    auto at = [&](double t) {
        double u = 1 - t;
        return from * (u * u * u) + c1 * (3 * u * u * t) + c2 * (3 * u * t * t) + to * (t * t * t);
    };
    QPointF start = from;
    for (int i = 1; i <= kPieces; ++i) {
        QPointF end = at(double(i) / kPieces), mid = at((i - 0.5) / kPieces);
        d.curveTo(mid * 2 - (start + end) / 2, end);
        start = end;
    }
}

Value cubicCurveTo(Vm& vm, const Value& self, Args a) {
    Drawing* d = drawingOf(self);
    if (!d) return Value();
    QPointF c1 = twips(number(vm, a, 0, 0), number(vm, a, 1, 0)), c2 = twips(number(vm, a, 2, 0), number(vm, a, 3, 0));
    QPointF to = twips(number(vm, a, 4, 0), number(vm, a, 5, 0));
    cubicTo(*d, d->pen(), c1, c2, to);
    return Value();
}

void rect(Drawing& d, double x, double y, double w, double h) {
    d.moveTo(twips(x, y));
    d.lineTo(twips(x + w, y));
    d.lineTo(twips(x + w, y + h));
    d.lineTo(twips(x, y + h));
    d.lineTo(twips(x, y));
}

// A quarter of an ellipse (radii rx, ry about the centre) from one angle on,
// as two 45-degree quadratic curves.
void arc(Drawing& d, QPointF centre, double rx, double ry, double startDegrees) {
    constexpr double kStep = std::numbers::pi / 4;
    const double control = 1 / std::cos(kStep / 2);
    double angle = startDegrees * std::numbers::pi / 180;
    for (int i = 0; i < 2; ++i) {
        double mid = angle + kStep / 2, end = angle + kStep;
        d.curveTo(centre + twips(std::cos(mid) * rx * control, std::sin(mid) * ry * control),
                  centre + twips(std::cos(end) * rx, std::sin(end) * ry));
        angle = end;
    }
}

void ellipse(Drawing& d, double x, double y, double w, double h) {
    double rx = w / 2, ry = h / 2;
    QPointF centre = twips(x + rx, y + ry);
    d.moveTo(centre + twips(rx, 0));
    for (int quarter = 0; quarter < 4; ++quarter) arc(d, centre, rx, ry, quarter * 90);
}

Value drawRect(Vm& vm, const Value& self, Args a) {
    if (Drawing* d = drawingOf(self))
        rect(*d, number(vm, a, 0, 0), number(vm, a, 1, 0), number(vm, a, 2, 0), number(vm, a, 3, 0));
    return Value();
}

Value drawCircle(Vm& vm, const Value& self, Args a) {
    double r = number(vm, a, 2, 0);
    if (Drawing* d = drawingOf(self)) ellipse(*d, number(vm, a, 0, 0) - r, number(vm, a, 1, 0) - r, 2 * r, 2 * r);
    return Value();
}

Value drawEllipse(Vm& vm, const Value& self, Args a) {
    if (Drawing* d = drawingOf(self))
        ellipse(*d, number(vm, a, 0, 0), number(vm, a, 1, 0), number(vm, a, 2, 0), number(vm, a, 3, 0));
    return Value();
}

// Corner radii (horizontal, vertical) in the order top left, top right,
// bottom right, bottom left; a rectangle when all are zero.
struct Corners {
    QPointF radius[4];
};

void roundRect(Drawing& d, double x, double y, double w, double h, Corners c) {
    bool round = false;
    for (QPointF& r : c.radius) {
        r = QPointF(std::min(std::abs(r.x()), std::abs(w) / 2), std::min(std::abs(r.y()), std::abs(h) / 2));
        round = round || (r.x() > 0 && r.y() > 0);
    }
    if (!round) {
        rect(d, x, y, w, h);
        return;
    }
    const auto& [tl, tr, br, bl] = c.radius;
    d.moveTo(twips(x + w, y + h - br.y()));
    arc(d, twips(x + w - br.x(), y + h - br.y()), br.x(), br.y(), 0);
    d.lineTo(twips(x + bl.x(), y + h));
    arc(d, twips(x + bl.x(), y + h - bl.y()), bl.x(), bl.y(), 90);
    d.lineTo(twips(x, y + tl.y()));
    arc(d, twips(x + tl.x(), y + tl.y()), tl.x(), tl.y(), 180);
    d.lineTo(twips(x + w - tr.x(), y));
    arc(d, twips(x + w - tr.x(), y + tr.y()), tr.x(), tr.y(), 270);
    d.lineTo(twips(x + w, y + h - br.y()));
}

Value drawRoundRect(Vm& vm, const Value& self, Args a) {
    Drawing* d = drawingOf(self);
    if (!d) return Value();
    double ew = number(vm, a, 4, 0), eh = a.size() > 5 && !a[5].isNullish() ? vm.toNumber(a[5]) : ew;
    QPointF r(ew / 2, eh / 2);
    roundRect(*d, number(vm, a, 0, 0), number(vm, a, 1, 0), number(vm, a, 2, 0), number(vm, a, 3, 0), {{r, r, r, r}});
    return Value();
}

Value drawRoundRectComplex(Vm& vm, const Value& self, Args a) {
    Drawing* d = drawingOf(self);
    if (!d) return Value();
    auto r = [&](std::size_t i) {
        double v = number(vm, a, i, 0);
        return QPointF(v, v);
    };
    roundRect(*d, number(vm, a, 0, 0), number(vm, a, 1, 0), number(vm, a, 2, 0), number(vm, a, 3, 0),
              {{r(4), r(5), r(7), r(6)}});
    return Value();
}

// GraphicsPathCommand: 1 moveTo, 2 lineTo, 3 curveTo, 4 wideMoveTo,
// 5 wideLineTo, 6 cubicCurveTo; each takes its points from `data`.
Value drawPath(Vm& vm, const Value& self, Args a) {
    Drawing* d = drawingOf(self);
    if (!d) return Value();
    std::vector<double> data;
    for (const Value& v : elementsOf(arg(a, 1))) data.push_back(vm.toNumber(v));
    std::size_t at = 0;
    auto point = [&] {
        QPointF p = at + 1 < data.size() ? twips(data[at], data[at + 1]) : QPointF();
        at += 2;
        return p;
    };
    for (const Value& command : elementsOf(arg(a, 0))) {
        if (at >= data.size()) break;
        switch (kinolux::avm2::toInt32(vm.toNumber(command))) {
        case 1: d->moveTo(point()); break;
        case 2: d->lineTo(point()); break;
        case 3: {
            QPointF c = point();
            d->curveTo(c, point());
            break;
        }
        case 4: at += 2; d->moveTo(point()); break;
        case 5: at += 2; d->lineTo(point()); break;
        case 6: {
            QPointF c1 = point(), c2 = point();
            cubicTo(*d, d->pen(), c1, c2, point());
            break;
        }
        default: break;
        }
    }
    return Value();
}

// Each triangle is a closed outline of its own in the current fill;
// `culling` drops the ones whose corners turn one way on the screen.
Value drawTriangles(Vm& vm, const Value& self, Args a) {
    Drawing* d = drawingOf(self);
    if (!d) return Value();
    std::vector<QPointF> points;
    const std::vector<Value> vertices = elementsOf(arg(a, 0));
    for (std::size_t i = 0; i + 1 < vertices.size(); i += 2)
        points.push_back(twips(vm.toNumber(vertices[i]), vm.toNumber(vertices[i + 1])));
    std::vector<std::size_t> order;
    if (arg(a, 1).isNullish()) {
        for (std::size_t i = 0; i < points.size(); ++i) order.push_back(i);
    } else {
        for (const Value& v : elementsOf(arg(a, 1))) {
            double n = vm.toNumber(v);
            if (!(n >= 0 && n < double(points.size())))
                vm.throwError(kinolux::avm2::ErrorType::RangeError,
                              "Error #1125: The index " + kinolux::avm2::numberToString(n).toUtf8() +
                                  " is out of range " + std::to_string(points.size()) + ".",
                              1125);
            order.push_back(std::size_t(n));
        }
    }
    const String culling = a.size() > 3 && !a[3].isNullish() ? vm.toString(a[3]) : String(u"none");
    for (std::size_t i = 0; i + 2 < order.size(); i += 3) {
        const QPointF &p0 = points[order[i]], &p1 = points[order[i + 1]], &p2 = points[order[i + 2]];
        double turn = (p1.x() - p0.x()) * (p2.y() - p0.y()) - (p1.y() - p0.y()) * (p2.x() - p0.x());
        if ((culling == u"positive" && turn > 0) || (culling == u"negative" && turn < 0)) continue;
        d->moveTo(p0);
        d->lineTo(p1);
        d->lineTo(p2);
        d->lineTo(p0);
    }
    return Value();
}

Value copyFrom(Vm&, const Value& self, Args a) {
    Drawing* d = drawingOf(self);
    Drawing* source = drawingOf(arg(a, 0));
    if (d && source) d->copyFrom(*source);
    return Value();
}

Value endFill(Vm&, const Value& self, Args) {
    if (Drawing* d = drawingOf(self)) d->endFill();
    return Value();
}

// ---- drawGraphicsData: each IGraphicsData object as the call it stands for ----

// The flash.display class of a drawing command (a script's subclass counts
// as its base); empty for anything else.
std::u16string_view commandName(const Object& command) {
    for (const Class* c = command.cls; c; c = c->super)
        if (c->ns.uri == u"flash.display" && c->name.view().starts_with(u"Graphics")) return c->name.view();
    return {};
}

// The command's fields, in the order of the call they feed.
std::vector<Value> fieldsOf(const Object& command, std::initializer_list<const char16_t*> names) {
    std::vector<Value> values;
    for (const char16_t* name : names) {
        const Value* v = command.dynamic.get(name);
        values.push_back(v ? *v : Value());
    }
    return values;
}

void drawStroke(Vm& vm, const Value& self, const Object& stroke) {
    const Object* fill = [&]() -> const Object* {
        const Value* v = stroke.dynamic.get(u"fill");
        return v ? v->object() : nullptr;
    }();
    const std::u16string_view fillName = fill ? commandName(*fill) : std::u16string_view();
    std::vector<Value> line = fieldsOf(stroke, {u"thickness"});
    if (fillName == u"GraphicsSolidFill") {
        for (const Value& v : fieldsOf(*fill, {u"color", u"alpha"})) line.push_back(v);
    } else {
        line.push_back(Value(0));
        line.push_back(Value(1.0));
    }
    for (const Value& v : fieldsOf(stroke, {u"pixelHinting", u"scaleMode", u"caps", u"joints", u"miterLimit"}))
        line.push_back(v);
    lineStyle(vm, self, line);
    if (fillName == u"GraphicsGradientFill")
        lineGradientStyle(vm, self,
                          fieldsOf(*fill, {u"type", u"colors", u"alphas", u"ratios", u"matrix", u"spreadMethod",
                                           u"interpolationMethod", u"focalPointRatio"}));
    else if (fillName == u"GraphicsBitmapFill")
        lineBitmapStyle(vm, self, fieldsOf(*fill, {u"bitmapData", u"matrix", u"repeat", u"smooth"}));
}

Value drawGraphicsData(Vm& vm, const Value& self, Args a) {
    for (const Value& item : elementsOf(arg(a, 0))) {
        const Object* command = item.object();
        if (!command) continue;
        const std::u16string_view name = commandName(*command);
        if (name == u"GraphicsSolidFill")
            beginFill(vm, self, fieldsOf(*command, {u"color", u"alpha"}));
        else if (name == u"GraphicsGradientFill")
            beginGradientFill(vm, self,
                              fieldsOf(*command, {u"type", u"colors", u"alphas", u"ratios", u"matrix", u"spreadMethod",
                                                  u"interpolationMethod", u"focalPointRatio"}));
        else if (name == u"GraphicsBitmapFill")
            beginBitmapFill(vm, self, fieldsOf(*command, {u"bitmapData", u"matrix", u"repeat", u"smooth"}));
        else if (name == u"GraphicsEndFill")
            endFill(vm, self, {});
        else if (name == u"GraphicsStroke")
            drawStroke(vm, self, *command);
        else if (name == u"GraphicsPath")
            drawPath(vm, self, fieldsOf(*command, {u"commands", u"data"}));
        else if (name == u"GraphicsTrianglePath")
            drawTriangles(vm, self, fieldsOf(*command, {u"vertices", u"indices", u"uvtData", u"culling"}));
    }
    return Value();
}

Value graphicsGetter(Vm& vm, const Value& self, Args) {
    Object* o = self.object();
    if (!o) return Value::null();
    if (const Value* cached = o->dynamic.get(u"__graphics")) return *cached;
    auto* g = static_cast<GraphicsObject*>(vm.construct(vm.findClass(u"flash.display.Graphics"), {}));
    if (DisplayBridge* bridge = DisplayBridge::of(vm))
        if (auto owner = bridge->sharedDisplayOf(self)) g->owner = owner;
    o->dynamic.set(String(u"__graphics"), Value(static_cast<Object*>(g)), false);
    return Value(static_cast<Object*>(g));
}

}  // namespace

void installGraphicsClass(Vm& vm) {
    Class* graphics = vm.defineClass(u"flash.display", u"Graphics", vm.findClass(u"Object"), makeGraphics);
    const std::pair<const char16_t*, kinolux::avm2::NativeFunction> methods[] = {
        {u"clear", clear},
        {u"beginFill", beginFill},
        {u"beginGradientFill", beginGradientFill},
        {u"beginBitmapFill", beginBitmapFill},
        {u"lineGradientStyle", lineGradientStyle},
        {u"lineStyle", lineStyle},
        {u"moveTo", moveTo},
        {u"lineTo", lineTo},
        {u"curveTo", curveTo},
        {u"cubicCurveTo", cubicCurveTo},
        {u"drawRect", drawRect},
        {u"drawCircle", drawCircle},
        {u"drawEllipse", drawEllipse},
        {u"drawRoundRect", drawRoundRect},
        {u"drawRoundRectComplex", drawRoundRectComplex},
        {u"drawPath", drawPath},
        {u"drawTriangles", drawTriangles},
        {u"endFill", endFill},
        {u"copyFrom", copyFrom},
        {u"lineBitmapStyle", lineBitmapStyle},
        {u"drawGraphicsData", drawGraphicsData},
    };
    for (const auto& [name, fn] : methods) vm.defineTraitMethod(graphics, name, fn);
    installGraphicsDataClasses(vm);
    for (const char16_t* owner : {u"flash.display.Sprite", u"flash.display.MovieClip", u"flash.display.Shape"})
        vm.defineGetter(vm.findClass(owner), u"graphics", graphicsGetter);
}

}  // namespace flash
