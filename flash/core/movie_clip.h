// A movie clip: the main timeline, a placed sprite or a clip a script made,
// with its own frames, its display list and the goto rules of the Flash
// player.
#pragma once

#include <map>
#include <memory>

#include "flash/core/display_object.h"
#include "flash/core/drawing.h"
#include "flash/core/timeline.h"

namespace flash {

struct InitObject;

using DisplayList = std::map<int, std::shared_ptr<DisplayObject>>;  // by depth

class MovieClip : public DisplayObject {
public:
    // A sprite's clip (or, with a null character, a movie's main timeline);
    // its frames' character ids resolve in `library`.
    MovieClip(const Character* c, const Timeline* timeline, const Library& library, Player& player);
    ~MovieClip() override;

    const Timeline& timeline() const { return *timeline_; }
    const Library& library() const { return *library_; }
    int currentFrame() const { return frame_ > 0 ? frame_ - 1 : 0; }  // 0-based
    int totalFrames() const { return timeline_->totalFrames(); }
    bool isPlaying() const { return playing_; }
    void play() { playing_ = true; }
    void stop() { playing_ = false; }

    const DisplayList& children() const { return children_; }
    DisplayObject* childAt(int depth) const;
    DisplayObject* childByName(const kinolux::script::String& name, bool caseSensitive) const;

    // The per-frame step of the player: the load event (first time) or the
    // enterFrame event, then the next frame of the timeline when playing.
    void runFrame();
    // Goes to a 1-based frame (clamped to the timeline), playing or stopped,
    // rebuilding the display list at once as the Flash player does: the
    // tags of the frames passed are summed up per depth and applied once,
    // going back starts again from the first frame keeping the objects whose
    // placement still holds, and only the target frame's actions are queued.
    void gotoFrame(int frame, bool play);
    // The frame a label names (1-based); labels ignore letter case.
    std::optional<int> frameOfLabel(const kinolux::script::String& label) const;
    std::vector<ActionCode> frameActions(int frame) const;

    // Places an object a script made (or duplicated) at a depth, replacing
    // what is there, and constructs its script object with the script's init
    // object (timeline_scripts.h). Returns the object, or null when its
    // constructor removed it again.
    DisplayObject* adopt(std::shared_ptr<DisplayObject> child, int depth, const InitObject* init);
    // What a script put in this clip while it was off the stage joins the
    // stage with it, all the way down.
    void bringChildrenOnStage();
    // Takes an object off the display list: its unload handlers run first.
    // A clip with onClipEvent(unload) handlers (or holding one) leaves at
    // the end of the frame instead, after its handlers ran, waiting at a
    // depth below kRemovedDepthBase.
    void removeChild(int depth);
    // The same for the timeline's own removals (a RemoveObject tag, a goto
    // leaving a placement behind), which scripts hear of first.
    void removeByTimeline(int depth);
    // Takes a child off at once without its handlers (their time is over).
    void dropChild(DisplayObject& child);
    static constexpr int kRemovedDepthBase = -32769;
    // Moves the child at one depth to another, swapping with what is there.
    bool swapChildren(int from, int to);
    // Forgets every child and starts again from the first frame of another
    // movie's timeline (loadMovie).
    void replaceTimeline(const Timeline* timeline, const Library& library);

    // The vector drawing scripts make with the drawing API, drawn under the
    // children.
    Drawing& drawing() { return drawing_; }
    const Drawing& drawing() const { return drawing_; }

    // For the root of a level: its number.
    std::optional<int> level;
    // For a movie's root (a level or a clip a movie was loaded into): where
    // the movie came from, as _url reports it.
    std::string url;
    bool lockRoot = false;
    bool enabled = true;
    bool useHandCursor = true;
    // Whether the clip has been through its first frame step (its load event).
    bool initialized() const { return initialized_; }

    bool replaceCharacter(const Character* c) override;
    QRectF localBounds() const override;
    bool hitTestLocal(QPointF p, bool shapeFlag) const override;

private:
    void seek(int frame, bool play, bool runScripts);
    void applyFrame(int frame, bool runScripts);
    void place(const swf::PlaceObject& tag);
    void placeNew(const swf::PlaceObject& tag);
    bool keepsOnRewind(const DisplayObject& child, const swf::PlaceObject& place,
                       const std::vector<const swf::PlaceObject*>& changes) const;

    const Timeline* timeline_;
    const Library* library_;
    int frame_ = 0;  // 1-based; 0 before the first frame ran
    bool playing_ = true;
    bool initialized_ = false;
    DisplayList children_;
    Drawing drawing_;
};

}  // namespace flash
