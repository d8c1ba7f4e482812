// The script faces of the display objects: each object carries a binding
// the ActionScript machine talks to (host.h), made by these factories.
#pragma once

#include <memory>

#include "flash/avm1/host.h"
#include "flash/core/library.h"

namespace flash {

class Button;
class DisplayObject;
class EditText;
class Graphic;
class MovieClip;

std::unique_ptr<kinolux::avm1::DisplayObjectBinding> makeGraphicBinding(DisplayObject& object);
std::unique_ptr<kinolux::avm1::DisplayObjectBinding> makeClipBinding(MovieClip& clip);
std::unique_ptr<kinolux::avm1::DisplayObjectBinding> makeTextBinding(EditText& field);
std::unique_ptr<kinolux::avm1::DisplayObjectBinding> makeButtonBinding(Button& button);

// The display object behind a binding the machine hands back; null for
// none.
DisplayObject* displayObjectOf(const kinolux::avm1::DisplayObjectBinding* binding);

// The machine's block for action bytes the core hands out.
inline kinolux::avm1::ActionBlock actionBlock(const ActionCode& code) {
    return kinolux::avm1::ActionBlock::inside(code.movie, code.bytes, code.swfVersion);
}

}  // namespace flash
