#include "flash/core/button.h"

#include <bit>

#include "flash/core/geometry.h"
#include "flash/core/player.h"

namespace flash {

namespace {

std::size_t slotOf(std::uint8_t state) { return std::size_t(std::countr_zero(unsigned(state))) & 3; }

// A clip's first frame comes with it, and its clips' in turn, so what they
// hold is named before the next record's objects.
void buildFirstFrames(DisplayObject& object) {
    if (object.kind() != ObjectKind::MovieClip) return;
    auto& clip = static_cast<MovieClip&>(object);
    if (clip.initialized()) return;
    clip.runFrame();
    std::vector<std::shared_ptr<DisplayObject>> children;
    for (const auto& [depth, child] : clip.children()) children.push_back(child);
    for (const auto& child : children) buildFirstFrames(*child);
}

}  // namespace

Button::Button(const Character* c, Player& player) : DisplayObject(ObjectKind::Button, c, player) {
    setBinding(makeButtonBinding(*this));
    trackAsMenu = definition().trackAsMenu;
    holdsStateObjects_ = !c || !c->owner->runsActionScript1();
    if (holdsStateObjects_) {
        // Shows its up state from the start, on the stage or off it.
        state_ = swf::ButtonState::Up;
        return;
    }
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

const swf::DefineButton& Button::definition() const {
    static const swf::DefineButton none;
    return character_ ? *character_->as<swf::DefineButton>() : none;
}

std::shared_ptr<DisplayObject> Button::makeRecordObject(const swf::ButtonRecord& rec) {
    auto child = createDisplayObject(character_->owner->get(rec.characterId), player());
    if (!child) return nullptr;
    child->depth = rec.depth;
    if (child->takesInstanceName()) child->name = player().nextInstanceName();
    child->setMatrix(toQTransform(rec.matrix));
    child->colorTransform = ColorTransform::from(definition().version >= 2 || !character_->buttonCxform
                                                     ? rec.colorTransform
                                                     : character_->buttonCxform->colorTransform);
    child->filters = rec.filters;
    child->blendMode = rec.blendMode;
    return child;
}

void Button::setState(std::uint8_t state) {
    if (holdsStateObjects_) {
        state_ = state;
        showStateObject();
        return;
    }
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
        auto child = makeRecordObject(rec);
        if (!child) continue;
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

// Every state's objects are made before the sprites that hold several,
// so those take the last instance names.
void Button::buildStateObjects() {
    if (stateObjectsBuilt_) return;
    stateObjectsBuilt_ = true;
    if (!character_) return;
    Player::NestingGuard guard(player());
    if (!guard || nesting() > Player::kMaxNesting) return;
    std::array<std::vector<std::shared_ptr<DisplayObject>>, 4> parts;
    for (std::uint8_t state : {swf::ButtonState::Up, swf::ButtonState::Over, swf::ButtonState::Down,
                               swf::ButtonState::HitTest})
        for (const auto& rec : definition().records)
            if ((rec.states & state) && player().mayBuildButtonState())
                if (auto child = makeRecordObject(rec)) {
                    buildFirstFrames(*child);
                    parts[slotOf(state)].push_back(std::move(child));
                }
    for (std::size_t slot = 0; slot < parts.size(); ++slot) {
        if (parts[slot].size() == 1) {
            stateObjects_[slot] = parts[slot].front();
        } else if (!parts[slot].empty()) {
            auto sprite = std::make_shared<MovieClip>(nullptr, &emptyTimeline(), *character_->owner, player());
            sprite->name = player().nextInstanceName();
            sprite->runFrame();
            for (auto& part : parts[slot]) sprite->adopt(part, part->depth, nullptr);
            stateObjects_[slot] = std::move(sprite);
        }
    }
}

std::shared_ptr<DisplayObject> Button::stateObject(std::uint8_t state) {
    showStateObject();
    return stateObjects_[slotOf(state)];
}

void Button::setStateObject(std::uint8_t state, std::shared_ptr<DisplayObject> object) {
    buildStateObjects();
    stateObjects_[slotOf(state)] = std::move(object);
    showStateObject();
}

void Button::showStateObject() {
    buildStateObjects();
    const std::shared_ptr<DisplayObject> shown = stateObjects_[slotOf(state_)];
    auto old = children_.empty() ? nullptr : children_.begin()->second;
    if (old != shown) {
        children_.clear();
        if (old) {
            player().takeOffStage(*old);
            if (old->parent() == this) old->setParent(nullptr);
        }
        if (shown) {
            shown->setParent(this);
            children_[0] = shown;
        }
    }
    if (shown && onStage() && !shown->onStage()) player().putOnStage(*shown, nullptr);
}

void Button::unloadChildren() {
    for (const auto& [depth, child] : children_) player().takeOffStage(*child);
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
    auto hits = [&](const DisplayObject& child) {
        bool invertible = false;
        QPointF local = child.matrix().inverted(&invertible).map(p);
        return invertible && child.hitTestLocal(local, true);
    };
    if (holdsStateObjects_) {
        const auto& area = stateObjects_[slotOf(swf::ButtonState::HitTest)];
        return area && hits(*area);
    }
    for (const auto& [rec, child] : hitArea_)
        if (hits(*child)) return true;
    return false;
}

}  // namespace flash
