#include "flash/core/button.h"

#include "flash/core/geometry.h"
#include "flash/core/player.h"

namespace flash {

Button::Button(const Character* c, Player& player) : DisplayObject(ObjectKind::Button, c, player) {
    setBinding(makeButtonBinding(*this));
    Player::NestingGuard guard(player);
    if (!guard) return;
    for (const auto& rec : definition().records) {
        if (!(rec.states & swf::ButtonState::HitTest)) continue;
        auto child = createDisplayObject(c->owner->get(rec.characterId), player);
        if (!child) continue;
        child->setMatrix(toQTransform(rec.matrix));
        child->setParent(this);
        hitArea_.emplace_back(&rec, std::move(child));
    }
}

void Button::setState(std::uint8_t state) {
    if (state == state_) return;
    state_ = state;
    const auto& def = definition();
    const bool tooDeep = nesting() > Player::kMaxNesting;
    std::vector<std::pair<const swf::ButtonRecord*, std::shared_ptr<DisplayObject>>> next;
    for (const auto& rec : def.records) {
        if (!(rec.states & state) || tooDeep) continue;
        auto kept = std::find_if(shown_.begin(), shown_.end(), [&](const auto& s) { return s.first->characterId == rec.characterId && s.first->depth == rec.depth; });
        if (kept != shown_.end()) {
            next.push_back(*kept);
            shown_.erase(kept);
            continue;
        }
        auto child = createDisplayObject(character_->owner->get(rec.characterId), player());
        if (!child) continue;
        child->depth = rec.depth;
        if (child->takesInstanceName()) child->name = player().nextInstanceName();
        child->setMatrix(toQTransform(rec.matrix));
        child->colorTransform = ColorTransform::from(def.version >= 2 || !character_->buttonCxform
                                                         ? rec.colorTransform
                                                         : character_->buttonCxform->colorTransform);
        child->filters = rec.filters;
        child->blendMode = rec.blendMode;
        child->setParent(this);
        next.emplace_back(&rec, std::move(child));
    }
    for (auto& [rec, child] : shown_) player().takeOffStage(*child);
    shown_ = std::move(next);
    children_.clear();
    for (auto& [rec, child] : shown_) {
        bool fresh = !child->onStage();
        children_[rec->depth] = child;
        if (fresh && onStage()) player().putOnStage(*child, nullptr);
    }
}

void Button::unloadChildren() {
    for (auto& [rec, child] : shown_) player().takeOffStage(*child);
}

QRectF Button::localBounds() const {
    QRectF r;
    for (const auto& [depth, child] : children_) {
        QRectF b = child->matrix().mapRect(child->localBounds());
        if (!b.isNull()) r = r.isNull() ? b : r.united(b);
    }
    return r;
}

bool Button::hitTestLocal(QPointF p, bool) const {
    for (const auto& [rec, child] : hitArea_) {
        bool invertible = false;
        QPointF local = child->matrix().inverted(&invertible).map(p);
        if (invertible && child->hitTestLocal(local, true)) return true;
    }
    return false;
}

}  // namespace flash
