// A button: the objects of one of its states (up, over, down) on show, its
// hit area, and the state changes the mouse drives.
#pragma once

#include <array>

#include "flash/core/movie_clip.h"

namespace flash {

class Button : public DisplayObject {
public:
    // `c` is null for a button an ActionScript 3 script makes, which has
    // no states until the script gives it some.
    Button(const Character* c, Player& player);

    const swf::DefineButton& definition() const;
    std::uint8_t state() const { return state_; }
    // swf::ButtonState::Up, Over or Down; rebuilds the objects on show,
    // keeping those the new state shares with the old one.
    void setState(std::uint8_t state);
    const DisplayList& children() const { return children_; }
    // Takes the objects on show off the stage (the button is removed).
    void unloadChildren();

    // ActionScript 3 sees one object per state (up, over, down, hit test),
    // the shown one the button's only child: one record's object, or a
    // sprite holding a state's several records, made on first use.
    bool holdsStateObjects() const { return holdsStateObjects_; }
    std::shared_ptr<DisplayObject> stateObject(std::uint8_t state);
    // A script's object for a state (null for none); the shown state's
    // goes on show at once.
    void setStateObject(std::uint8_t state, std::shared_ptr<DisplayObject> object);

    bool enabled = true;
    bool useHandCursor = true;
    bool trackAsMenu = false;

    QRectF localBounds() const override;
    // The hit area: the shapes of the hit-test state.
    bool hitTestLocal(QPointF p, bool shapeFlag) const override;

private:
    std::shared_ptr<DisplayObject> makeRecordObject(const swf::ButtonRecord& rec);
    void buildStateObjects();
    void showStateObject();

    std::uint8_t state_ = 0;
    DisplayList children_;
    std::vector<std::pair<const swf::ButtonRecord*, std::shared_ptr<DisplayObject>>> shown_;
    std::vector<std::pair<const swf::ButtonRecord*, std::shared_ptr<DisplayObject>>> hitArea_;
    bool holdsStateObjects_ = false;
    bool stateObjectsBuilt_ = false;
    std::array<std::shared_ptr<DisplayObject>, 4> stateObjects_;
};

}  // namespace flash
