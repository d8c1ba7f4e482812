#include "flash/avm1/player/object_binding.h"

#include <cmath>

#include "flash/core/button.h"
#include "flash/core/geometry.h"
#include "flash/core/edit_text.h"
#include "flash/core/movie_clip.h"
#include "flash/core/player.h"

namespace flash {

using kinolux::avm1::Bounds;
using kinolux::avm1::DisplayObjectBinding;
using kinolux::avm1::DisplayProperty;
using kinolux::avm1::Point;
using kinolux::avm1::String;

namespace {

constexpr std::pair<swf::BlendMode, std::u16string_view> kBlendModes[] = {
    {swf::BlendMode::Normal, u"normal"},     {swf::BlendMode::Layer, u"layer"},
    {swf::BlendMode::Multiply, u"multiply"}, {swf::BlendMode::Screen, u"screen"},
    {swf::BlendMode::Lighten, u"lighten"},   {swf::BlendMode::Darken, u"darken"},
    {swf::BlendMode::Difference, u"difference"}, {swf::BlendMode::Add, u"add"},
    {swf::BlendMode::Subtract, u"subtract"}, {swf::BlendMode::Invert, u"invert"},
    {swf::BlendMode::Alpha, u"alpha"},       {swf::BlendMode::Erase, u"erase"},
    {swf::BlendMode::Overlay, u"overlay"},   {swf::BlendMode::HardLight, u"hardlight"},
};

// What getBounds reports for an object that shows nothing.
constexpr double kNoBounds = 6710886.35;

}  // namespace

String blendModeName(swf::BlendMode mode) {
    for (const auto& [m, name] : kBlendModes)
        if (m == mode) return String(name);
    return String(u"normal");
}

std::optional<swf::BlendMode> blendModeByName(const String& name) {
    for (const auto& [m, n] : kBlendModes)
        if (name == n) return m;
    // Numbers name the modes by the file's numbering (1 is normal too);
    // only one or two digits can name one.
    if (name.empty() || name.size() > 2) return std::nullopt;
    int n = 0;
    for (char16_t c : name.view()) {
        if (c < u'0' || c > u'9') return std::nullopt;
        n = n * 10 + (c - u'0');
    }
    if (n == 1) return swf::BlendMode::Normal;
    if (n >= 2 && n <= 14) return swf::BlendMode(n);
    return std::nullopt;
}

DisplayObjectBinding& avm1Binding(const DisplayObject& object) {
    return static_cast<BoundObject&>(object.binding()).face();
}

DisplayObject* displayObjectOf(const DisplayObjectBinding* binding) {
    const auto* bound = dynamic_cast<const BoundObject*>(binding);
    return bound ? &bound->object() : nullptr;
}

template <class Base>
DisplayObjectBinding* ObjectBinding<Base>::parent() const {
    DisplayObject* p = object_.parent();
    return p ? &avm1Binding(*p) : nullptr;
}

template <class Base>
DisplayObjectBinding* ObjectBinding<Base>::root() const {
    const DisplayObject* o = &object_;
    while (o->parent()) {
        if (o->kind() == ObjectKind::MovieClip && static_cast<const MovieClip*>(o)->lockRoot) break;
        // A movie an ActionScript 3 Loader shows is the root of its own.
        if (!o->player().runsActions(*o->parent())) break;
        o = o->parent();
    }
    return &avm1Binding(*o);
}

template <class Base>
String ObjectBinding<Base>::exportName() const {
    const Character* c = object_.character();
    return c ? c->exportName : String();
}

template <class Base>
bool ObjectBinding<Base>::exportedAs(const String& linkage, bool caseSensitive) const {
    const Character* c = object_.character();
    if (!c) return false;
    // An imported symbol goes by the name it was imported under.
    return c->exportName.equals(linkage.view(), caseSensitive) ||
           (c->owner && c->owner->exportsAs(*c, linkage, caseSensitive));
}

template <class Base>
double ObjectBinding<Base>::property(DisplayProperty p) const {
    switch (p) {
    case DisplayProperty::X: return object_.x();
    case DisplayProperty::Y: return object_.y();
    case DisplayProperty::XScale: return object_.xScale();
    case DisplayProperty::YScale: return object_.yScale();
    case DisplayProperty::Alpha: return object_.alpha();
    case DisplayProperty::Visible: return object_.visible ? 1 : 0;
    case DisplayProperty::Width: return object_.width();
    case DisplayProperty::Height: return object_.height();
    case DisplayProperty::Rotation: return object_.rotation();
    case DisplayProperty::XMouse:
    case DisplayProperty::YMouse: {
        QPointF mouse = object_.player().input().mouse * 20.0;
        QPointF local = inverseOrCollapse(object_.worldMatrix()).map(mouse) / 20.0;
        return p == DisplayProperty::XMouse ? local.x() : local.y();
    }
    default: return 0;
    }
}

template <class Base>
void ObjectBinding<Base>::setProperty(DisplayProperty p, double value) {
    switch (p) {
    case DisplayProperty::X:
    case DisplayProperty::Y:
    case DisplayProperty::XScale:
    case DisplayProperty::YScale:
    case DisplayProperty::Alpha:
    case DisplayProperty::Width:
    case DisplayProperty::Height:
    case DisplayProperty::Rotation: object_.transformedByScript = true; break;
    default: break;
    }
    switch (p) {
    case DisplayProperty::X: object_.setX(value); break;
    case DisplayProperty::Y: object_.setY(value); break;
    case DisplayProperty::XScale: object_.setXScale(value); break;
    case DisplayProperty::YScale: object_.setYScale(value); break;
    case DisplayProperty::Alpha: object_.setAlpha(value); break;
    case DisplayProperty::Visible:
        object_.visible = value != 0;
        // What can no longer be seen cannot keep the focus.
        if (!object_.visible && object_.onStage()) object_.player().loseFocusWithin(object_);
        break;
    case DisplayProperty::Width: object_.setWidth(value); break;
    case DisplayProperty::Height: object_.setHeight(value); break;
    case DisplayProperty::Rotation: object_.setRotation(value); break;
    default: break;
    }
}

template <class Base>
kinolux::avm1::Matrix ObjectBinding<Base>::matrix() const {
    const QTransform& m = object_.matrix();
    return {m.m11(), m.m12(), m.m21(), m.m22(), m.dx() / 20.0, m.dy() / 20.0};
}

template <class Base>
void ObjectBinding<Base>::setMatrix(const kinolux::avm1::Matrix& m) {
    object_.transformedByScript = true;
    object_.setMatrix(QTransform(m.a, m.b, m.c, m.d, std::trunc(m.tx * 20.0), std::trunc(m.ty * 20.0)));
}

template <class Base>
kinolux::avm1::ColorTransform ObjectBinding<Base>::colorTransform() const {
    const ColorTransform& c = object_.colorTransform;
    return {c.mul[0], c.mul[1], c.mul[2], c.mul[3], c.add[0], c.add[1], c.add[2], c.add[3]};
}

template <class Base>
void ObjectBinding<Base>::setColorTransform(const kinolux::avm1::ColorTransform& ct) {
    object_.transformedByScript = true;
    ColorTransform& c = object_.colorTransform;
    c.mul[0] = float(ct.redMultiplier);
    c.mul[1] = float(ct.greenMultiplier);
    c.mul[2] = float(ct.blueMultiplier);
    c.mul[3] = float(ct.alphaMultiplier);
    c.add[0] = float(ct.redOffset);
    c.add[1] = float(ct.greenOffset);
    c.add[2] = float(ct.blueOffset);
    c.add[3] = float(ct.alphaOffset);
}

template <class Base>
Bounds ObjectBinding<Base>::bounds(const DisplayObjectBinding* space) const {
    QRectF local = object_.localBounds();
    if (local.isNull()) return {kNoBounds, kNoBounds, kNoBounds, kNoBounds};
    const DisplayObject* target = space ? displayObjectOf(space) : &object_;
    QTransform toSpace = object_.worldMatrix() * (target ? inverseOrCollapse(target->worldMatrix()) : QTransform());
    QRectF r = toSpace.mapRect(local);
    return {r.left() / 20.0, r.top() / 20.0, r.right() / 20.0, r.bottom() / 20.0};
}

template <class Base>
Point ObjectBinding<Base>::localToGlobal(Point p) const {
    QPointF q = object_.worldMatrix().map(QPointF(p.x * 20.0, p.y * 20.0)) / 20.0;
    return {q.x(), q.y()};
}

template <class Base>
Point ObjectBinding<Base>::globalToLocal(Point p) const {
    QPointF q = inverseOrCollapse(object_.worldMatrix()).map(QPointF(p.x * 20.0, p.y * 20.0)) / 20.0;
    return {q.x(), q.y()};
}

template <class Base>
bool ObjectBinding<Base>::hitTestPoint(double stageX, double stageY, bool shapeFlag) const {
    QPointF stage(stageX * 20.0, stageY * 20.0);
    if (!shapeFlag) return object_.worldMatrix().mapRect(object_.localBounds()).contains(stage);
    return object_.hitTestLocal(inverseOrCollapse(object_.worldMatrix()).map(stage), true);
}

template <class Base>
bool ObjectBinding<Base>::hitTestObject(const DisplayObjectBinding& other) const {
    const DisplayObject* o = displayObjectOf(&other);
    if (!o) return false;
    QRectF a = object_.worldMatrix().mapRect(object_.localBounds());
    QRectF b = o->worldMatrix().mapRect(o->localBounds());
    return !a.isNull() && !b.isNull() && a.intersects(b);
}

template <class Base>
DisplayObjectBinding* ObjectBinding<Base>::dropTarget() const {
    const Input& input = object_.player().input();
    if (input.drag && input.drag->object.lock().get() == &object_) {
        DisplayObject* under = object_.player().objectUnder(input.mouse);
        return under ? &avm1Binding(*under) : nullptr;
    }
    if (input.dropped.lock().get() != &object_) return nullptr;
    auto on = input.droppedOn.lock();
    return on && on->onStage() ? &avm1Binding(*on) : nullptr;
}

template <class Base>
String ObjectBinding<Base>::url() const {
    for (const DisplayObject* o = &object_; o; o = o->parent()) {
        if (o->kind() == ObjectKind::MovieClip && !static_cast<const MovieClip*>(o)->url.empty())
            return String::fromUtf8(static_cast<const MovieClip*>(o)->url);
    }
    return String();
}

template <class Base>
String ObjectBinding<Base>::blendMode() const {
    return blendModeName(object_.blendMode);
}

template <class Base>
void ObjectBinding<Base>::setBlendMode(const String& mode) {
    if (auto m = blendModeByName(mode)) object_.blendMode = *m;
}

template <class Base>
bool ObjectBinding<Base>::swapDepths(int depth) {
    MovieClip* parent = object_.parentClip();
    if (!parent || !parent->swapChildren(object_.depth, depth + kTimelineDepthOffset)) return false;
    // A clip a script moved between depths is no longer the timeline's to place.
    object_.transformedByScript = true;
    return true;
}

template <class Base>
void ObjectBinding<Base>::removeFromScript() {
    if (MovieClip* parent = object_.parentClip()) parent->removeChild(object_.depth);
}

template class ObjectBinding<kinolux::avm1::DisplayObjectBinding>;
template class ObjectBinding<kinolux::avm1::MovieClipBinding>;
template class ObjectBinding<kinolux::avm1::TextFieldBinding>;
template class ObjectBinding<kinolux::avm1::ButtonBinding>;

std::unique_ptr<ScriptBinding> makeGraphicBinding(DisplayObject& object) {
    return std::make_unique<GraphicBinding>(object);
}

namespace {

class ButtonScriptBinding : public ObjectBinding<kinolux::avm1::ButtonBinding> {
public:
    explicit ButtonScriptBinding(Button& button) : ObjectBinding(button), button_(button) {}
    DisplayObjectBinding* childByName(const String& name, bool caseSensitive) const override {
        if (name.empty()) return nullptr;
        for (const auto& [depth, child] : button_.children())
            if (child->name.equals(name.view(), caseSensitive)) return &avm1Binding(*child);
        return nullptr;
    }
    bool enabled() const override { return button_.enabled; }
    void setEnabled(bool on) override { button_.enabled = on; }
    bool useHandCursor() const override { return button_.useHandCursor; }
    void setUseHandCursor(bool on) override { button_.useHandCursor = on; }

private:
    Button& button_;
};

}  // namespace

std::unique_ptr<ScriptBinding> makeButtonBinding(Button& button) {
    return std::make_unique<ButtonScriptBinding>(button);
}

}  // namespace flash
