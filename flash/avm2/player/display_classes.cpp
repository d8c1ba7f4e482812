// flash.display on the player's display objects: DisplayObject's
// properties, a container's child list, Sprite, MovieClip's labels and the
// Stage. Children keep the player's depth order; a script's index is a
// child's place in it.
#include <QLineF>
#include <algorithm>
#include <cmath>

#include "flash/avm1/player/object_binding.h"
#include "flash/avm2/player/display_bridge.h"
#include "flash/avm2/player/geom_values.h"
#include "flash/avm2/player/input_delivery.h"
#include "flash/avm2/player/natives.h"
#include "flash/core/movie_clip.h"
#include "flash/core/player.h"

namespace flash {
namespace {

using namespace as3;

DisplayBridge& bridge(Vm& vm) {
    DisplayBridge* b = DisplayBridge::of(vm);
    if (!b) vm.throwError(ErrorType::Error, "Error #2012: Display classes need a player.", 2012);
    return *b;
}

DisplayObject* self(const Value& v) { return DisplayBridge::displayOf(v); }

Value objectValue(Vm& vm, DisplayObject* o) {
    if (!o) return Value::null();
    Object* made = bridge(vm).objectOf(*o);
    return made ? Value(made) : Value::null();
}

// ---- DisplayObject ----

QRectF boundsIn(DisplayObject& d, DisplayObject* space);

bool isStage(Vm& vm, const Value& t) {
    DisplayBridge* b = DisplayBridge::of(vm);
    return b && t.object() && t.object() == b->stage();
}

// The Stage stands untransformed, as big as what it shows.
template <double (DisplayObject::*Get)() const, int Scale>
double stageNumber(Vm& vm) {
    if constexpr (Get == &DisplayObject::width) return boundsIn(bridge(vm).player().root(), nullptr).width();
    if constexpr (Get == &DisplayObject::height) return boundsIn(bridge(vm).player().root(), nullptr).height();
    return Scale == 100 ? 1.0 : 0.0;
}

template <double (DisplayObject::*Get)() const, int Scale>
Value numberGetter(Vm& vm, const Value& t, Args) {
    if (DisplayObject* d = self(t)) return Value((d->*Get)() / Scale);
    return Value(isStage(vm, t) ? stageNumber<Get, Scale>(vm) : 0.0);
}

template <void (DisplayObject::*Set)(double), int Scale>
Value numberSetter(Vm& vm, const Value& t, Args a) {
    double v = vm.toNumber(arg(a, 0));
    if (DisplayObject* d = self(t); d && std::isfinite(v)) (d->*Set)(v * Scale);
    return Value();
}

// Rotations are kept between -180 and 180 degrees.
Value rotationSetter(Vm& vm, const Value& t, Args a) {
    double degrees = std::fmod(vm.toNumber(arg(a, 0)), 360.0);
    if (degrees > 180) degrees -= 360;
    else if (degrees < -180) degrees += 360;
    if (DisplayObject* d = self(t); d && std::isfinite(degrees)) d->setRotation(degrees);
    return Value();
}

Value nameGetter(Vm&, const Value& t, Args) {
    DisplayObject* d = self(t);
    return d ? Value(d->name) : Value::null();
}
Value nameSetter(Vm& vm, const Value& t, Args a) {
    DisplayObject* d = self(t);
    if (d && d->placedBy)
        vm.throwError(ErrorType::Error,
                      "Error #2078: The name property of a Timeline-placed object cannot be modified.", 2078);
    if (d) d->name = vm.toString(arg(a, 0));
    return Value();
}
Value parentGetter(Vm& vm, const Value& t, Args) {
    DisplayObject* d = self(t);
    if (!d) return Value::null();
    // A button's states are shown by it but are none of its children.
    if (d->parent() && d->parent()->kind() == ObjectKind::Button) return Value::null();
    if (d->parent()) return objectValue(vm, d->parent());
    if (d == &bridge(vm).player().root()) return Value(bridge(vm).stage());
    return Value::null();
}
Value rootGetter(Vm& vm, const Value& t, Args) {
    if (isStage(vm, t)) return t;
    DisplayObject* d = self(t);
    if (!d || !d->onStage()) return Value::null();
    return objectValue(vm, &bridge(vm).player().root());
}
Value stageGetter(Vm& vm, const Value& t, Args) {
    if (t.object() == bridge(vm).stage()) return t;
    DisplayObject* d = self(t);
    return d && d->onStage() ? Value(bridge(vm).stage()) : Value::null();
}
Value blendModeGetter(Vm&, const Value& t, Args) {
    DisplayObject* d = self(t);
    return Value(blendModeName(d ? d->blendMode : swf::BlendMode::Normal));
}
Value blendModeSetter(Vm& vm, const Value& t, Args a) {
    DisplayObject* d = self(t);
    auto mode = blendModeByName(vm.toString(arg(a, 0)));
    if (!mode) throwNotAccepted(vm, "blendMode");
    if (d) d->blendMode = *mode;
    return Value();
}
Value maskGetter(Vm& vm, const Value& t, Args) {
    DisplayObject* d = self(t);
    return objectValue(vm, d ? d->maskObject() : nullptr);
}
Value maskSetter(Vm&, const Value& t, Args a) {
    if (DisplayObject* d = self(t)) d->setMaskObject(self(arg(a, 0)));
    return Value();
}
Value scrollRectGetter(Vm& vm, const Value& t, Args) {
    DisplayObject* d = self(t);
    if (!d || !d->scrollRect) return Value::null();
    return Value(newRectangle(vm, *d->scrollRect));
}
Value scrollRectSetter(Vm& vm, const Value& t, Args a) {
    DisplayObject* d = self(t);
    if (!d) return Value();
    if (arg(a, 0).isNullish()) d->scrollRect.reset();
    else d->scrollRect = rectangleOf(vm, arg(a, 0));
    return Value();
}
Value opaqueBackgroundGetter(Vm&, const Value& t, Args) {
    DisplayObject* d = self(t);
    if (!d || !d->opaqueBackground) return Value::null();
    const swf::Color& c = *d->opaqueBackground;
    return Value(double(c.r << 16 | c.g << 8 | c.b));
}
Value opaqueBackgroundSetter(Vm& vm, const Value& t, Args a) {
    DisplayObject* d = self(t);
    if (!d) return Value();
    if (arg(a, 0).isNullish()) {
        d->opaqueBackground.reset();
    } else {
        std::uint32_t rgb = kinolux::avm2::toUint32(vm.toNumber(arg(a, 0)));
        d->opaqueBackground = swf::Color{std::uint8_t(rgb >> 16), std::uint8_t(rgb >> 8), std::uint8_t(rgb), 255};
    }
    return Value();
}
// The pointer in the object's own coordinates (pixels); the stage's are
// the stage's.
template <bool Vertical>
Value mouseGetter(Vm& vm, const Value& t, Args) {
    QPointF p = bridge(vm).player().input().mouse;
    if (DisplayObject* d = self(t)) {
        bool invertible = false;
        const QTransform toLocal = d->worldMatrix().inverted(&invertible);
        p = invertible ? toLocal.map(p * 20) / 20 : QPointF();
    }
    return Value(Vertical ? p.y() : p.x());
}
// The object a script hangs on a display object; null until one does.
Value metaDataGetter(Vm&, const Value& t, Args) {
    const Value* held = t.object() ? t.object()->dynamic.get(u"__metaData") : nullptr;
    return held ? *held : Value::null();
}
Value metaDataSetter(Vm&, const Value& t, Args a) {
    if (Object* o = t.object()) o->dynamic.set(String(u"__metaData"), arg(a, 0), false);
    return Value();
}

// The object's bounds in another's coordinates (pixels).
QRectF boundsIn(DisplayObject& d, DisplayObject* space) {
    QRectF local = d.localBounds();
    if (local.isNull()) return {};
    QTransform toSpace = d.worldMatrix();
    if (space) toSpace = toSpace * space->worldMatrix().inverted();
    QRectF r = toSpace.mapRect(local);
    return QRectF(r.x() / 20, r.y() / 20, r.width() / 20, r.height() / 20);
}
Value getBounds(Vm& vm, const Value& t, Args a) {
    DisplayObject* d = self(t);
    QRectF r = d ? boundsIn(*d, self(arg(a, 0))) : QRectF();
    return Value(newRectangle(vm, r));
}
Value localToGlobal(Vm& vm, const Value& t, Args a) {
    DisplayObject* d = self(t);
    QPointF p = pointOf(vm, arg(a, 0));
    if (d) p = d->worldMatrix().map(p * 20) / 20;
    return Value(newPoint(vm, p));
}
Value globalToLocal(Vm& vm, const Value& t, Args a) {
    DisplayObject* d = self(t);
    QPointF p = pointOf(vm, arg(a, 0));
    if (d) p = d->worldMatrix().inverted().map(p * 20) / 20;
    return Value(newPoint(vm, p));
}
// Against the bounds anywhere; against the shapes (masks cutting them) only
// on the stage.
Value hitTestPoint(Vm& vm, const Value& t, Args a) {
    DisplayObject* d = self(t);
    if (!d) return Value(false);
    QPointF stagePoint(vm.toNumber(arg(a, 0)) * 20, vm.toNumber(arg(a, 1)) * 20);
    if (kinolux::avm2::toBoolean(arg(a, 2))) return Value(d->onStage() && showsAt(*d, stagePoint, false));
    return Value(d->hitTestLocal(d->worldMatrix().inverted().map(stagePoint), false));
}
Value hitTestObject(Vm& vm, const Value& t, Args a) {
    DisplayObject* d = self(t);
    DisplayObject* other = self(arg(a, 0));
    if (!d || !other) return Value(false);
    (void)vm;
    return Value(boundsIn(*d, nullptr).intersects(boundsIn(*other, nullptr)));
}

// ---- DisplayObjectContainer ----

MovieClip* container(Vm& vm, const Value& t) {
    if (t.object() && t.object() == bridge(vm).stage()) return &bridge(vm).player().root();
    DisplayObject* d = self(t);
    return d && d->kind() == ObjectKind::MovieClip ? static_cast<MovieClip*>(d) : nullptr;
}

std::vector<std::shared_ptr<DisplayObject>> childList(const MovieClip& clip) {
    std::vector<std::shared_ptr<DisplayObject>> out;
    for (const auto& [depth, child] : clip.children()) out.push_back(child);
    return out;
}

int indexOf(const MovieClip& clip, const DisplayObject* child) {
    int i = 0;
    for (const auto& [depth, c] : clip.children()) {
        if (c.get() == child) return i;
        ++i;
    }
    return -1;
}

[[noreturn]] void notAChild(Vm& vm) {
    vm.throwError(ErrorType::ArgumentError, "Error #2025: The supplied DisplayObject must be a child of the caller.",
                  2025);
}

DisplayObject& childArgument(Vm& vm, const Value& v) {
    DisplayObject* c = self(v);
    if (!c) throwNullParameter(vm, "child");
    return *c;
}

// Moves a child to an index by swapping neighbours, so depths stay as they were.
void moveToIndex(MovieClip& clip, DisplayObject& child, int index) {
    int at = indexOf(clip, &child);
    while (at != index) {
        auto list = childList(clip);
        int next = at < index ? at + 1 : at - 1;
        clip.swapChildren(list[std::size_t(at)]->depth, list[std::size_t(next)]->depth);
        at = next;
    }
}

Value addChildAt(Vm& vm, MovieClip& clip, const Value& childValue, int index) {
    DisplayObject& child = childArgument(vm, childValue);
    if (&child == &clip) vm.throwError(ErrorType::ArgumentError, "Error #2024: An object cannot be added as a child of itself.", 2024);
    for (DisplayObject* p = clip.parent(); p; p = p->parent())
        if (p == &child)
            vm.throwError(ErrorType::ArgumentError,
                          "Error #2150: An object cannot be added as a child to one of it's children (or children's children, etc.).",
                          2150);
    auto shared = child.shared_from_this();
    if (child.parent() == &clip) {
        moveToIndex(clip, child, std::min(index, int(clip.children().size()) - 1));
        return childValue;
    }
    detachChild(vm, child);
    int depth = clip.children().empty() ? kTimelineDepthOffset
                                        : std::max(clip.children().rbegin()->first + 1, kTimelineDepthOffset);
    clip.adopt(shared, depth, nullptr);
    moveToIndex(clip, child, index);
    DisplayBridge& b = bridge(vm);
    b.dispatch(child, u"added", true);
    if (child.onStage()) b.dispatchStageChange(child, true);
    return childValue;
}

Value addChild(Vm& vm, const Value& t, Args a) {
    MovieClip* clip = container(vm, t);
    if (!clip) return arg(a, 0);
    int end = int(clip->children().size());
    if (self(arg(a, 0)) && self(arg(a, 0))->parent() == clip) --end;
    return addChildAt(vm, *clip, arg(a, 0), end);
}
Value addChildAtMethod(Vm& vm, const Value& t, Args a) {
    MovieClip* clip = container(vm, t);
    if (!clip) return arg(a, 0);
    double index = vm.toNumber(arg(a, 1));
    if (!(index >= 0 && index <= double(clip->children().size()))) throwOutOfBounds(vm);
    return addChildAt(vm, *clip, arg(a, 0), int(index));
}
Value removeChild(Vm& vm, const Value& t, Args a) {
    MovieClip* clip = container(vm, t);
    DisplayObject& child = childArgument(vm, arg(a, 0));
    if (!clip || child.parent() != clip) notAChild(vm);
    detachChild(vm, child);
    return arg(a, 0);
}
Value removeChildAt(Vm& vm, const Value& t, Args a) {
    MovieClip* clip = container(vm, t);
    double index = vm.toNumber(arg(a, 0));
    if (!clip || !(index >= 0 && index < double(clip->children().size()))) throwOutOfBounds(vm);
    auto child = childList(*clip)[std::size_t(index)];
    Value result = objectValue(vm, child.get());
    detachChild(vm, *child);
    return result;
}
Value removeChildren(Vm& vm, const Value& t, Args a) {
    MovieClip* clip = container(vm, t);
    if (!clip) return Value();
    auto list = childList(*clip);
    double first = a.size() > 0 ? vm.toNumber(a[0]) : 0;
    double last = a.size() > 1 ? vm.toNumber(a[1]) : double(list.size()) - 1;
    if (list.empty() && a.empty()) return Value();
    if (!(first >= 0 && last < double(list.size()) && first <= last)) throwOutOfBounds(vm);
    for (auto i = std::size_t(first); i <= std::size_t(last); ++i) detachChild(vm, *list[i]);
    return Value();
}
Value numChildren(Vm& vm, const Value& t, Args) {
    if (t.object() && t.object() == bridge(vm).stage()) return Value(1);
    MovieClip* clip = container(vm, t);
    return Value(clip ? int(clip->children().size()) : 0);
}
Value getChildAt(Vm& vm, const Value& t, Args a) {
    double index = vm.toNumber(arg(a, 0));
    if (t.object() && t.object() == bridge(vm).stage()) {
        if (index != 0) throwOutOfBounds(vm);
        return objectValue(vm, &bridge(vm).player().root());
    }
    MovieClip* clip = container(vm, t);
    if (!clip || !(index >= 0 && index < double(clip->children().size()))) throwOutOfBounds(vm);
    return objectValue(vm, childList(*clip)[std::size_t(index)].get());
}
Value getChildByName(Vm& vm, const Value& t, Args a) {
    MovieClip* clip = container(vm, t);
    if (!clip) return Value::null();
    String name = vm.toString(arg(a, 0));
    for (const auto& [depth, child] : clip->children())
        if (child->name == name) return objectValue(vm, child.get());
    return Value::null();
}
Value getChildIndex(Vm& vm, const Value& t, Args a) {
    MovieClip* clip = container(vm, t);
    DisplayObject& child = childArgument(vm, arg(a, 0));
    if (t.object() == bridge(vm).stage() && &child == &bridge(vm).player().root()) return Value(0);
    int i = clip ? indexOf(*clip, &child) : -1;
    if (i < 0) notAChild(vm);
    return Value(i);
}
Value setChildIndex(Vm& vm, const Value& t, Args a) {
    MovieClip* clip = container(vm, t);
    DisplayObject& child = childArgument(vm, arg(a, 0));
    double index = vm.toNumber(arg(a, 1));
    if (!clip || child.parent() != clip) notAChild(vm);
    if (!(index >= 0 && index < double(clip->children().size()))) throwOutOfBounds(vm);
    moveToIndex(*clip, child, int(index));
    return Value();
}
Value swapChildrenAt(Vm& vm, const Value& t, Args a) {
    MovieClip* clip = container(vm, t);
    double i = vm.toNumber(arg(a, 0)), j = vm.toNumber(arg(a, 1));
    auto n = double(clip ? clip->children().size() : 0);
    if (!clip || !(i >= 0 && i < n && j >= 0 && j < n)) throwOutOfBounds(vm);
    auto list = childList(*clip);
    clip->swapChildren(list[std::size_t(i)]->depth, list[std::size_t(j)]->depth);
    return Value();
}
Value swapChildren(Vm& vm, const Value& t, Args a) {
    MovieClip* clip = container(vm, t);
    DisplayObject& first = childArgument(vm, arg(a, 0));
    DisplayObject& second = childArgument(vm, arg(a, 1));
    if (!clip || first.parent() != clip || second.parent() != clip) notAChild(vm);
    clip->swapChildren(first.depth, second.depth);
    return Value();
}
Value contains(Vm& vm, const Value& t, Args a) {
    MovieClip* clip = container(vm, t);
    DisplayObject* child = self(arg(a, 0));
    if (t.object() == bridge(vm).stage()) return Value(child && child->onStage());
    for (DisplayObject* p = child; p && clip; p = p->parent())
        if (p == clip) return Value(true);
    return Value(false);
}

Value getObjectsUnderPoint(Vm& vm, const Value& t, Args a) {
    std::vector<DisplayObject*> found;
    if (MovieClip* clip = container(vm, t)) objectsShowingAt(*clip, pointOf(vm, arg(a, 0)) * 20.0, found);
    std::vector<Value> objects;
    for (DisplayObject* o : found)
        if (Value v = objectValue(vm, o); !v.isNull()) objects.push_back(v);
    return Value(vm.newArray(std::move(objects)));
}

void stopAll(MovieClip& clip, int depth) {
    clip.stop();
    if (depth > 256) return;  // a hostile nesting ends here, not in the stack
    for (const auto& [at, child] : clip.children())
        if (child->kind() == ObjectKind::MovieClip) stopAll(static_cast<MovieClip&>(*child), depth + 1);
}
Value stopAllMovieClips(Vm& vm, const Value& t, Args) {
    if (MovieClip* clip = container(vm, t)) stopAll(*clip, 0);
    return Value();
}

// ---- MovieClip ----

MovieClip* clipOf(const Value& t) {
    DisplayObject* d = self(t);
    return d && d->kind() == ObjectKind::MovieClip ? static_cast<MovieClip*>(d) : nullptr;
}

// The label of the frame the clip is on (exact: only that frame's own), or
// the last label at or before it.
Value labelOf(const Value& t, bool exact) {
    MovieClip* c = clipOf(t);
    if (!c) return Value::null();
    const std::pair<std::string, int>* best = nullptr;
    for (const auto& label : c->timeline().labels)
        if (label.second <= c->currentFrame() && (!exact || label.second == c->currentFrame()) &&
            (!best || label.second >= best->second))
            best = &label;
    return best ? Value(String::fromUtf8(best->first)) : Value::null();
}
Value currentLabel(Vm&, const Value& t, Args) { return labelOf(t, false); }
Value currentFrameLabel(Vm&, const Value& t, Args) { return labelOf(t, true); }

Object* frameLabel(Vm& vm, const std::string& name, int frame) {
    Value args[] = {Value(String::fromUtf8(name)), Value(frame)};
    return vm.construct(vm.findClass(u"flash.display.FrameLabel"), args);
}
// A scene's labels, numbered from its own first frame.
Value sceneLabels(Vm& vm, const MovieClip& c, const Scene& scene) {
    std::vector<Value> labels;
    for (const auto& [name, frame] : c.timeline().labels)
        if (frame >= scene.firstFrame && frame < scene.firstFrame + scene.frameCount)
            labels.push_back(Value(frameLabel(vm, name, frame - scene.firstFrame + 1)));
    return Value(vm.newArray(std::move(labels)));
}
Value sceneObject(Vm& vm, const MovieClip& c, const Scene& scene) {
    Value args[] = {Value(String::fromUtf8(scene.name)), sceneLabels(vm, c, scene), Value(scene.frameCount)};
    return Value(vm.construct(vm.findClass(u"flash.display.Scene"), args));
}
Value currentLabels(Vm& vm, const Value& t, Args) {
    MovieClip* c = clipOf(t);
    if (!c) return Value(vm.newArray());
    return sceneLabels(vm, *c, sceneAt(scenesOf(*c), c->currentFrame()));
}
Value currentScene(Vm& vm, const Value& t, Args) {
    MovieClip* c = clipOf(t);
    if (!c) return Value::null();
    return sceneObject(vm, *c, sceneAt(scenesOf(*c), c->currentFrame()));
}
Value scenes(Vm& vm, const Value& t, Args) {
    MovieClip* c = clipOf(t);
    std::vector<Value> list;
    if (c)
        for (const Scene& s : scenesOf(*c)) list.push_back(sceneObject(vm, *c, s));
    return Value(vm.newArray(std::move(list)));
}
Value sceneInit(Vm& vm, const Value& t, Args a) {
    vm.setPublic(t, u"name", arg(a, 0).isNullish() ? Value::null() : Value(vm.toString(arg(a, 0))));
    vm.setPublic(t, u"labels", arg(a, 1));
    vm.setPublic(t, u"numFrames", Value(double(kinolux::avm2::toInt32(vm.toNumber(arg(a, 2))))));
    return Value();
}
Value framesLoaded(Vm&, const Value& t, Args) {
    MovieClip* c = clipOf(t);
    return Value(c ? c->totalFrames() : 1);
}
Value isPlaying(Vm&, const Value& t, Args) {
    MovieClip* c = clipOf(t);
    // A clip of one frame has nowhere to play to.
    return Value(c && c->isPlaying() && c->totalFrames() > 1);
}

Value labelInit(Vm& vm, const Value& t, Args a) {
    vm.setPublic(t, u"name", arg(a, 0));
    vm.setPublic(t, u"frame", arg(a, 1));
    return Value();
}

// ---- Stage ----

Value stageWidth(Vm& vm, const Value&, Args) { return Value(bridge(vm).player().stageSize().width()); }
Value stageHeight(Vm& vm, const Value&, Args) { return Value(bridge(vm).player().stageSize().height()); }
Value frameRate(Vm& vm, const Value&, Args) { return Value(bridge(vm).player().frameRate()); }
template <const char16_t* Text>
Value textGetter(Vm&, const Value&, Args) {
    return Value(String(Text));
}
constexpr char16_t kShowAll[] = u"showAll";
constexpr char16_t kEmpty[] = u"";
constexpr char16_t kHigh[] = u"HIGH";
constexpr char16_t kNormal[] = u"normal";

// The native constructor of every display class: the children the
// timeline placed in the object are constructed inside its super() call.
Value displayInit(Vm& vm, const Value& t, Args) {
    if (DisplayObject* d = self(t))
        if (DisplayBridge* b = DisplayBridge::of(vm)) {
            b->buildFirstFrame(*d);
            b->constructChildren(*d);
        }
    return Value();
}

void constructsChildren(Vm& vm, Class* c) { vm.defineConstructor(c, displayInit); }

Object* makeInstance(Vm& vm, Class* cls) {
    if (DisplayBridge* b = DisplayBridge::of(vm)) return b->makeInstance(cls);
    return vm.findClass(u"flash.events.EventDispatcher")->makeInstance(vm, cls);
}

}  // namespace

void detachChild(Vm& vm, DisplayObject& child) {
    auto* parent = child.parentClip();
    if (!parent) return;
    auto keep = child.shared_from_this();
    DisplayBridge& b = bridge(vm);
    b.dispatch(child, u"removed", true);
    if (child.onStage()) b.dispatchStageChange(child, false);
    if (parent->childAt(child.depth) == &child) parent->removeChild(child.depth);
    child.setParent(nullptr);
}

void installPlayerClasses(Vm& vm) {
    installGeomClasses(vm);
    Class* displayObject = vm.findClass(u"flash.display.DisplayObject");
    Class* interactive = vm.findClass(u"flash.display.InteractiveObject");
    Class* container = vm.findClass(u"flash.display.DisplayObjectContainer");
    Class* sprite = vm.findClass(u"flash.display.Sprite");
    Class* clip = vm.findClass(u"flash.display.MovieClip");
    Class* shape = vm.findClass(u"flash.display.Shape");
    const std::vector<Class*> displays{displayObject, interactive, container, sprite, clip, shape};
    const std::vector<Class*> containers{container, sprite, clip};
    for (Class* c : displays) {
        c->makeInstance = makeInstance;
        constructsChildren(vm, c);
        vm.defineGetter(c, u"x", numberGetter<&DisplayObject::x, 1>, numberSetter<&DisplayObject::setX, 1>);
        vm.defineGetter(c, u"y", numberGetter<&DisplayObject::y, 1>, numberSetter<&DisplayObject::setY, 1>);
        vm.defineGetter(c, u"scaleX", numberGetter<&DisplayObject::xScale, 100>,
                        numberSetter<&DisplayObject::setXScale, 100>);
        vm.defineGetter(c, u"scaleY", numberGetter<&DisplayObject::yScale, 100>,
                        numberSetter<&DisplayObject::setYScale, 100>);
        vm.defineGetter(c, u"rotation", numberGetter<&DisplayObject::rotation, 1>, rotationSetter);
        vm.defineGetter(c, u"alpha", numberGetter<&DisplayObject::alpha, 100>,
                        numberSetter<&DisplayObject::setAlpha, 100>);
        vm.defineGetter(c, u"width", numberGetter<&DisplayObject::width, 1>, numberSetter<&DisplayObject::setWidth, 1>);
        vm.defineGetter(c, u"height", numberGetter<&DisplayObject::height, 1>,
                        numberSetter<&DisplayObject::setHeight, 1>);
        vm.defineGetter(c, u"visible", flagGetter<self, &DisplayObject::visible, true>,
                        flagSetter<self, &DisplayObject::visible>);
        vm.defineGetter(c, u"name", nameGetter, nameSetter);
        vm.defineGetter(c, u"parent", parentGetter);
        vm.defineGetter(c, u"root", rootGetter);
        vm.defineGetter(c, u"stage", stageGetter);
        vm.defineGetter(c, u"loaderInfo", loaderInfoGetter);
        vm.defineGetter(c, u"blendMode", blendModeGetter, blendModeSetter);
        vm.defineGetter(c, u"cacheAsBitmap", flagGetter<self, &DisplayObject::cacheAsBitmap, false>,
                        flagSetter<self, &DisplayObject::cacheAsBitmap>);
        vm.defineGetter(c, u"mask", maskGetter, maskSetter);
        vm.defineGetter(c, u"scrollRect", scrollRectGetter, scrollRectSetter);
        vm.defineGetter(c, u"opaqueBackground", opaqueBackgroundGetter, opaqueBackgroundSetter);
        vm.defineGetter(c, u"mouseX", mouseGetter<false>);
        vm.defineGetter(c, u"metaData", metaDataGetter, metaDataSetter);
        vm.defineGetter(c, u"mouseY", mouseGetter<true>);
        vm.defineTraitMethod(c, u"getBounds", getBounds);
        vm.defineTraitMethod(c, u"getRect", getBounds);
        vm.defineTraitMethod(c, u"localToGlobal", localToGlobal);
        vm.defineTraitMethod(c, u"globalToLocal", globalToLocal);
        vm.defineTraitMethod(c, u"hitTestPoint", hitTestPoint);
        vm.defineTraitMethod(c, u"hitTestObject", hitTestObject);
    }
    installDisplayTransform(vm, displays);
    installFilterClasses(vm, displays);
    for (Class* c : containers) {
        vm.defineTraitMethod(c, u"addChild", addChild);
        vm.defineTraitMethod(c, u"addChildAt", addChildAtMethod);
        vm.defineTraitMethod(c, u"removeChild", removeChild);
        vm.defineTraitMethod(c, u"removeChildAt", removeChildAt);
        vm.defineTraitMethod(c, u"removeChildren", removeChildren);
        vm.defineTraitMethod(c, u"getChildAt", getChildAt);
        vm.defineTraitMethod(c, u"getChildByName", getChildByName);
        vm.defineTraitMethod(c, u"getChildIndex", getChildIndex);
        vm.defineTraitMethod(c, u"setChildIndex", setChildIndex);
        vm.defineTraitMethod(c, u"swapChildren", swapChildren);
        vm.defineTraitMethod(c, u"swapChildrenAt", swapChildrenAt);
        vm.defineTraitMethod(c, u"contains", contains);
        vm.defineTraitMethod(c, u"getObjectsUnderPoint", getObjectsUnderPoint);
        vm.defineTraitMethod(c, u"stopAllMovieClips", stopAllMovieClips);
        vm.defineGetter(c, u"numChildren", numChildren);
    }
    installGraphicsClass(vm);
    vm.defineGetter(clip, u"currentLabel", currentLabel);
    vm.defineGetter(clip, u"currentFrameLabel", currentFrameLabel);
    vm.defineGetter(clip, u"currentLabels", currentLabels);
    vm.defineGetter(clip, u"currentScene", currentScene);
    vm.defineGetter(clip, u"scenes", scenes);
    vm.defineGetter(clip, u"framesLoaded", framesLoaded);
    vm.defineGetter(clip, u"isPlaying", isPlaying);
    Class* label = vm.defineClass(u"flash.display", u"FrameLabel", vm.findClass(u"Object"), nullptr);
    vm.defineConstructor(label, labelInit);
    Class* scene = vm.defineClass(u"flash.display", u"Scene", vm.findClass(u"Object"), nullptr);
    vm.defineConstructor(scene, sceneInit);

    Class* stage = vm.defineClass(u"flash.display", u"Stage", container, nullptr);
    vm.defineGetter(stage, u"stageWidth", stageWidth, nothing);
    vm.defineGetter(stage, u"stageHeight", stageHeight, nothing);
    vm.defineGetter(stage, u"frameRate", frameRate, nothing);
    vm.defineGetter(stage, u"scaleMode", textGetter<kShowAll>, nothing);
    vm.defineGetter(stage, u"align", textGetter<kEmpty>, nothing);
    vm.defineGetter(stage, u"quality", textGetter<kHigh>, nothing);
    vm.defineGetter(stage, u"displayState", textGetter<kNormal>, nothing);
    installSimpleButton(vm, vm.defineClass(u"flash.display", u"SimpleButton", interactive, nullptr));
    vm.defineClass(u"flash.display", u"MorphShape", displayObject, nullptr);
    installBitmapClasses(vm, vm.defineClass(u"flash.display", u"Bitmap", displayObject, nullptr));
    installStaticText(vm, vm.defineClass(u"flash.text", u"StaticText", displayObject, nullptr));
    installTextClasses(vm, vm.defineClass(u"flash.text", u"TextField", interactive, nullptr));
    installTextEngine(vm);
    vm.defineClass(u"flash.media", u"Video", displayObject, nullptr);
    installConstantClasses(vm);
    installInteractiveProperties(vm);
    installApplicationDomain(vm);
    installBitmapFilters(vm);
    installLoaderClasses(vm);
    installLinkedBytes(vm);
    installNetClasses(vm);
    installSystemClasses(vm);
    installSoundClasses(vm);
}

}  // namespace flash
