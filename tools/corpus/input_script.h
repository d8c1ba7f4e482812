// The input a corpus movie is played with (its input.json): key presses,
// typing, the clipboard and mouse use, split into the frames they come
// after by "Wait" entries.
#pragma once

#include <QPointF>
#include <QString>
#include <string>
#include <vector>

#include "flash/core/player.h"

namespace corpus {

struct InputEvent {
    enum class Kind {
        KeyDown,
        KeyUp,
        MouseMove,
        MouseDown,
        MouseUp,
        TextInput,
        TextControl,
        SetClipboard,
        FocusLost,
        Wait
    };
    Kind kind = Kind::Wait;
    int keyCode = 0, charCode = 0, location = 0;
    char32_t codepoint = 0;
    flash::TextControl control = flash::TextControl::Enter;
    QString text;      // what goes on the clipboard
    QPointF position;  // stage pixels
    flash::Player::MouseButton button = flash::Player::MouseButton::Left;
    bool doubleClick = false;  // a press that is the second of a double click
};

// The events of an input.json in order; empty when the file is missing.
// Entries this harness does not know are left out.
std::vector<InputEvent> readInputScript(const std::string& path);

// Feeds the events from `next` up to the next Wait (which it consumes) and
// returns where the following frame's events start.
std::size_t feedFrameInput(flash::Player& player, const std::vector<InputEvent>& events, std::size_t next);

}  // namespace corpus
