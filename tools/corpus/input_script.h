// The mouse and keyboard events a corpus movie is fed (its input.json):
// each runs after the frame before it, and a "Wait" holds the rest back
// until the next frame has run.
#pragma once

#include <string>
#include <vector>

namespace flash {
class Player;
}

namespace corpus {

struct InputEvent {
    enum class Kind { MouseMove, MouseDown, MouseUp, KeyDown, KeyUp, Wait, Unsupported };
    Kind kind = Kind::Unsupported;
    double x = 0, y = 0;
    int keyCode = 0, charCode = 0;
};

class InputScript {
public:
    InputScript() = default;
    // Reads input.json; events of kinds the player has no entry for are kept
    // as Unsupported and skipped. Empty (with a message) when unreadable.
    static InputScript fromFile(const std::string& path, std::string* error);
    static InputScript fromJson(const std::string& json, std::string* error);

    // Feeds the events up to the next Wait (which it consumes).
    void feedUntilWait(flash::Player& player);
    bool done() const { return next_ >= events_.size(); }
    const std::vector<InputEvent>& events() const { return events_; }

private:
    std::vector<InputEvent> events_;
    std::size_t next_ = 0;
};

}  // namespace corpus
