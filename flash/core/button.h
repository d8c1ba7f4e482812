// A button: the objects of one of its states (up, over, down) on show.
// Mouse handling and button actions come with the control layer; the button
// shows its up state until told otherwise.
#pragma once

#include "flash/core/movie_clip.h"

namespace flash {

class Player;

class Button : public DisplayObject {
public:
    Button(const Character* c, Player& player);

    std::uint8_t state() const { return state_; }
    // swf::ButtonState::Up, Over or Down; rebuilds the objects on show.
    void setState(std::uint8_t state, Player& player);
    const DisplayList& children() const { return children_; }
    // Advances the movie clips of the state on show.
    void advance(Player& player);
    QRectF localBounds() const override;

private:
    std::uint8_t state_ = 0;
    DisplayList children_;
};

}  // namespace flash
