// Keyboard focus by Tab: the order objects take focus in, and the yellow
// rectangle that marks the object Tab reached until the mouse is used.
#include <algorithm>
#include <cmath>

#include "flash/core/button.h"
#include "flash/core/edit_text.h"
#include "flash/core/player.h"

namespace flash {

namespace {

struct TabStop {
    DisplayObject* object;
    std::optional<double> tabIndex;
    QPointF corner;  // top left, stage twips
};

}  // namespace

std::optional<bool> Player::scriptFlag(DisplayObject& object, std::u16string_view name) {
    if (!scriptsEnabled_) return std::nullopt;
    return timelineScripts_->flag(object, name);
}

// Buttons, clips that take the mouse and input fields take focus unless a
// script says otherwise; any object a script marks tabEnabled does too.
std::vector<DisplayObject*> Player::tabOrder() {
    std::vector<TabStop> stops;
    auto visit = [&](auto& self, DisplayObject& object) -> void {
        if (!object.visible || object.isMask()) return;
        bool container = object.kind() == ObjectKind::MovieClip;
        bool focusable = false;
        switch (object.kind()) {
        case ObjectKind::Button: focusable = static_cast<Button&>(object).enabled; break;
        case ObjectKind::EditText: focusable = static_cast<EditText&>(object).editable; break;
        case ObjectKind::MovieClip: focusable = isMouseTarget(object); break;
        default: return;
        }
        if (object.nesting() > 0) {
            if (as3_) focusable = as3_->takesTabFocus(object);
            else if (auto enabled = scriptFlag(object, u"tabEnabled")) focusable = *enabled;
        } else {
            focusable = false;  // a level's root never takes focus by Tab
        }
        if (focusable) {
            std::optional<double> index;
            if (as3_) index = as3_->tabIndex(object);
            else if (scriptsEnabled_) index = timelineScripts_->number(object, u"tabIndex");
            // Places compare in whole twips, as the file gives them.
            const QRectF bounds = object.worldMatrix().mapRect(object.localBounds());
            stops.push_back({&object, index, QPointF(std::round(bounds.left()), std::round(bounds.top()))});
        }
        if (!container || scriptFlag(object, u"tabChildren") == false) return;
        for (const auto& [depth, child] : static_cast<MovieClip&>(object).children())
            if (child->clipDepth == 0) self(self, *child);
    };
    for (const auto& [n, level] : levels_) visit(visit, *level);

    // With any tab index set, only indexed objects take part, in index order;
    // else the order is by place on the stage, top to bottom, left to right.
    const bool indexed =
        std::any_of(stops.begin(), stops.end(), [](const TabStop& s) { return s.tabIndex.has_value(); });
    if (indexed) {
        std::erase_if(stops, [](const TabStop& s) { return !s.tabIndex; });
        std::stable_sort(stops.begin(), stops.end(),
                         [](const TabStop& a, const TabStop& b) { return *a.tabIndex < *b.tabIndex; });
    } else {
        std::stable_sort(stops.begin(), stops.end(), [](const TabStop& a, const TabStop& b) {
            if (a.corner.y() != b.corner.y()) return a.corner.y() < b.corner.y();
            return a.corner.x() < b.corner.x();
        });
        // Of objects whose corners meet at one place Tab reaches only the
        // first met on the way through the display list.
        const auto samePlace = [](const TabStop& a, const TabStop& b) { return a.corner == b.corner; };
        stops.erase(std::unique(stops.begin(), stops.end(), samePlace), stops.end());
    }
    std::vector<DisplayObject*> order;
    for (const auto& s : stops) order.push_back(s.object);
    return order;
}

void Player::moveFocusByTab(bool backwards) {
    const std::vector<DisplayObject*> order = tabOrder();
    if (order.empty()) return;
    const DisplayObject* current = input_.focus.lock().get();
    auto at = std::find(order.begin(), order.end(), current);
    std::size_t next;
    if (at == order.end()) next = backwards ? order.size() - 1 : 0;
    else if (backwards) next = at == order.begin() ? order.size() - 1 : std::size_t(at - order.begin()) - 1;
    else next = (std::size_t(at - order.begin()) + 1) % order.size();
    DisplayObject& target = *order[next];
    auto kept = target.shared_from_this();
    if (as3_ && !as3_->allowsTabTo(target, backwards)) return;
    hoverByFocus(&target, false);
    if (!target.onStage()) return;
    changeFocus(&target);
    if (!target.onStage()) return;
    // Tab into a field selects all it holds, ready to be typed over.
    if (target.kind() == ObjectKind::EditText) static_cast<EditText&>(target).selectAll();
    // The rectangle follows the setting of the moment focus arrives; a
    // later change waits for the next move.
    const bool rect = timelineScripts_->showsFocusRect();
    focusHighlighted_ = rect && target.kind() != ObjectKind::EditText;
}

const DisplayObject* Player::focusHighlight() const {
    if (!focusHighlighted_) return nullptr;
    auto object = input_.focus.lock();
    return object && object->onStage() && object->visible ? object.get() : nullptr;
}

// Movies before version 9 drop the rectangle on any use of the mouse but
// its middle button; later ones only when the left button goes down.
void Player::mouseUsed(std::optional<MouseButton> button, bool pressing) {
    if (button == MouseButton::Middle) return;
    if (swfVersion() >= 9 && !(button == MouseButton::Left && pressing)) return;
    focusHighlighted_ = false;
}

}  // namespace flash
