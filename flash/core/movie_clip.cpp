#include "flash/core/movie_clip.h"

#include <algorithm>

#include "flash/core/player.h"

namespace flash {
namespace {

using kinolux::script::String;

bool isSoundTag(const swf::TagBody& body) {
    return std::holds_alternative<swf::StartSound>(body) || std::holds_alternative<swf::StartSound2>(body) ||
           std::holds_alternative<swf::SoundStreamHead>(body) || std::holds_alternative<swf::SoundStreamBlock>(body);
}

// A kept object going back to its first placement takes the defaults for
// whatever that tag leaves out, as a fresh placement would.
void resetPlacement(DisplayObject& o) {
    o.setMatrix(QTransform());
    o.colorTransform = ColorTransform{};
    o.ratio = 0;
    o.clipDepth = 0;
    o.blendMode = swf::BlendMode::Normal;
    o.filters.clear();
}

// Labels match without regard to the case of ASCII letters only: "À" and
// "à" name different frames.
bool sameLabel(std::u16string_view a, std::u16string_view b) {
    auto fold = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char16_t x, char16_t y) { return fold(x) == fold(y); });
}

}  // namespace

MovieClip::MovieClip(const Character* c, const Timeline* timeline, const Library& library, Player& player)
    : DisplayObject(ObjectKind::MovieClip, c, player), timeline_(timeline), library_(&library) {
    setBinding(makeClipBinding(*this));
}

MovieClip::~MovieClip() = default;

DisplayObject* MovieClip::childAt(int depth) const {
    auto it = children_.find(depth);
    return it == children_.end() ? nullptr : it->second.get();
}

DisplayObject* MovieClip::childByName(const String& name, bool caseSensitive) const {
    if (name.empty()) return nullptr;  // unnamed shapes are not found by name
    for (const auto& [depth, child] : children_)
        if (child->name.equals(name.view(), caseSensitive)) return child.get();
    return nullptr;
}

void MovieClip::runFrame() {
    // Sprites that contain themselves stop growing at a nesting depth: the
    // innermost stay empty.
    if (nesting() > Player::kMaxNesting) return;
    if (!initialized_) {
        initialized_ = true;
        player().queueClipEvent(*this, swf::ClipEvent::Load);
    } else {
        player().queueClipEvent(*this, swf::ClipEvent::EnterFrame);
    }
    // The first frame shows even when a constructor stopped the clip.
    if (frame_ == 0) {
        applyFrame(1, true);
        return;
    }
    if (!playing_) return;
    const int total = totalFrames();
    if (frame_ < total) applyFrame(frame_ + 1, true);
    else if (total > 1 && timeline_->complete) gotoFrame(1, true);
}

void MovieClip::applyFrame(int frame, bool runScripts) {
    if (frame > totalFrames()) {
        frame_ = frame;
        return;
    }
    const auto [begin, end] = timeline_->frames[std::size_t(frame - 1)];
    // A clip a script made builds its first frame before it joins the
    // stage; one on the stage stops where a script took it off.
    const bool onStageAtStart = onStage();
    auto going = [&] { return onStage() || !onStageAtStart; };
    // An ActionScript 3 timeline takes off what the next frame removes
    // while still on the frame before; the scripts hearing of it see so.
    const bool removesFirst = !library_->runsActionScript1();
    if (removesFirst)
        for (std::size_t i = begin; i < end && going(); ++i)
            if (const auto* remove = (*timeline_->tags)[i].get<swf::RemoveObject>()) removeByTimeline(remove->depth);
    frame_ = frame;
    auto self = weak_from_this();
    for (std::size_t i = begin; i < end && going(); ++i) {
        const auto& body = (*timeline_->tags)[i].body;
        if (const auto* placement = std::get_if<swf::PlaceObject>(&body)) {
            place(*placement);
        } else if (const auto* remove = std::get_if<swf::RemoveObject>(&body)) {
            if (!removesFirst) removeByTimeline(remove->depth);
        } else if (const auto* action = std::get_if<swf::DoAction>(&body)) {
            if (runScripts && library_->runsActionScript1()) player().queueFrameActions(*this, library_->code(action->actions));
        } else if (const auto* init = std::get_if<swf::DoInitAction>(&body)) {
            if (library_->runsActionScript1()) player().runInitActions(*this, library_->code(init->actions));
        } else if (isSoundTag(body)) {
            player().queueSound({self, &body, nullptr, library_});
        }
    }
}

void MovieClip::gotoFrame(int frame, bool play) { seek(frame, play, true); }

void MovieClip::seek(int frame, bool play, bool runScripts) {
    const int total = totalFrames();
    const bool reachable = runScripts && frame <= total;  // beyond the end: the last frame, without its scripts
    frame = std::clamp(frame, 1, total);
    playing_ = play;
    if (frame == frame_) return;
    // Going back rebuilds the timeline's depths from the first frame;
    // going forward sums up the frames passed over what is there.
    const bool rewind = frame < frame_;
    const int first = rewind ? 1 : frame_ + 1;

    // What the frames passed do to each depth, in the order they first do it.
    struct Command {
        int depth;
        int frame;
        const swf::PlaceObject* place;  // makes the object; null: changes the one there
        std::vector<const swf::PlaceObject*> changes;
        DisplayObject* kept = nullptr;  // going back: the object that stays for this placement
    };
    std::vector<Command> commands;
    auto commandAt = [&](int depth) -> Command* {
        for (Command& c : commands)
            if (c.depth == depth) return &c;
        return nullptr;
    };
    for (int f = first; f <= frame; ++f) {
        const auto [begin, end] = timeline_->frames[std::size_t(f - 1)];
        for (std::size_t i = begin; i < end; ++i) {
            const auto& body = (*timeline_->tags)[i].body;
            if (const auto* placement = std::get_if<swf::PlaceObject>(&body)) {
                const int depth = placement->depth;
                Command* c = commandAt(depth);
                const bool occupied = c || (!rewind && children_.count(depth));
                if (placement->action == swf::PlaceAction::Modify ||
                    (placement->action == swf::PlaceAction::Replace && occupied)) {
                    if (c) c->changes.push_back(placement);
                    else if (occupied) commands.push_back({depth, f, nullptr, {placement}});
                } else if (!occupied) {
                    commands.push_back({depth, f, placement, {}});
                }
            } else if (const auto* remove = std::get_if<swf::RemoveObject>(&body)) {
                std::erase_if(commands, [&](const Command& c) { return c.depth == remove->depth; });
                if (!rewind) removeByTimeline(remove->depth);
            } else if (const auto* init = std::get_if<swf::DoInitAction>(&body)) {
                if (library_->runsActionScript1()) player().runInitActions(*this, library_->code(init->actions));
            }
        }
    }
    if (rewind) {
        // The timeline's depths keep only the objects it placed that match
        // the placement the target frame has there; what scripts put at
        // those depths goes, and the depths scripts own stay as they are.
        std::vector<int> doomed;
        for (const auto& [depth, child] : children_) {
            if (depth < 0 || depth >= kTimelineDepthOffset) continue;
            Command* c = commandAt(depth);
            if (c && c->place && keepsOnRewind(*child, *c->place, c->changes)) c->kept = child.get();
            else doomed.push_back(depth);
        }
        // Scripts hearing of the removals find the clip on its new frame.
        frame_ = frame;
        for (int depth : doomed) removeByTimeline(depth);
    }
    frame_ = frame;

    auto run = [&](const Command& c) {
        DisplayObject* child = childAt(c.depth);
        if (c.place) {
            if (child && child == c.kept) {
                // The kept object goes back to the placement as if made anew,
                // keeping its name and whatever transform a script gave it.
                if (!child->transformedByScript) resetPlacement(*child);
                child->applyPlacement(*c.place, true);
                child->placedBy = c.place;
            } else if (child) {
                return;  // something took the depth meanwhile
            } else {
                place(*c.place);
                child = childAt(c.depth);
            }
        }
        if (!child) return;
        for (const swf::PlaceObject* change : c.changes) place(*change);
    };
    for (const Command& c : commands)
        if (c.frame < frame && onStage()) run(c);
    auto self = weak_from_this();
    const auto [begin, end] = timeline_->frames[std::size_t(frame - 1)];
    for (std::size_t i = begin; i < end; ++i) {
        const auto& body = (*timeline_->tags)[i].body;
        if (const auto* action = std::get_if<swf::DoAction>(&body)) {
            if (reachable && library_->runsActionScript1()) player().queueFrameActions(*this, library_->code(action->actions));
        } else if (isSoundTag(body)) {
            player().queueSound({self, &body, nullptr, library_});
        }
    }
    for (const Command& c : commands)
        if (c.frame >= frame && onStage()) run(c);
}

// An object the timeline placed survives going back when its ratio is the
// one the target frame gives its depth (the authoring tool numbers the
// instances of a layer this way) and it is of the kind that placement
// makes: the same character, or a clip for a clip.
bool MovieClip::keepsOnRewind(const DisplayObject& child, const swf::PlaceObject& place,
                              const std::vector<const swf::PlaceObject*>& changes) const {
    if (!child.placedBy) return false;
    std::uint16_t ratio = place.ratio.value_or(0);
    for (const swf::PlaceObject* change : changes)
        if (change->ratio) ratio = *change->ratio;
    if (child.ratio != ratio) return false;
    const Character* wanted = library_->get(place.characterId);
    if (!wanted) return false;
    return wanted == child.character() ||
           (wanted->kind == CharacterKind::Sprite && child.kind() == ObjectKind::MovieClip);
}

std::optional<int> MovieClip::frameOfLabel(const String& label) const {
    for (const auto& [name, frame] : timeline_->labels)
        if (sameLabel(label.view(), String::fromSwf(name, library_->swfVersion()).view())) return frame + 1;
    return std::nullopt;
}

std::vector<ActionCode> MovieClip::frameActions(int frame) const {
    std::vector<ActionCode> out;
    if (frame < 1 || frame > totalFrames()) return out;
    const auto [begin, end] = timeline_->frames[std::size_t(frame - 1)];
    for (std::size_t i = begin; i < end; ++i)
        if (const auto* action = (*timeline_->tags)[i].get<swf::DoAction>()) out.push_back(library_->code(action->actions));
    return out;
}

void MovieClip::place(const swf::PlaceObject& tag) {
    const int depth = tag.depth;
    DisplayObject* existing = childAt(depth);
    if (tag.action == swf::PlaceAction::Modify || (tag.action == swf::PlaceAction::Replace && existing)) {
        if (!existing) return;
        if (tag.action == swf::PlaceAction::Replace) {
            const Character* c = library_->get(tag.characterId);
            if (c && c != existing->character() && !existing->replaceCharacter(c)) {
                // Another kind of object takes over the old one's placement.
                auto old = children_[depth];
                removeByTimeline(depth);
                auto child = createDisplayObject(c, player());
                if (!child) return;
                child->setMatrix(old->matrix());
                child->colorTransform = old->colorTransform;
                child->name = old->name;
                child->placedBy = old->placedBy;
                child->applyPlacement(tag, true);
                adopt(std::move(child), depth, nullptr);
                return;
            }
        }
        existing->applyPlacement(tag, true);
        return;
    }
    if (existing) {
        // The player leaves an occupied depth alone and says so in its log.
        player().trace("Warning: Failed to place object at depth " + std::to_string(tag.depth) + ".");
        return;
    }
    placeNew(tag);
}

void MovieClip::placeNew(const swf::PlaceObject& tag) {
    const Character* c = library_->get(tag.characterId);
    auto child = createDisplayObject(c, player());
    if (!child) return;
    child->setParent(this);
    child->applyPlacement(tag);
    if (!tag.name && child->takesInstanceName()) child->name = player().nextInstanceName();
    child->placedBy = &tag;
    if (tag.clipActions) {
        child->clipActions = &*tag.clipActions;
        child->actionsLibrary = library_;
    }
    adopt(std::move(child), tag.depth, nullptr);
}

DisplayObject* MovieClip::adopt(std::shared_ptr<DisplayObject> child, int depth, const InitObject* init) {
    if (children_.count(depth)) removeChild(depth);
    if (auto it = children_.find(depth); it != children_.end()) {
        // An unload handler put something there again; it makes way.
        player().takeOffStage(*it->second);
        children_.erase(it);
    }
    child->depth = depth;
    child->setParent(this);
    children_[depth] = child;
    if (!onStage()) return child.get();
    if (!player().putOnStage(*child, init)) return nullptr;
    if (child->kind() == ObjectKind::MovieClip) static_cast<MovieClip&>(*child).bringChildrenOnStage();
    return child.get();
}

void MovieClip::bringChildrenOnStage() {
    std::vector<std::shared_ptr<DisplayObject>> offStage;
    for (const auto& [depth, child] : children_)
        if (!child->onStage()) offStage.push_back(child);
    for (const auto& child : offStage) {
        if (child->parent() != this || child->onStage() || !onStage()) continue;
        if (!player().putOnStage(*child, nullptr)) continue;
        if (child->kind() == ObjectKind::MovieClip) static_cast<MovieClip&>(*child).bringChildrenOnStage();
    }
}

void MovieClip::dropChild(DisplayObject& child) {
    auto it = children_.find(child.depth);
    if (it == children_.end() || it->second.get() != &child) return;
    auto keep = it->second;
    children_.erase(it);
    player().leaveStageNow(*keep);
}

void MovieClip::removeChild(int depth) {
    auto it = children_.find(depth);
    if (it == children_.end()) return;
    std::shared_ptr<DisplayObject> child = it->second;
    if (child->removalPending) return;  // on its way out already
    if (player().delaysRemoval(*child)) {
        // A clip with unload handlers stays, out of the way at a depth of
        // its own, until its handlers have run at the end of the frame.
        const int parked = kRemovedDepthBase - depth;
        if (auto other = children_.find(parked); other != children_.end()) dropChild(*other->second);
        it = children_.find(depth);
        children_.erase(it);
        child->depth = parked;
        child->placedBy = nullptr;
        children_[parked] = child;
        player().queueRemoval(*child);
        return;
    }
    player().takeOffStage(*child);
    it = children_.find(depth);  // the handlers may have changed the list
    if (it != children_.end() && it->second == child) children_.erase(it);
}

void MovieClip::removeByTimeline(int depth) {
    if (DisplayObject* child = childAt(depth)) {
        auto keep = child->shared_from_this();
        player().removingFromTimeline(*child);
        if (childAt(depth) != child) return;  // a listener took it off already
    }
    removeChild(depth);
}

bool MovieClip::swapChildren(int from, int to) {
    auto self = children_.find(from);
    if (self == children_.end() || from == to) return false;
    std::shared_ptr<DisplayObject> mine = std::move(self->second);
    children_.erase(self);
    if (auto other = children_.find(to); other != children_.end()) {
        std::shared_ptr<DisplayObject> theirs = std::move(other->second);
        children_.erase(other);
        theirs->depth = from;
        children_[from] = std::move(theirs);
    }
    mine->depth = to;
    children_[to] = std::move(mine);
    return true;
}

void MovieClip::replaceTimeline(const Timeline* timeline, const Library& library) {
    std::vector<int> depths;
    for (const auto& [depth, child] : children_) depths.push_back(depth);
    for (int depth : depths) removeChild(depth);
    drawing_.clear();
    timeline_ = timeline;
    library_ = &library;
    frame_ = 0;
    playing_ = true;
    initialized_ = false;
}

// A clip placed again with another sprite stays the clip it is.
bool MovieClip::replaceCharacter(const Character* c) { return c->kind == CharacterKind::Sprite; }

QRectF MovieClip::localBounds() const {
    QRectF r = drawing_.bounds();
    for (const auto& [depth, child] : children_) {
        QRectF b = child->matrix().mapRect(child->localBounds());
        if (b.isNull()) continue;
        r = r.isNull() ? b : r.united(b);
    }
    return r;
}

bool MovieClip::hitTestLocal(QPointF p, bool shapeFlag) const {
    if (!shapeFlag) return localBounds().contains(p);
    if (drawing_.hitTest(p)) return true;
    for (const auto& [depth, child] : children_) {
        if (!child->visible || child->isMask()) continue;
        bool invertible = false;
        QPointF local = child->matrix().inverted(&invertible).map(p);
        if (invertible && child->hitTestLocal(local, true)) return true;
    }
    return false;
}

}  // namespace flash
