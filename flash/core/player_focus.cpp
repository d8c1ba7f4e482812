// The focus: who holds it, what its holders and Selection's listeners are
// told when it moves, and the tab order that Tab walks.
#include <algorithm>
#include <cmath>

#include "flash/avm1/vm.h"
#include "flash/core/bindings.h"
#include "flash/core/button.h"
#include "flash/core/edit_text.h"
#include "flash/core/player.h"

namespace flash {

namespace {

using kinolux::avm1::String;
using kinolux::avm1::Value;

struct TabStop {
    DisplayObject* object;
    std::optional<double> tabIndex;
    QPointF at;  // the top left of its bounds on stage, twips
};

}  // namespace

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

// Objects take part when their script says tabEnabled, or by default when
// they take input: text fields that can be typed in, buttons and clips with
// mouse handlers. A clip whose tabChildren is false hides what it holds.
void Player::tabCandidates(DisplayObject& object, std::vector<DisplayObject*>& out) {
    if (!object.onStage() || !object.visible) return;
    auto script = [&](const char16_t* name) {
        return scriptsEnabled_ ? vm_->get(vm_->scriptObjectOf(object.binding()), String(name)) : Value();
    };
    const Value enabled = script(u"tabEnabled");
    bool takesPart = false;
    if (!enabled.isUndefined()) takesPart = vm_->toBoolean(enabled);
    else if (object.kind() == ObjectKind::EditText) takesPart = static_cast<EditText&>(object).editable;
    else if (object.kind() == ObjectKind::Button || object.kind() == ObjectKind::MovieClip)
        takesPart = isMouseTarget(object);
    if (takesPart && object.parent()) out.push_back(&object);  // a level's root is never a stop
    if (object.kind() != ObjectKind::MovieClip) return;
    const Value tabChildren = script(u"tabChildren");
    if (!tabChildren.isUndefined() && !vm_->toBoolean(tabChildren)) return;
    std::vector<std::shared_ptr<DisplayObject>> children;
    for (const auto& [depth, child] : static_cast<MovieClip&>(object).children()) children.push_back(child);
    for (const auto& child : children) tabCandidates(*child, out);
}

// With any tabIndex set, only the objects that have one take part, in
// that order; else they go by place on the stage, top to bottom, then left
// to right.
void Player::moveFocusByTab(bool backwards) {
    std::vector<DisplayObject*> candidates;
    for (const auto& [level, root] : levels_) tabCandidates(*root, candidates);
    std::vector<TabStop> stops;
    bool anyIndex = false;
    for (DisplayObject* object : candidates) {
        TabStop stop{object, std::nullopt, object->worldMatrix().mapRect(object->localBounds()).topLeft()};
        if (scriptsEnabled_) {
            const Value index = vm_->get(vm_->scriptObjectOf(object->binding()), String(u"tabIndex"));
            if (!index.isNullish()) {
                const double n = vm_->toNumber(index);
                if (std::isfinite(n)) stop.tabIndex = n;
            }
        }
        anyIndex = anyIndex || stop.tabIndex;
        stops.push_back(stop);
    }
    if (anyIndex) {
        std::erase_if(stops, [](const TabStop& s) { return !s.tabIndex; });
        std::stable_sort(stops.begin(), stops.end(), [](const TabStop& a, const TabStop& b) { return *a.tabIndex < *b.tabIndex; });
    } else {
        std::stable_sort(stops.begin(), stops.end(), [](const TabStop& a, const TabStop& b) {
            return a.at.y() != b.at.y() ? a.at.y() < b.at.y() : a.at.x() < b.at.x();
        });
    }
    if (stops.empty()) return;
    const auto current = input_.focus.lock();
    auto it = std::find_if(stops.begin(), stops.end(), [&](const TabStop& s) { return s.object == current.get(); });
    std::size_t next = 0;
    if (it == stops.end()) next = backwards ? stops.size() - 1 : 0;
    else {
        const std::size_t i = std::size_t(it - stops.begin());
        next = backwards ? (i + stops.size() - 1) % stops.size() : (i + 1) % stops.size();
    }
    changeFocus(stops[next].object);
}

}  // namespace flash
