#include "flash/core/button.h"

#include "flash/core/geometry.h"
#include "flash/core/player.h"

namespace flash {

Button::Button(const Character* c, Player& player) : DisplayObject(ObjectKind::Button, c) {
    setState(swf::ButtonState::Up, player);
}

void Button::setState(std::uint8_t state, Player& player) {
    if (state == state_) return;
    state_ = state;
    children_.clear();
    const auto* def = character_->as<swf::DefineButton>();
    Player::NestingGuard guard(player);
    if (!def || !guard) return;
    for (const auto& rec : def->records) {
        if (!(rec.states & state)) continue;
        auto child = createDisplayObject(player.library().get(rec.characterId), player);
        if (!child) continue;
        child->depth = rec.depth;
        child->matrix = toQTransform(rec.matrix);
        child->colorTransform = ColorTransform::from(def->version >= 2 || !character_->buttonCxform
                                                         ? rec.colorTransform
                                                         : character_->buttonCxform->colorTransform);
        child->filters = rec.filters;
        child->blendMode = rec.blendMode;
        children_[rec.depth] = child;
        if (auto* clip = dynamic_cast<MovieClip*>(child.get())) clip->enterFirstFrame(player);
    }
}

void Button::advance(Player& player) {
    for (const auto& [depth, child] : children_)
        if (auto* clip = dynamic_cast<MovieClip*>(child.get())) clip->advance(player);
}

QRectF Button::localBounds() const {
    QRectF r;
    for (const auto& [depth, child] : children_) {
        QRectF b = child->matrix.mapRect(child->localBounds());
        if (!b.isNull()) r = r.isNull() ? b : r.united(b);
    }
    return r;
}

}  // namespace flash
