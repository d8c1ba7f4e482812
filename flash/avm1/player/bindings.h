// The script faces of the display objects: each object carries a binding
// the ActionScript machine talks to (host.h), made by these factories.
#pragma once

#include <memory>

#include "flash/avm1/host.h"

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

}  // namespace flash
