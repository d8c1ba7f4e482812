// The ActionScript 3 side of the player: the ABC of a movie's DoABC tags,
// the script objects of its display objects (the document class on the
// root), their frame scripts and frame events, on the player's clock and
// trace output.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "flash/avm1/limits.h"
#include "flash/avm2/vm.h"
#include "flash/core/movie_scripts.h"
#include "flash/swf/types.h"

namespace flash {

class DisplayBridge;
class DisplayObject;
class InputDelivery;
class Library;
class MovieClip;
class Player;

class As3Scripts : public kinolux::avm2::Host, public MovieScripts {
public:
    As3Scripts(Player& player, const kinolux::avm1::ScriptLimits& limits);
    ~As3Scripts() override;

    // Loads the ABC of every DoABC tag of the main timeline, in file order,
    // and notes the classes SymbolClass ties to characters.
    void load(const swf::Movie& movie) override;
    // Loads the ABC of a movie's DoABC tags into the machine and links its
    // symbols; the name of its document class (empty when it has none).
    std::string loadLibrary(const Library& library);
    // Builds the document class's object on the root, once its first frame
    // is on the stage.
    void constructRoot(MovieClip& root) override;
    // An object the display list has just put on the stage.
    void placed(DisplayObject& object) override;
    // The enterFrame event, to every listener, as a frame begins.
    void removing(DisplayObject& object) override;
    void runTimers() override;
    void enterFrame() override;
    // After the frame's display lists are built: the script objects of what
    // it placed, frameConstructed, the frame scripts of clips that moved to
    // another frame, then exitFrame.
    void runFrameScripts() override;
    void mouseMoved() override;
    void mousePressed(bool doubleClick) override;
    void mouseReleased() override;
    void keyChanged(bool down, int keyCode, int charCode, int location) override;
    void focusChanged(DisplayObject* old, DisplayObject* now) override;
    bool takesTabFocus(DisplayObject& object) override;
    std::optional<double> tabIndex(DisplayObject& object) override;
    bool allowsTabTo(DisplayObject& next, bool backwards) override;

    kinolux::avm2::Vm& vm() { return *vm_; }
    DisplayBridge& display() { return *display_; }
    InputDelivery& input() { return *input_; }

    void trace(std::string_view line) override;
    void scriptError(std::string_view message) override;
    // The movie's log shows what no script caught.
    void uncaughtError(std::string_view log) override { trace(log); }
    double timerMilliseconds() override;
    double wallClockMilliseconds() override;
    double localTimeOffsetMinutes(double utcMilliseconds) override;

private:
    Player& player_;
    std::unique_ptr<kinolux::avm2::Vm> vm_;
    std::unique_ptr<DisplayBridge> display_;
    std::unique_ptr<InputDelivery> input_;
    std::string documentClass_;
    bool refused_ = false;
    bool announcedLoad_ = false;  // the main movie's init and complete
};

}  // namespace flash
