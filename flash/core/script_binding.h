// What a script machine keeps for each display object: its script face,
// made with the object and living as long, so that what scripts store on
// an object lives exactly as long as the object. The core holds it without
// knowing the machine behind it.
#pragma once

#include <memory>

namespace flash {

class Button;
class DisplayObject;
class EditText;
class MovieClip;

class ScriptBinding {
public:
    ScriptBinding() = default;
    ScriptBinding(const ScriptBinding&) = delete;
    ScriptBinding& operator=(const ScriptBinding&) = delete;
    virtual ~ScriptBinding() = default;
};

// The ActionScript 1/2 machine's (flash/avm1/player).
std::unique_ptr<ScriptBinding> makeGraphicBinding(DisplayObject& object);
std::unique_ptr<ScriptBinding> makeClipBinding(MovieClip& clip);
std::unique_ptr<ScriptBinding> makeTextBinding(EditText& field);
std::unique_ptr<ScriptBinding> makeButtonBinding(Button& button);

}  // namespace flash
