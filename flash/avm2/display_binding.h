// What a display object of the player gives the script object that stands
// for it: the timeline commands of a MovieClip and its frame numbers.
#pragma once

#include <map>
#include <optional>
#include <vector>

#include "flash/avm2/object.h"

namespace kinolux::avm2 {

class DisplayBinding {
public:
    virtual ~DisplayBinding() = default;
    virtual void play() = 0;
    virtual void stop() = 0;
    // A 1-based frame number (counted in `scene`, by name, or else in the
    // current scene) or a label.
    virtual void gotoFrame(const Value& frame, bool play, const Value& scene = Value()) = 0;
    // The first frame of the next (or previous) scene; nothing past the
    // last, the first scene's own going back from it.
    virtual void stepScene(int step) = 0;
    virtual int currentFrame() = 0;  // 1-based, in the current scene
    virtual int totalFrames() = 0;
    // The script object of the container holding this one, through which
    // events bubble; null at the top.
    virtual Object* parentObject() { return nullptr; }
    // A script gave a frame (0-based) a frame script or took it away;
    // `hadScript` says whether the frame had one before.
    virtual void frameScriptChanged(int /*frame*/, bool /*hadScript*/) {}
};

// The script object of a display object: a MovieClip's frame scripts and
// the binding to the display object (null for one a script made and never
// placed, or one whose display object is gone).
class DisplayScriptObject : public Object {
public:
    using Object::Object;
    struct Listener {
        String type;
        Value function;
        bool capture = false;
        int priority = 0;
    };
    DisplayBinding* binding = nullptr;
    std::map<int, Value> frameScripts;  // 0-based frame
    std::vector<Listener> listeners;    // an EventDispatcher's, by priority then age
    // An InteractiveObject's say in what the mouse and the focus reach.
    struct Interaction {
        bool mouseEnabled = true, mouseChildren = true, doubleClickEnabled = false;
        bool buttonMode = false, useHandCursor = true;
        std::optional<bool> tabEnabled;  // unset: what the kind of object takes
        int tabIndex = -1;
        Value focusRect = Value::null();
    } interaction;
};

}  // namespace kinolux::avm2
