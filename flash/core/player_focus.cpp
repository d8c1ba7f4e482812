// The focus: who holds it, what its holders and Selection's listeners are
// told when it moves, and what a click does to it.
#include "flash/core/button.h"
#include "flash/core/edit_text.h"
#include "flash/core/player.h"
#include "flash/core/text_editing.h"

namespace flash {

// Scripts may focus any text field and button; a clip takes the focus when
// it acts as a button or says focusEnabled.
bool Player::setFocus(DisplayObject* object) {
    if (!object) {
        hoverByFocus(nullptr, true);
        changeFocus(nullptr);
        return true;
    }
    if (!object->onStage() || !object->parent()) return false;  // a level's root never holds the focus
    if (object->kind() == ObjectKind::MovieClip && !isMouseTarget(*object) &&
        scriptFlag(*object, u"focusEnabled") != true)
        return false;
    auto kept = object->shared_from_this();
    hoverByFocus(object, true);
    changeFocus(object);
    // A field focused by a script has all its text selected, even when it
    // had the focus already.
    if (object->kind() == ObjectKind::EditText && object->onStage() && input_.focus.lock().get() == object)
        static_cast<EditText&>(*object).selectAll();
    return true;
}

void Player::changeFocus(DisplayObject* now) {
    auto old = input_.focus.lock();
    if (old && !old->onStage()) old.reset();
    if (old.get() == now) return;
    // Held while the handlers run: they may take either off the stage.
    std::shared_ptr<DisplayObject> kept = now ? now->shared_from_this() : nullptr;
    input_.focus = now ? now->weak_from_this() : std::weak_ptr<DisplayObject>();
    // A field that loses the focus keeps no selection for the next time.
    if (old && old->kind() == ObjectKind::EditText) static_cast<EditText&>(*old).clearSelection();
    if (scriptsEnabled_) timelineScripts_->focusChanged(old.get(), now);
    if (as3_) as3_->focusChanged(old.get(), now);
}

// The topmost text field at a point; with `selectableOnly`, the topmost
// one that can be selected (and so typed in).
DisplayObject* Player::textFieldAt(DisplayObject& object, QPointF stageTwips, bool selectableOnly) {
    if (!object.visible || object.isMask()) return nullptr;
    if (object.kind() == ObjectKind::EditText) {
        const auto& field = static_cast<EditText&>(object);
        if (selectableOnly && !field.selectable) return nullptr;
        return object.worldMatrix().mapRect(object.localBounds()).contains(stageTwips) ? &object : nullptr;
    }
    if (object.kind() != ObjectKind::MovieClip) return nullptr;
    const auto& children = static_cast<MovieClip&>(object).children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        if (it->second->clipDepth > 0) continue;
        if (DisplayObject* hit = textFieldAt(*it->second, stageTwips, selectableOnly)) return hit;
    }
    return nullptr;
}

// A click on a text field gives it the focus and puts the caret where it
// fell; a click anywhere else takes the focus from the text field that had it.
void Player::focusByClick() {
    DisplayObject* field = nullptr;
    for (auto it = levels_.rbegin(); it != levels_.rend() && !field; ++it)
        field = textFieldAt(*it->second, input_.mouse * 20.0, true);
    if (field) {
        auto kept = field->shared_from_this();
        changeFocus(field);
        if (!field->onStage()) return;
        const QPointF local = field->worldMatrix().inverted().map(input_.mouse * 20.0);
        const int caret = static_cast<EditText&>(*field).caretIndexAt(local);
        static_cast<EditText&>(*field).select(caret, caret);
        return;
    }
    auto current = input_.focus.lock();
    if (current && current->kind() == ObjectKind::EditText) changeFocus(nullptr);
}

void Player::windowFocusLost() {
    focusHighlighted_ = false;
    changeFocus(nullptr);
}

void Player::loseFocusWithin(DisplayObject& object) {
    auto focused = input_.focus.lock();
    for (DisplayObject* o = focused.get(); o; o = o->parent()) {
        if (o == &object) {
            changeFocus(nullptr);
            return;
        }
    }
}

}  // namespace flash
