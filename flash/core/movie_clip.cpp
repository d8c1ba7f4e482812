#include "flash/core/movie_clip.h"

#include <QString>

#include "flash/core/button.h"
#include "flash/core/player.h"

namespace flash {
namespace {

// Accumulated effect of the placement tags of the frames a goto passes.
struct GotoPlacement {
    swf::PlaceObject place;
    const swf::PlaceObject* origin = nullptr;  // the Place tag, for its clip actions
    int frame = 0;
};

void mergeInto(GotoPlacement& into, const swf::PlaceObject& p) {
    if (p.action == swf::PlaceAction::Replace) {
        if (into.place.action == swf::PlaceAction::Modify) into.place.action = swf::PlaceAction::Replace;
        into.place.characterId = p.characterId;
    }
    if (p.matrix) into.place.matrix = p.matrix;
    if (p.colorTransform) into.place.colorTransform = p.colorTransform;
    if (p.ratio) into.place.ratio = p.ratio;
    if (p.name) into.place.name = p.name;
    if (p.clipDepth) into.place.clipDepth = p.clipDepth;
    if (p.filters) into.place.filters = p.filters;
    if (p.blendMode) into.place.blendMode = p.blendMode;
    if (p.cacheAsBitmap) into.place.cacheAsBitmap = p.cacheAsBitmap;
    if (p.visible) into.place.visible = p.visible;
    if (p.backgroundColor) into.place.backgroundColor = p.backgroundColor;
}

// Going back re-places objects from scratch, so whatever a Place tag leaves
// out takes its default value rather than the one the object has now.
void fillPlaceDefaults(swf::PlaceObject& p) {
    if (!p.matrix) p.matrix = swf::Matrix{};
    if (!p.colorTransform) p.colorTransform = swf::ColorTransform{};
    if (!p.ratio) p.ratio = 0;
    if (!p.clipDepth) p.clipDepth = 0;
    if (!p.blendMode) p.blendMode = swf::BlendMode::Normal;
    if (!p.filters) p.filters = std::vector<swf::Filter>{};
}

}  // namespace

MovieClip::MovieClip(const Character* c, const Timeline* timeline)
    : DisplayObject(ObjectKind::MovieClip, c), timeline_(timeline) {}

DisplayObject* MovieClip::childAt(int depth) const {
    auto it = children_.find(depth);
    return it == children_.end() ? nullptr : it->second.get();
}

DisplayObject* MovieClip::childByName(const std::string& name) const {
    QString wanted = QString::fromStdString(name);
    for (const auto& [depth, child] : children_)
        if (QString::fromStdString(child->name).compare(wanted, Qt::CaseInsensitive) == 0) return child.get();
    return nullptr;
}

void MovieClip::setChild(int depth, std::shared_ptr<DisplayObject> child) {
    child->depth = depth;
    child->setParent(this);
    children_[depth] = std::move(child);
}

void MovieClip::removeChild(int depth, Player& player) {
    auto it = children_.find(depth);
    if (it == children_.end()) return;
    player.queueClipEvent(it->second, swf::ClipEvent::Unload);
    it->second->setParent(nullptr);
    children_.erase(it);
}

std::shared_ptr<DisplayObject> MovieClip::instantiate(Player& player, swf::CharacterId id, const swf::PlaceObject& p,
                                                      const swf::PlaceObject* origin, int frame) {
    auto child = createDisplayObject(player.library().get(id), player);
    if (!child) return nullptr;
    child->applyPlacement(p);
    child->placeFrame = frame;
    if (origin && origin->clipActions) child->clipActions = &*origin->clipActions;
    setChild(p.depth, child);
    player.queueClipEvent(child, swf::ClipEvent::Initialize);
    player.queueClipEvent(child, swf::ClipEvent::Load);
    if (auto* clip = dynamic_cast<MovieClip*>(child.get())) clip->enterFirstFrame(player);
    return child;
}

void MovieClip::place(Player& player, const swf::PlaceObject& p, int frame) {
    DisplayObject* existing = childAt(p.depth);
    switch (p.action) {
    case swf::PlaceAction::Place:
        if (existing) removeChild(p.depth, player);
        instantiate(player, p.characterId, p, &p, frame);
        break;
    case swf::PlaceAction::Modify:
        if (existing) existing->applyPlacement(p);
        break;
    case swf::PlaceAction::Replace:
        if (!existing) break;
        if (const Character* c = player.library().get(p.characterId); c && existing->replaceCharacter(c)) {
            existing->applyPlacement(p);
        } else if (c) {
            // A different kind of object: a new one takes over the old one's placement.
            auto old = children_[p.depth];
            removeChild(p.depth, player);
            auto child = instantiate(player, p.characterId, p, &p, old->placeFrame);
            if (child) {
                if (!p.matrix) child->matrix = old->matrix;
                if (!p.colorTransform) child->colorTransform = old->colorTransform;
                if (child->name.empty()) child->name = old->name;
            }
        }
        break;
    }
}

void MovieClip::runFrame(Player& player, int frame, bool placeObjects) {
    const auto [begin, end] = timeline_->frames[std::size_t(frame)];
    auto self = shared_from_this();
    for (std::size_t i = begin; i < end; ++i) {
        const auto& body = (*timeline_->tags)[i].body;
        if (auto* p = std::get_if<swf::PlaceObject>(&body)) {
            if (placeObjects) place(player, *p, frame);
        } else if (auto* r = std::get_if<swf::RemoveObject>(&body)) {
            if (placeObjects) removeChild(r->depth, player);
        } else if (auto* a = std::get_if<swf::DoAction>(&body)) {
            player.queueAction({self, a->actions, QueuedAction::Frame, 0});
        } else if (auto* a = std::get_if<swf::DoInitAction>(&body)) {
            player.queueAction({self, a->actions, QueuedAction::Init, a->spriteId});
        } else if (std::holds_alternative<swf::StartSound>(body) || std::holds_alternative<swf::StartSound2>(body) ||
                   std::holds_alternative<swf::SoundStreamHead>(body) ||
                   std::holds_alternative<swf::SoundStreamBlock>(body)) {
            player.queueSound({self, &body});
        }
    }
}

void MovieClip::enterFirstFrame(Player& player) {
    if (entered_) return;
    entered_ = true;
    Player::NestingGuard guard(player);
    if (!guard) return;  // a clip nested too deeply stays empty
    currentFrame_ = 0;
    runFrame(player, 0, true);
}

void MovieClip::advance(Player& player) {
    // Children placed during this tick have just shown their first frame.
    std::vector<std::shared_ptr<DisplayObject>> before;
    before.reserve(children_.size());
    for (const auto& [depth, child] : children_) before.push_back(child);

    if (handlesEvent(swf::ClipEvent::EnterFrame))
        player.queueClipEvent(shared_from_this(), swf::ClipEvent::EnterFrame);
    if (playing_ && totalFrames() > 1) {
        if (currentFrame_ + 1 >= totalFrames()) {
            gotoFrame(player, 0);
        } else {
            ++currentFrame_;
            runFrame(player, currentFrame_, true);
        }
    }
    for (const auto& child : before) {
        if (child->parent() != this) continue;  // removed meanwhile
        if (auto* clip = dynamic_cast<MovieClip*>(child.get()))
            clip->advance(player);
        else if (auto* button = dynamic_cast<Button*>(child.get()))
            button->advance(player);
    }
}

void MovieClip::gotoFrame(Player& player, int frame) {
    frame = std::clamp(frame, 0, totalFrames() - 1);
    if (frame == currentFrame_) return;
    bool rewind = frame < currentFrame_;
    std::map<int, GotoPlacement> placements;
    for (int f = rewind ? 0 : currentFrame_ + 1; f <= frame; ++f) {
        const auto [begin, end] = timeline_->frames[std::size_t(f)];
        for (std::size_t i = begin; i < end; ++i) {
            const auto& body = (*timeline_->tags)[i].body;
            if (auto* p = std::get_if<swf::PlaceObject>(&body)) {
                auto it = placements.find(p->depth);
                if (p->action == swf::PlaceAction::Place || it == placements.end()) {
                    GotoPlacement g{*p, p->action == swf::PlaceAction::Place ? p : nullptr, f};
                    g.place.clipActions.reset();
                    if (rewind && p->action == swf::PlaceAction::Place) fillPlaceDefaults(g.place);
                    placements[p->depth] = std::move(g);
                } else {
                    mergeInto(it->second, *p);
                }
            } else if (auto* r = std::get_if<swf::RemoveObject>(&body)) {
                placements.erase(r->depth);
                if (!rewind) removeChild(r->depth, player);
            }
        }
    }
    if (rewind) {
        std::vector<int> dead;
        for (const auto& [depth, child] : children_)
            if (child->placeFrame > frame || (child->placeFrame >= 0 && !placements.count(depth)))
                dead.push_back(depth);
        for (int depth : dead) removeChild(depth, player);
    }
    for (auto& [depth, g] : placements) {
        DisplayObject* existing = childAt(depth);
        const swf::PlaceObject& p = g.place;
        bool reuse = existing && (p.action == swf::PlaceAction::Modify ||
                                  (rewind && (existing->characterId() == p.characterId ||
                                              existing->replaceCharacter(player.library().get(p.characterId)))));
        if (reuse) {
            existing->applyPlacement(p);
        } else if (p.action == swf::PlaceAction::Replace && existing) {
            if (const Character* c = player.library().get(p.characterId); c && existing->replaceCharacter(c))
                existing->applyPlacement(p);
        } else if (p.action != swf::PlaceAction::Modify) {
            if (existing) removeChild(depth, player);
            instantiate(player, p.characterId, p, g.origin, g.frame);
        }
    }
    currentFrame_ = frame;
    runFrame(player, frame, false);
}

QRectF MovieClip::localBounds() const {
    QRectF r;
    for (const auto& [depth, child] : children_) {
        QRectF b = child->matrix.mapRect(child->localBounds());
        if (b.isNull()) continue;
        r = r.isNull() ? b : r.united(b);
    }
    return r;
}

}  // namespace flash
