// What the player asks of a machine that runs a whole movie's scripts beside
// the timeline rather than from its actions (ActionScript 3): the machine's
// bindings implement it, so the player needs none of the machine's types.
#pragma once

#include <memory>
#include <optional>

namespace kinolux::script {
struct ScriptLimits;
}

namespace swf {
struct Movie;
}

namespace flash {

class DisplayObject;
class MovieClip;
class Player;

class MovieScripts {
public:
    virtual ~MovieScripts() = default;
    // The movie's scripts, before its first frame is built.
    virtual void load(const swf::Movie& movie) = 0;
    // The document's object on the root, once its first frame is on the stage.
    virtual void constructRoot(MovieClip& root) = 0;
    // An object the display list has just put on the stage.
    virtual void placed(DisplayObject& object) = 0;
    // An object the timeline is about to take off the display list.
    virtual void removing(DisplayObject& object) = 0;
    // As a frame ends, on the clock of the next: the timers that came due.
    virtual void runTimers() = 0;
    // Once the timelines have moved to their next frames, before the
    // objects they placed are constructed.
    virtual void enterFrame() = 0;
    // After the frame's display lists are built.
    virtual void runFrameScripts() = 0;
    // The user's pointer moved, or its left button went down (the second
    // press of a double click: `doubleClick`) or up; the player's input
    // holds where the pointer is and what is held down.
    virtual void mouseMoved() = 0;
    virtual void mousePressed(bool doubleClick) = 0;
    virtual void mouseReleased() = 0;
    // A key went down or up (`location` as Player::keyDown's).
    virtual void keyChanged(bool down, int keyCode, int charCode, int location) = 0;
    // The focus went from one object to another (null: none).
    virtual void focusChanged(DisplayObject* old, DisplayObject* now) = 0;
    // Whether Tab reaches an object, and its place in Tab's order (unset:
    // by where it is on the stage).
    virtual bool takesTabFocus(DisplayObject& object) = 0;
    virtual std::optional<double> tabIndex(DisplayObject& object) = 0;
    // Tab (with Shift: `backwards`) is about to move the focus to `next`;
    // false when the movie's listeners prevent it.
    virtual bool allowsTabTo(DisplayObject& next, bool backwards) = 0;
};

// The ActionScript 3 machine's (flash/avm2/player).
std::unique_ptr<MovieScripts> makeAs3Scripts(Player& player, const kinolux::script::ScriptLimits& limits);

}  // namespace flash
