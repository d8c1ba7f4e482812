// What the player knows of the mouse and keyboard its owner feeds it: the
// pointer, the keys held, the object under the pointer and the one pressed,
// a clip being dragged and the focus.
#pragma once

#include <QPointF>
#include <QRectF>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string_view>

namespace flash {

class DisplayObject;

// How a change of the mouse's state over a button (or a clip with button
// handlers) reaches it: DefineButton2 action conditions, clip event bits,
// the script method, and the button state it leads to.
struct MouseTransition {
    std::uint16_t condition;
    std::uint32_t clipEvent;
    std::u16string_view method;
    std::uint8_t state;
};

// The editing keys of a text field, as the owner's keyboard reports them
// apart from the characters typed.
enum class TextControl {
    MoveLeft,
    MoveRight,
    MoveLeftLine,
    MoveRightLine,
    MoveLeftDocument,
    MoveRightDocument,
    SelectLeft,
    SelectRight,
    SelectAll,
    Copy,
    Cut,
    Paste,
    Backspace,
    Delete,
    Enter
};

struct Drag {
    std::weak_ptr<DisplayObject> object;
    QPointF offset;  // object position minus pointer, in the parent's pixels
    std::optional<QRectF> constraint;  // in the parent's pixels
};

struct Input {
    QPointF mouse;  // stage pixels
    bool mouseIsDown = false;
    std::set<int> keysDown;
    std::set<int> toggled;  // flipped on each press of the key
    int lastKeyCode = 0, lastCharCode = 0;
    // The button or clip with mouse handlers under the pointer, and the one
    // the pointer went down on (kept until it goes up).
    std::weak_ptr<DisplayObject> hovered;
    std::weak_ptr<DisplayObject> pressed;
    std::optional<Drag> drag;
    // What the last drag ended over: the clip keeps that as its drop target.
    std::weak_ptr<DisplayObject> dropped, droppedOn;
    std::weak_ptr<DisplayObject> focus;
    // What Copy and Cut took and Paste gives; the player's own, never the
    // desktop's.
    QString clipboard;

    void press(int keyCode);
    bool isKeyDown(int code) const { return keysDown.count(code) != 0; }
    bool isKeyToggled(int code) const { return toggled.count(code) != 0; }
    // Drops every reference to an object leaving the stage.
    void forget(const DisplayObject& object);
};

}  // namespace flash
