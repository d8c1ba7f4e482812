#include "flash/avm2/player/input_delivery.h"

#include <vector>

#include "flash/avm2/player/display_bridge.h"
#include "flash/core/edit_text.h"
#include "flash/core/movie_clip.h"
#include "flash/core/player.h"

namespace flash {

using kinolux::avm2::DisplayScriptObject;
using kinolux::avm2::Multiname;
using kinolux::avm2::Object;
using kinolux::avm2::String;
using kinolux::avm2::Value;

namespace {

QPointF toLocal(const DisplayObject& object, QPointF stageTwips) {
    bool invertible = false;
    const QTransform inverse = object.worldMatrix().inverted(&invertible);
    return invertible ? inverse.map(stageTwips) : QPointF(qInf(), qInf());
}

// A child drawn under a clipping layer shows only where the layer does.
bool clippedOut(const MovieClip& parent, const DisplayObject& child, QPointF stageTwips) {
    for (const auto& [depth, layer] : parent.children()) {
        if (depth >= child.depth) break;
        if (layer->clipDepth >= child.depth && !showsAt(*layer, stageTwips, false)) return true;
    }
    return false;
}

// Whether `inner` is `outer` or lies within it.
bool within(const DisplayObject* inner, const DisplayObject* outer) {
    for (const DisplayObject* o = inner; o; o = o->parent())
        if (o == outer) return true;
    return false;
}

// An object and its ancestors up to (not including) the first that holds
// `other` as well, innermost first.
std::vector<std::shared_ptr<DisplayObject>> chainApartFrom(DisplayObject* object, const DisplayObject* other) {
    std::vector<std::shared_ptr<DisplayObject>> chain;
    for (DisplayObject* o = object; o && !within(other, o); o = o->parent()) chain.push_back(o->shared_from_this());
    return chain;
}

}  // namespace

bool showsAt(const DisplayObject& object, QPointF stageTwips, bool skipInvisible) {
    if (skipInvisible && !object.visible) return false;
    if (const DisplayObject* mask = object.maskObject(); mask && !showsAt(*mask, stageTwips, false)) return false;
    const QPointF local = toLocal(object, stageTwips);
    if (object.kind() != ObjectKind::MovieClip) return object.hitTestLocal(local, true);
    const auto& clip = static_cast<const MovieClip&>(object);
    if (clip.drawing().hitTest(local)) return true;
    for (const auto& [depth, child] : clip.children()) {
        if (child->clipDepth > 0 || child->isMask()) continue;
        if (showsAt(*child, stageTwips, skipInvisible) && !clippedOut(clip, *child, stageTwips)) return true;
    }
    return false;
}

// A Shape a script made is a clip to the player, but never takes the mouse.
bool InputDelivery::isInteractive(const DisplayObject& object) {
    if (const DisplayScriptObject* made = bridge_.madeObjectOf(object))
        return made->cls && made->cls->isSubclassOf(bridge_.vm().findClass(u"flash.display.InteractiveObject"));
    const ObjectKind kind = object.kind();
    return kind == ObjectKind::MovieClip || kind == ObjectKind::EditText || kind == ObjectKind::Button;
}

void objectsShowingAt(const DisplayObject& container, QPointF stageTwips, std::vector<DisplayObject*>& found) {
    if (container.kind() != ObjectKind::MovieClip) return;
    const auto& clip = static_cast<const MovieClip&>(container);
    for (const auto& [depth, child] : clip.children()) {
        if (!child->visible || child->clipDepth > 0 || child->isMask() || clippedOut(clip, *child, stageTwips)) continue;
        if (const DisplayObject* mask = child->maskObject(); mask && !showsAt(*mask, stageTwips, false)) continue;
        const bool own = child->kind() == ObjectKind::MovieClip
                             ? static_cast<const MovieClip&>(*child).drawing().hitTest(toLocal(*child, stageTwips))
                             : showsAt(*child, stageTwips, true);
        if (own) found.push_back(child.get());
        objectsShowingAt(*child, stageTwips, found);
    }
}

DisplayScriptObject::Interaction InputDelivery::interactionOf(const DisplayObject* object) {
    auto* made = object ? bridge_.madeObjectOf(*object) : dynamic_cast<DisplayScriptObject*>(bridge_.stage());
    return made ? made->interaction : DisplayScriptObject::Interaction{};
}

// An interactive child anywhere under the point takes the mouse before its
// container does, even one covered by a shape of the container's. A
// container that says mouseChildren = false takes what its children would
// have. One that says mouseEnabled = false lets the mouse through to what
// lies below, or leaves it to its parent when it also keeps it from its
// children. Other objects leave the mouse to their parent.
InputDelivery::Pick InputDelivery::pick(DisplayObject& object, QPointF stageTwips) {
    if (!object.visible || object.isMask()) return {};
    if (const DisplayObject* mask = object.maskObject(); mask && !showsAt(*mask, stageTwips, false)) return {};
    if (!isInteractive(object)) return showsAt(object, stageTwips, true) ? Pick{Reach::Parent, nullptr} : Pick{};
    const auto interaction = interactionOf(&object);
    const Pick itself = interaction.mouseEnabled    ? Pick{Reach::Hit, &object}
                        : interaction.mouseChildren ? Pick{}
                                                    : Pick{Reach::Parent, nullptr};
    if (object.kind() != ObjectKind::MovieClip)
        return object.hitTestLocal(toLocal(object, stageTwips), true) ? itself : Pick{};
    auto& clip = static_cast<MovieClip&>(object);
    const auto& children = clip.children();
    bool shows = false;
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        DisplayObject& child = *it->second;
        if (child.clipDepth > 0 || child.isMask() || clippedOut(clip, child, stageTwips)) continue;
        const Pick found = pick(child, stageTwips);
        if (found.reach == Reach::Hit) return interaction.mouseChildren ? found : itself;
        shows = shows || found.reach == Reach::Parent;
    }
    return shows || clip.drawing().hitTest(toLocal(object, stageTwips)) ? itself : Pick{};
}

DisplayObject* InputDelivery::targetAt(QPointF stagePixels) {
    const Pick found = pick(bridge_.player().root(), stagePixels * 20.0);
    return found.reach == Reach::Hit && interactionOf(nullptr).mouseChildren ? found.target : nullptr;
}

Object* InputDelivery::scriptTarget(DisplayObject* object) {
    for (DisplayObject* o = object; o; o = o->parent())
        if (Object* made = bridge_.objectOf(*o)) return made;
    return bridge_.stage();
}

void InputDelivery::dispatchAt(Object* target, Value event) {
    Value args[] = {event};
    bridge_.vm().callProperty(Value(target), Multiname::publicName(String(u"dispatchEvent")), args);
}

void InputDelivery::dispatchMouse(DisplayObject* target, std::u16string_view type, bool bubbles,
                                  DisplayObject* related) {
    auto& vm = bridge_.vm();
    const Input& input = bridge_.player().input();
    const QPointF local = target ? toLocal(*target, input.mouse * 20.0) / 20.0 : input.mouse;
    const bool buttonDown = type == u"mouseDown" || (pressing_ && type != u"mouseUp" && type != u"click" &&
                                                      type != u"doubleClick");
    Object* at = scriptTarget(target);
    vm.guarded([&] {
        Object* relatedObject = related ? bridge_.objectOf(*related) : nullptr;
        Value args[] = {Value(String(type)),
                        Value(bubbles),
                        Value(false),
                        Value(local.x()),
                        Value(local.y()),
                        relatedObject ? Value(relatedObject) : Value::null(),
                        Value(input.isKeyDown(17)),
                        Value(input.isKeyDown(18)),
                        Value(input.isKeyDown(16)),
                        Value(buttonDown),
                        Value(0)};
        dispatchAt(at, Value(vm.construct(vm.findClass(u"flash.events.MouseEvent"), args)));
    });
}

// The pointer leaving one object for another: mouseOut where it was and
// rollOut from there up to what holds both, then rollOver from the new
// object up to the same point and mouseOver there.
void InputDelivery::hover(DisplayObject* now) {
    auto old = hovered_.lock();
    if (old && !old->onStage()) old.reset();
    if (old.get() == now && hoveringSomething_ == (now != nullptr)) return;
    std::shared_ptr<DisplayObject> kept = now ? now->shared_from_this() : nullptr;
    hovered_ = kept;
    hoveringSomething_ = now != nullptr;
    if (old) {
        dispatchMouse(old.get(), u"mouseOut", true, now);
        for (const auto& o : chainApartFrom(old.get(), now)) dispatchMouse(o.get(), u"rollOut", false, now);
    }
    if (now) {
        for (const auto& o : chainApartFrom(now, old.get())) dispatchMouse(o.get(), u"rollOver", false, old.get());
        dispatchMouse(now, u"mouseOver", true, old.get());
    }
}

void InputDelivery::mouseMoved() {
    hover(targetAt(bridge_.player().input().mouse));
    DisplayObject* target = targetAt(bridge_.player().input().mouse);
    auto kept = target ? target->shared_from_this() : nullptr;
    dispatchMouse(target, u"mouseMove", true, nullptr);
}

// A press moves the focus to what it reached when that takes focus, else
// takes it away, unless the holder's mouseFocusChange listeners prevent it.
void InputDelivery::mousePressed(bool doubleClick) {
    Player& player = bridge_.player();
    hover(targetAt(player.input().mouse));
    DisplayObject* target = targetAt(player.input().mouse);
    std::shared_ptr<DisplayObject> kept = target ? target->shared_from_this() : nullptr;
    if (player.input().focus.lock().get() != target && allowsFocusChange(u"mouseFocusChange", target, false, 0) &&
        (!target || target->onStage()))
        player.changeFocus(target && takesFocus(*target) ? target : nullptr);
    pressed_ = kept;
    pressedSomething_ = target != nullptr;
    pressing_ = true;
    lastWasDoubleClick_ = doubleClick;
    dispatchMouse(target, u"mouseDown", true, nullptr);
}

bool InputDelivery::allowsFocusChange(std::u16string_view type, DisplayObject* next, bool shift, int keyCode) {
    auto& vm = bridge_.vm();
    const auto focus = bridge_.player().input().focus.lock();
    Object* holder = scriptTarget(focus && focus->onStage() ? focus.get() : nullptr);
    bool allowed = true;
    vm.guarded([&] {
        Object* related = next ? bridge_.objectOf(*next) : nullptr;
        Value args[] = {Value(String(type)), Value(true), Value(true), related ? Value(related) : Value::null(),
                        Value(shift), Value(keyCode)};
        Value event(vm.construct(vm.findClass(u"flash.events.FocusEvent"), args));
        dispatchAt(holder, event);
        allowed = !kinolux::avm2::toBoolean(
            vm.callProperty(event, Multiname::publicName(String(u"isDefaultPrevented")), {}));
    });
    return allowed;
}

std::optional<double> InputDelivery::tabIndex(const DisplayObject& object) {
    const int index = interactionOf(&object).tabIndex;
    return index >= 0 ? std::optional<double>(index) : std::nullopt;
}

void InputDelivery::mouseReleased() {
    DisplayObject* target = targetAt(bridge_.player().input().mouse);
    std::shared_ptr<DisplayObject> kept = target ? target->shared_from_this() : nullptr;
    pressing_ = false;
    dispatchMouse(target, u"mouseUp", true, nullptr);
    auto pressed = pressed_.lock();
    const bool same = pressedSomething_ ? pressed.get() == target : target == nullptr;
    pressed_.reset();
    pressedSomething_ = false;
    if (!same || (target && !target->onStage())) return;
    const bool doubleClick = lastWasDoubleClick_ && interactionOf(target).doubleClickEnabled;
    dispatchMouse(target, doubleClick ? u"doubleClick" : u"click", true, nullptr);
}

void InputDelivery::key(bool down, int keyCode, int charCode, int location) {
    auto& vm = bridge_.vm();
    const Input& input = bridge_.player().input();
    auto focus = input.focus.lock();
    Object* at = scriptTarget(focus && focus->onStage() ? focus.get() : nullptr);
    vm.guarded([&] {
        Value args[] = {Value(String(down ? u"keyDown" : u"keyUp")),
                        Value(true),
                        Value(false),
                        Value(charCode),
                        Value(keyCode),
                        Value(location),
                        Value(input.isKeyDown(17)),
                        Value(input.isKeyDown(18)),
                        Value(input.isKeyDown(16))};
        dispatchAt(at, Value(vm.construct(vm.findClass(u"flash.events.KeyboardEvent"), args)));
    });
}

void InputDelivery::focusChanged(DisplayObject* old, DisplayObject* now) {
    auto& vm = bridge_.vm();
    auto send = [&](DisplayObject* at, const char16_t* type, DisplayObject* related) {
        Object* target = bridge_.objectOf(*at);
        if (!target) return;
        vm.guarded([&] {
            Object* relatedObject = related ? bridge_.objectOf(*related) : nullptr;
            Value args[] = {Value(String(type)), Value(true), Value(false),
                            relatedObject ? Value(relatedObject) : Value::null()};
            dispatchAt(target, Value(vm.construct(vm.findClass(u"flash.events.FocusEvent"), args)));
        });
    };
    std::shared_ptr<DisplayObject> keptOld = old ? old->shared_from_this() : nullptr;
    std::shared_ptr<DisplayObject> keptNow = now ? now->shared_from_this() : nullptr;
    if (old) send(old, u"focusOut", now);
    if (now) send(now, u"focusIn", old);
}

// Buttons and input fields take the focus unless they say otherwise; other
// objects when they say tabEnabled, or act as buttons.
bool InputDelivery::takesFocus(const DisplayObject& object) {
    const auto interaction = interactionOf(&object);
    if (interaction.tabEnabled) return *interaction.tabEnabled;
    if (object.kind() == ObjectKind::Button) return true;
    if (object.kind() == ObjectKind::EditText) return static_cast<const EditText&>(object).editable;
    return interaction.buttonMode;
}

}  // namespace flash
