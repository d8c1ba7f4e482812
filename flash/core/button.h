// A button: the objects of one of its states (up, over, down) on show, its
// hit area, and the state changes the mouse drives.
#pragma once

#include "flash/core/movie_clip.h"

namespace flash {

class Button : public DisplayObject {
public:
    Button(const Character* c, Player& player);

    const swf::DefineButton& definition() const { return *character_->as<swf::DefineButton>(); }
    std::uint8_t state() const { return state_; }
    // swf::ButtonState::Up, Over or Down; rebuilds the objects on show,
    // keeping those the new state shares with the old one.
    void setState(std::uint8_t state);
    const DisplayList& children() const { return children_; }
    // Takes the objects on show off the stage (the button is removed).
    void unloadChildren();

    bool enabled = true;
    bool useHandCursor = true;

    QRectF localBounds() const override;
    // The hit area: the shapes of the hit-test state.
    bool hitTestLocal(QPointF p, bool shapeFlag) const override;

private:
    std::uint8_t state_ = 0;
    DisplayList children_;
    std::vector<std::pair<const swf::ButtonRecord*, std::shared_ptr<DisplayObject>>> shown_;
    std::vector<std::pair<const swf::ButtonRecord*, std::shared_ptr<DisplayObject>>> hitArea_;
};

}  // namespace flash
