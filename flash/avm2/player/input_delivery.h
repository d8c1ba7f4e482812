// The user's mouse and keys as ActionScript 3 hears them: the interactive
// object under the pointer (as mouseEnabled and mouseChildren let it be
// found), the MouseEvents of moving, pressing and releasing there, the
// over/out and roll events of the pointer going from one object to
// another, KeyboardEvents at the focus, and the focus events.
#pragma once

#include <QPointF>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "flash/avm2/display_binding.h"

namespace flash {

class DisplayBridge;
class DisplayObject;

// Whether an object shows something at a stage point (twips), its masks
// and its children's masks cut out; invisible objects show nothing when
// `skipInvisible`.
bool showsAt(const DisplayObject& object, QPointF stageTwips, bool skipInvisible);
// The visible objects within a clip that show something of their own at a
// stage point (twips), bottom first, each container before what it holds.
void objectsShowingAt(const DisplayObject& container, QPointF stageTwips, std::vector<DisplayObject*>& found);

class InputDelivery {
public:
    explicit InputDelivery(DisplayBridge& bridge) : bridge_(bridge) {}

    // The player's input holds where the pointer is and what is held down.
    void mouseMoved();
    // `doubleClick`: the press is the second of a double click.
    void mousePressed(bool doubleClick);
    void mouseReleased();
    void key(bool down, int keyCode, int charCode, int location);
    void focusChanged(DisplayObject* old, DisplayObject* now);

    // The interactive object the mouse reaches at a stage point (pixels);
    // null for the stage.
    DisplayObject* targetAt(QPointF stagePixels);
    // Whether a click or Tab gives an object the focus.
    bool takesFocus(const DisplayObject& object);
    // An object's place in Tab's order; unset when it has none.
    std::optional<double> tabIndex(const DisplayObject& object);
    // Tells the holder of the focus (or the stage) that the mouse or a key
    // is about to move it to `next`: false when a listener prevents that.
    bool allowsFocusChange(std::u16string_view type, DisplayObject* next, bool shift, int keyCode);

private:
    enum class Reach { Miss, Hit, Parent };
    struct Pick {
        Reach reach = Reach::Miss;
        DisplayObject* target = nullptr;
    };
    Pick pick(DisplayObject& object, QPointF stageTwips);
    bool isInteractive(const DisplayObject& object);
    kinolux::avm2::DisplayScriptObject::Interaction interactionOf(const DisplayObject* object);
    // The script object standing for a target: the stage for null, else the
    // nearest made script object from the object up.
    kinolux::avm2::Object* scriptTarget(DisplayObject* object);
    void dispatchMouse(DisplayObject* target, std::u16string_view type, bool bubbles, DisplayObject* related);
    void dispatchAt(kinolux::avm2::Object* target, kinolux::avm2::Value event);
    // Rolls the pointer from the hovered object onto another.
    void hover(DisplayObject* now);

    DisplayBridge& bridge_;
    std::weak_ptr<DisplayObject> hovered_;
    bool hoveringSomething_ = false;
    std::weak_ptr<DisplayObject> pressed_;
    bool pressedSomething_ = false, pressing_ = false, lastWasDoubleClick_ = false;
};

}  // namespace flash
