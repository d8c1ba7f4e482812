// The mouse and the keyboard: what the pointer is over, button states and
// their actions, the mouse handlers of clips, dragging, key presses and
// the listener broadcasts.
#include <cmath>

#include "flash/core/button.h"
#include "flash/core/geometry.h"
#include "flash/core/player.h"

namespace flash {

namespace {

namespace C = swf::ButtonCondition;

constexpr std::uint32_t kButtonEvents = swf::ClipEvent::Press | swf::ClipEvent::Release | swf::ClipEvent::ReleaseOutside |
                                        swf::ClipEvent::RollOver | swf::ClipEvent::RollOut | swf::ClipEvent::DragOver |
                                        swf::ClipEvent::DragOut;

constexpr std::u16string_view kMouseMethods[] = {u"onPress",    u"onRelease", u"onReleaseOutside", u"onRollOver",
                                                 u"onRollOut", u"onDragOver", u"onDragOut"};

constexpr MouseTransition kRollOver{C::IdleToOverUp, swf::ClipEvent::RollOver, u"onRollOver", swf::ButtonState::Over};
constexpr MouseTransition kRollOut{C::OverUpToIdle, swf::ClipEvent::RollOut, u"onRollOut", swf::ButtonState::Up};
constexpr MouseTransition kPress{C::OverUpToOverDown, swf::ClipEvent::Press, u"onPress", swf::ButtonState::Down};
constexpr MouseTransition kRelease{C::OverDownToOverUp, swf::ClipEvent::Release, u"onRelease", swf::ButtonState::Over};
constexpr MouseTransition kDragOut{C::OverDownToOutDown, swf::ClipEvent::DragOut, u"onDragOut", swf::ButtonState::Over};
constexpr MouseTransition kDragOver{C::OutDownToOverDown, swf::ClipEvent::DragOver, u"onDragOver", swf::ButtonState::Down};
constexpr MouseTransition kReleaseOutside{C::OutDownToIdle, swf::ClipEvent::ReleaseOutside, u"onReleaseOutside",
                                     swf::ButtonState::Up};

// The key codes of DefineButton2 key presses for the special keys.
int buttonKeyCode(int keyCode, int charCode) {
    switch (keyCode) {
    case 37: return 1;   // left
    case 39: return 2;   // right
    case 36: return 3;   // home
    case 35: return 4;   // end
    case 45: return 5;   // insert
    case 46: return 6;   // delete
    case 8: return 8;    // backspace
    case 13: return 13;  // enter
    case 38: return 14;  // up
    case 40: return 15;  // down
    case 33: return 16;  // page up
    case 34: return 17;  // page down
    case 9: return 18;   // tab
    case 27: return 19;  // escape
    default: return charCode >= 32 && charCode < 128 ? charCode : 0;
    }
}

// The mouse buttons are keys 1, 2 and 4 to Key.isDown and Key.isToggled.
int keyOfButton(Player::MouseButton button) {
    switch (button) {
    case Player::MouseButton::Left: return 1;
    case Player::MouseButton::Right: return 2;
    case Player::MouseButton::Middle: return 4;
    }
    return 1;
}

}  // namespace

// Every key flips its toggle on each press, as the lock keys show it.
void Input::press(int keyCode) {
    if (!toggled.erase(keyCode)) toggled.insert(keyCode);
    keysDown.insert(keyCode);
}

void Input::forget(const DisplayObject& object) {
    for (auto* slot : {&hovered, &pressed, &focus, &dropped, &droppedOn})
        if (slot->lock().get() == &object) slot->reset();
    if (drag && drag->object.lock().get() == &object) drag.reset();
}

bool Player::isMouseTarget(DisplayObject& object) {
    if (object.kind() == ObjectKind::Button) return static_cast<Button&>(object).enabled;
    if (object.kind() != ObjectKind::MovieClip || !static_cast<MovieClip&>(object).enabled) return false;
    if (object.handlesEvent(kButtonEvents)) return true;
    if (!scriptsEnabled_) return false;
    for (std::u16string_view method : kMouseMethods)
        if (timelineScripts_->hasMethod(object, method)) return true;
    return false;
}

// The topmost object at a point: with `interactive`, the button or clip
// with mouse handlers that takes the mouse there (a clip with handlers
// takes it for all it holds); else the topmost object that shows
// something there, other than `skip`.
DisplayObject* Player::pick(DisplayObject& object, QPointF stageTwips, bool interactive, const DisplayObject* skip) {
    if (!object.visible || object.isMask() || &object == skip) return nullptr;
    const QPointF local = inverseOrCollapse(object.worldMatrix()).map(stageTwips);
    if (interactive && isMouseTarget(object)) {
        if (object.kind() == ObjectKind::Button) {
            // A button within a button takes the mouse before the outer one.
            const auto& children = static_cast<Button&>(object).children();
            for (auto it = children.rbegin(); it != children.rend(); ++it)
                if (DisplayObject* hit = pick(*it->second, stageTwips, true, skip)) return hit;
        }
        return object.hitTestLocal(local, true) ? &object : nullptr;
    }
    if (object.kind() == ObjectKind::MovieClip) {
        auto& clip = static_cast<MovieClip&>(object);
        const auto& children = clip.children();
        for (auto it = children.rbegin(); it != children.rend(); ++it) {
            if (it->second->clipDepth > 0) continue;  // masks take no mouse
            if (DisplayObject* hit = pick(*it->second, stageTwips, interactive, skip)) return hit;
        }
        if (!interactive && clip.drawing().hitTest(local)) return &object;
        return nullptr;
    }
    if (interactive || object.kind() == ObjectKind::Button) return nullptr;
    return object.hitTestLocal(local, true) ? object.parent() : nullptr;
}

DisplayObject* Player::objectUnder(QPointF stagePixels) {
    const DisplayObject* dragged = input_.drag ? input_.drag->object.lock().get() : nullptr;
    for (auto it = levels_.rbegin(); it != levels_.rend(); ++it)
        if (DisplayObject* hit = pick(*it->second, stagePixels * 20.0, false, dragged)) return hit;
    return nullptr;
}

DisplayObject* Player::mouseTarget() {
    for (auto it = levels_.rbegin(); it != levels_.rend(); ++it)
        if (DisplayObject* hit = pick(*it->second, input_.mouse * 20.0, true, nullptr)) return hit;
    return nullptr;
}

void Player::transition(DisplayObject& object, const MouseTransition& t) {
    if (object.kind() == ObjectKind::Button) {
        auto& button = static_cast<Button&>(object);
        button.setState(t.state);
        if (scriptsEnabled_) {
            for (const auto& action : button.definition().actions)
                if ((action.conditions & t.condition) && object.onStage())
                    timelineScripts_->runButtonActions(object, button.character()->owner->code(action.actions));
        }
        if (const auto* sounds = button.character() ? button.character()->buttonSound : nullptr) {
            // Sounds for OverUpToIdle, IdleToOverUp, OverUpToOverDown, OverDownToOverUp.
            int slot = t.condition == C::OverUpToIdle ? 0 : t.condition == C::IdleToOverUp ? 1
                       : t.condition == C::OverUpToOverDown ? 2 : t.condition == C::OverDownToOverUp ? 3 : -1;
            if (slot >= 0 && sounds->sounds[slot].soundId)
                queueSound({object.weak_from_this(), nullptr, &sounds->sounds[slot], button.character()->owner});
        }
    } else if (scriptsEnabled_ && object.clipActions) {
        for (const swf::ClipAction& action : *object.clipActions)
            if ((action.events & t.clipEvent) && object.onStage())
                timelineScripts_->runClipActions(object, object.actionsLibrary->code(action.actions));
    }
    if (scriptsEnabled_ && object.onStage()) timelineScripts_->callMethod(object, t.method);
    runQueue();
}

// Sends a mouse or key event to every clip on stage: its onClipEvent
// handlers and the method of that name.
void Player::broadcastToClips(std::uint32_t clipEvent, std::u16string_view method) {
    if (!scriptsEnabled_) return;
    std::vector<std::shared_ptr<MovieClip>> clips;
    for (const auto& weak : executionList_)
        if (auto clip = weak.lock(); clip && clip->onStage()) clips.push_back(std::move(clip));
    for (const auto& clip : clips) {
        if (!clip->onStage()) continue;
        if (clip->clipActions) {
            for (const swf::ClipAction& action : *clip->clipActions)
                if ((action.events & clipEvent) && clip->onStage())
                    timelineScripts_->runClipActions(*clip, clip->actionsLibrary->code(action.actions));
        }
        if (!method.empty() && clip->onStage()) timelineScripts_->callMethod(*clip, method);
    }
}

void Player::hoverByFocus(DisplayObject* target, bool deferred) {
    if (input_.pressed.lock()) return;
    auto old = input_.hovered.lock();
    if (target ? !isMouseTarget(*target) : old != input_.focus.lock()) return;
    input_.hovered = target ? target->weak_from_this() : std::weak_ptr<DisplayObject>();
    auto roll = [&](DisplayObject& object, const MouseTransition& t) {
        if (!deferred) transition(object, t);
        else if (scriptsEnabled_) queue_.push_back({object.weak_from_this(), {}, {}, Work::Transition, false, &t});
    };
    if (old && old->onStage()) roll(*old, kRollOut);
    if (target && target->onStage()) roll(*target, kRollOver);
}

void Player::updateHover() {
    auto previous = input_.hovered.lock();
    DisplayObject* now = mouseTarget();
    if (now == previous.get()) return;
    auto pressed = input_.pressed.lock();
    input_.hovered = now ? now->weak_from_this() : std::weak_ptr<DisplayObject>();
    if (previous && previous->onStage()) {
        if (!pressed) transition(*previous, kRollOut);
        else if (pressed == previous) transition(*previous, kDragOut);
    }
    if (now && now->onStage()) {
        if (!pressed) transition(*now, kRollOver);
        else if (pressed.get() == now) transition(*now, kDragOver);
    }
}

void Player::mouseMove(double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    // A report of the pointer where it already is moves nothing.
    if (QPointF(x, y) == input_.mouse) return;
    input_.mouse = QPointF(x, y);
    mouseUsed(std::nullopt, false);
    updateDrag();
    if (as3_) as3_->mouseMoved();
    if (scriptsEnabled_) timelineScripts_->mouseMoved();
    broadcastToClips(swf::ClipEvent::MouseMove, u"onMouseMove");
    updateHover();
    runQueue();
}

void Player::mouseDown(MouseButton button, bool doubleClick) {
    mouseUsed(button, true);
    input_.press(keyOfButton(button));
    if (button != MouseButton::Left || input_.mouseIsDown) return;
    input_.mouseIsDown = true;
    if (as3_) as3_->mousePressed(doubleClick);
    if (scriptsEnabled_) timelineScripts_->mousePressed();
    broadcastToClips(swf::ClipEvent::MouseDown, u"onMouseDown");
    focusByClick();
    followTextLink();
    updateHover();
    if (auto target = input_.hovered.lock(); target && target->onStage()) {
        input_.pressed = target;
        transition(*target, kPress);
    }
    runQueue();
}

void Player::mouseUp(MouseButton button) {
    mouseUsed(button, false);
    input_.keysDown.erase(keyOfButton(button));
    if (button != MouseButton::Left || !input_.mouseIsDown) return;
    input_.mouseIsDown = false;
    if (as3_) as3_->mouseReleased();
    if (scriptsEnabled_) timelineScripts_->mouseReleased();
    broadcastToClips(swf::ClipEvent::MouseUp, u"onMouseUp");
    auto pressed = input_.pressed.lock();
    input_.pressed.reset();
    if (pressed && pressed->onStage()) {
        const bool over = mouseTarget() == pressed.get();
        transition(*pressed, over ? kRelease : kReleaseOutside);
    }
    updateHover();
    runQueue();
}

std::shared_ptr<DisplayObject> Player::focusedKeyTarget() {
    auto focused = input_.focus.lock();
    if (!focused || !focused->onStage()) return nullptr;
    const ObjectKind kind = focused->kind();
    return kind == ObjectKind::Button || kind == ObjectKind::MovieClip ? focused : nullptr;
}

void Player::keyDown(int keyCode, int charCode, int location) {
    input_.press(keyCode);
    input_.lastKeyCode = keyCode;
    input_.lastCharCode = charCode;
    if (as3_) as3_->keyChanged(true, keyCode, charCode, location);
    const auto focused = focusedKeyTarget();
    if (focused && scriptsEnabled_) timelineScripts_->callMethod(*focused, u"onKeyDown");
    if (scriptsEnabled_) timelineScripts_->keyPressed();
    broadcastToClips(swf::ClipEvent::KeyDown, {});
    // Key presses that buttons and clips wait for.
    const int code = buttonKeyCode(keyCode, charCode);
    bool focusedWaited = false;
    if (code && scriptsEnabled_) {
        std::vector<std::shared_ptr<DisplayObject>> targets;
        for (const auto& weak : executionList_)
            if (auto clip = weak.lock(); clip && clip->onStage()) {
                targets.push_back(clip);
                for (const auto& [depth, child] : clip->children())
                    if (child->kind() == ObjectKind::Button) targets.push_back(child);
            }
        for (const auto& object : targets) {
            if (!object->onStage()) continue;
            if (object->kind() == ObjectKind::Button) {
                const auto& button = static_cast<Button&>(*object);
                for (const auto& action : button.definition().actions)
                    if (action.keyCode == code && object->onStage()) {
                        focusedWaited |= object == focused;
                        timelineScripts_->runButtonActions(*object, button.character()->owner->code(action.actions));
                    }
            } else if (object->clipActions) {
                for (const swf::ClipAction& action : *object->clipActions)
                    if ((action.events & swf::ClipEvent::KeyPress) && action.keyCode == code && object->onStage())
                        timelineScripts_->runClipActions(*object, object->actionsLibrary->code(action.actions));
            }
        }
    }
    // Space presses the focused button, unless the button waits for that key.
    if (keyCode == 32 && !focusedWaited && focused && focused->onStage() && focused->kind() == ObjectKind::Button &&
        static_cast<Button&>(*focused).enabled) {
        transition(*focused, kPress);
        if (focused->onStage()) transition(*focused, kRelease);
        if (focused->onStage() && input_.hovered.lock() != focused)
            static_cast<Button&>(*focused).setState(swf::ButtonState::Up);
    }
    if (keyCode == 9) moveFocusByTab(input_.isKeyDown(16));
    runQueue();
}

void Player::keyUp(int keyCode, int charCode, int location) {
    input_.keysDown.erase(keyCode);
    input_.lastKeyCode = keyCode;
    input_.lastCharCode = charCode;
    if (as3_) as3_->keyChanged(false, keyCode, charCode, location);
    if (const auto focused = focusedKeyTarget(); focused && scriptsEnabled_)
        timelineScripts_->callMethod(*focused, u"onKeyUp");
    if (scriptsEnabled_) timelineScripts_->keyReleased();
    broadcastToClips(swf::ClipEvent::KeyUp, {});
    runQueue();
}

bool Player::handCursor() const {
    auto hovered = input_.hovered.lock();
    if (!hovered || !hovered->onStage()) return false;
    if (hovered->kind() == ObjectKind::Button) return static_cast<const Button&>(*hovered).useHandCursor;
    if (hovered->kind() == ObjectKind::MovieClip) return static_cast<const MovieClip&>(*hovered).useHandCursor;
    return false;
}

void Player::startDrag(DisplayObject& object, bool lockCenter, std::optional<QRectF> constraint) {
    if (!object.onStage()) return;
    Drag drag;
    drag.object = object.weak_from_this();
    const QTransform toParent = object.parent() ? inverseOrCollapse(object.parent()->worldMatrix()) : QTransform();
    const QPointF mouse = toParent.map(input_.mouse * 20.0) / 20.0;
    if (!lockCenter) drag.offset = QPointF(object.x(), object.y()) - mouse;
    drag.constraint = constraint;
    input_.drag = drag;
    updateDrag();
}

void Player::stopDrag() {
    if (!input_.drag) return;
    if (auto object = input_.drag->object.lock(); object && object->onStage()) {
        input_.dropped = object;
        DisplayObject* under = objectUnder(input_.mouse);
        input_.droppedOn = under ? under->weak_from_this() : std::weak_ptr<DisplayObject>();
    }
    input_.drag.reset();
}

void Player::updateDrag() {
    if (!input_.drag) return;
    auto object = input_.drag->object.lock();
    if (!object || !object->onStage()) {
        input_.drag.reset();
        return;
    }
    const QTransform toParent = object->parent() ? inverseOrCollapse(object->parent()->worldMatrix()) : QTransform();
    QPointF at = toParent.map(input_.mouse * 20.0) / 20.0 + input_.drag->offset;
    if (const auto& box = input_.drag->constraint) {
        at.setX(std::clamp(at.x(), box->left(), box->right()));
        at.setY(std::clamp(at.y(), box->top(), box->bottom()));
    }
    object->setX(at.x());
    object->setY(at.y());
}

}  // namespace flash
