// A movie clip: the main timeline or a placed sprite, with its own frames,
// its display list and the goto rules of the Flash player.
#pragma once

#include <map>
#include <memory>

#include "flash/core/display_object.h"
#include "flash/core/timeline.h"

namespace flash {

class Player;

using DisplayList = std::map<int, std::shared_ptr<DisplayObject>>;  // by depth

class MovieClip : public DisplayObject {
public:
    MovieClip(const Character* c, const Timeline* timeline);

    const Timeline& timeline() const { return *timeline_; }
    int currentFrame() const { return currentFrame_; }  // 0-based
    int totalFrames() const { return timeline_->totalFrames(); }
    bool isPlaying() const { return playing_; }
    void play() { playing_ = true; }
    void stop() { playing_ = false; }

    const DisplayList& children() const { return children_; }
    DisplayObject* childAt(int depth) const;
    DisplayObject* childByName(const std::string& name) const;
    void setChild(int depth, std::shared_ptr<DisplayObject> child);
    void removeChild(int depth, Player& player);

    // Runs the first frame; called once when the clip is created.
    void enterFirstFrame(Player& player);
    // One tick: the next frame of this clip (looping at the end) and then
    // of every child that existed before this tick.
    void advance(Player& player);
    // Goes to a 0-based frame (clamped to the timeline), rebuilding the
    // display list as the Flash player does: going back starts again from
    // the first frame, objects that stay on keep their identity, and only
    // the target frame's actions are queued.
    void gotoFrame(Player& player, int frame);

    QRectF localBounds() const override;

private:
    // Runs a frame's tags; a goto has already applied its placements.
    void runFrame(Player& player, int frame, bool placeObjects);
    void place(Player& player, const swf::PlaceObject& p, int frame);
    std::shared_ptr<DisplayObject> instantiate(Player& player, swf::CharacterId id, const swf::PlaceObject& p,
                                               const swf::PlaceObject* origin, int frame);

    const Timeline* timeline_;
    int currentFrame_ = 0;
    bool playing_ = true;
    bool entered_ = false;
    DisplayList children_;
};

}  // namespace flash
