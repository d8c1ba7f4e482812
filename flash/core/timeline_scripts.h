// What the player asks of the machine whose scripts the timeline carries
// (ActionScript 1 and 2): the script objects of the display objects, the
// actions of frames, clip events and buttons, the methods scripts put on
// objects, and what input and loading tell the scripts. The machine's
// bindings implement it (flash/avm1/player), so the player needs none of
// the machine's types.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kinolux::script {
struct ScriptLimits;
}

namespace flash {

struct ActionCode;
class DisplayObject;
class EditText;
class MovieClip;
class Player;

// The object of properties a script hands to a display object it makes
// (attachMovie's init object); only the machine knows what it holds.
struct InitObject;

// The value of the variable a text field shows, as the field takes it.
struct VariableText {
    bool undefined = true;
    bool object = false;
    QString text;  // the value as text (what an object makes of itself too)
};

class TimelineScripts {
public:
    virtual ~TimelineScripts() = default;

    // ---- script objects ----
    // Makes the script object of an object on the stage and runs its
    // constructor, with the init object a script passed (null for none).
    virtual void construct(DisplayObject& object, const InitObject* init) = 0;
    // Ends the tie of an object with its script object: references scripts
    // still hold find it by its path from then on.
    virtual void detach(DisplayObject& object) = 0;

    // ---- actions and methods ----
    virtual void runInitActions(DisplayObject& clip, const ActionCode& code) = 0;
    virtual void runFrameActions(DisplayObject& clip, const ActionCode& code) = 0;
    virtual void runClipActions(DisplayObject& clip, const ActionCode& code) = 0;
    virtual void runButtonActions(DisplayObject& button, const ActionCode& code) = 0;
    // Runs `body`, which runs queued actions and methods, with their time
    // limit counted over all of them together.
    virtual void runAsOne(const std::function<void()>& body) { body(); }
    // A method scripts put on an object (onLoad, onPress...).
    virtual void callMethod(DisplayObject& object, std::u16string_view name) = 0;
    virtual bool hasMethod(DisplayObject& object, std::u16string_view name) = 0;
    // The function an "asfunction:" link names, looked up from a timeline.
    virtual void callLinkFunction(MovieClip& timeline, const QString& name, const std::optional<QString>& argument) = 0;
    // A property scripts set on an object, as a flag (nullopt when unset)
    // and as a number (nullopt when it holds no finite number).
    virtual std::optional<bool> flag(DisplayObject& object, std::u16string_view name) = 0;
    virtual std::optional<double> number(DisplayObject& object, std::u16string_view name) = 0;
    // The variable a text field names, on the timeline that holds the field.
    virtual VariableText textVariable(EditText& field) = 0;
    virtual void setTextVariable(EditText& field, const QString& text) = 0;

    // ---- what scripts hear ----
    virtual void mouseMoved() = 0;
    virtual void mousePressed() = 0;
    virtual void mouseReleased() = 0;
    virtual void keyPressed() = 0;
    virtual void keyReleased() = 0;
    virtual void focusChanged(DisplayObject* old, DisplayObject* now) = 0;
    virtual void textChanged(EditText& field) = 0;
    // The timers due on the player's clock.
    virtual void runTimers() = 0;
    // Whether Tab shows its yellow rectangle, as scripts set _focusrect.
    virtual bool showsFocusRect() = 0;

    // ---- the world outside ----
    // A link in a text field to an address, as getURL asks for one.
    virtual void getUrl(const QString& url, const QString& window) = 0;
    // Loaded variables for a clip, url-encoded.
    virtual void deliverVariables(MovieClip& clip, std::string_view text) = 0;
    // The text a LoadVars or XML request asked for; nullopt when it failed.
    virtual void completeRequest(std::uint32_t id, std::optional<std::string> text) = 0;
    // Whether scripts read loaded text in the system's code page
    // (System.useCodepage).
    virtual bool usesCodepage() = 0;
};

// Told how a movie a script loads into a clip or level comes along
// (MovieClipLoader); only the machine knows who listens.
class LoadListener {
public:
    virtual ~LoadListener() = default;
    // The file is missing; `clip` is the target when there is one.
    virtual void failed(MovieClip* clip) = 0;
    // The movie took the clip's place, `bytes` long.
    virtual void loaded(MovieClip& clip, double bytes) = 0;
    // The movie has been through its first frame.
    virtual void initialized(MovieClip& clip) = 0;
};

// The ActionScript 1/2 machine's (flash/avm1/player).
std::unique_ptr<TimelineScripts> makeTimelineScripts(Player& player, const kinolux::script::ScriptLimits& limits,
                                                     std::uint32_t randomSeed);

}  // namespace flash
