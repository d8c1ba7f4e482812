// The focus: who holds it, what its holders and Selection's listeners are
// told when it moves, and what a click does to it.
#include "flash/avm1/player/bindings.h"
#include "flash/avm1/vm.h"
#include "flash/core/button.h"
#include "flash/core/edit_text.h"
#include "flash/core/player.h"

namespace flash {

kinolux::avm1::DisplayObjectBinding* Player::focus() {
    auto object = input_.focus.lock();
    return object && object->onStage() ? &object->binding() : nullptr;
}

bool Player::setFocus(kinolux::avm1::DisplayObjectBinding* target) {
    DisplayObject* object = displayObjectOf(target);
    if (!object) {
        if (target) return false;
        changeFocus(nullptr);
        return true;
    }
    if (!object->onStage() || !object->parent()) return false;  // a level's root never holds the focus
    changeFocus(object);
    return true;
}

void Player::changeFocus(DisplayObject* now) {
    auto old = input_.focus.lock();
    if (old && !old->onStage()) old.reset();
    if (old.get() == now) return;
    // Held while the handlers run: they may take either off the stage.
    std::shared_ptr<DisplayObject> kept = now ? now->shared_from_this() : nullptr;
    input_.focus = now ? now->weak_from_this() : std::weak_ptr<DisplayObject>();
    if (scriptsEnabled_) vm_->notifyFocusChange(old ? &old->binding() : nullptr, now ? &now->binding() : nullptr);
}

// The topmost text field that can be typed in or selected at a point.
DisplayObject* Player::textFieldAt(DisplayObject& object, QPointF stageTwips) {
    if (!object.visible || object.isMask()) return nullptr;
    if (object.kind() == ObjectKind::EditText) {
        const auto& field = static_cast<EditText&>(object);
        if (!field.editable && !field.selectable) return nullptr;
        return object.worldMatrix().mapRect(object.localBounds()).contains(stageTwips) ? &object : nullptr;
    }
    if (object.kind() != ObjectKind::MovieClip) return nullptr;
    const auto& children = static_cast<MovieClip&>(object).children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        if (it->second->clipDepth > 0) continue;
        if (DisplayObject* hit = textFieldAt(*it->second, stageTwips)) return hit;
    }
    return nullptr;
}

// A click on a text field gives it the focus; a click anywhere else takes
// the focus from the text field that had it.
void Player::focusByClick() {
    DisplayObject* field = nullptr;
    for (auto it = levels_.rbegin(); it != levels_.rend() && !field; ++it) field = textFieldAt(*it->second, input_.mouse * 20.0);
    if (field) {
        changeFocus(field);
        return;
    }
    auto current = input_.focus.lock();
    if (current && current->kind() == ObjectKind::EditText) changeFocus(nullptr);
}

}  // namespace flash
