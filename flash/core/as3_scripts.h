// The ActionScript 3 side of the player: the ABC of a movie's DoABC tags,
// its document class built on the root clip, and the root's frame scripts,
// on the player's clock and trace output.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "flash/avm1/limits.h"
#include "flash/avm2/vm.h"
#include "flash/swf/types.h"

namespace flash {

class MovieClip;
class Player;

class As3Scripts : public kinolux::avm2::Host {
public:
    As3Scripts(Player& player, const kinolux::avm1::ScriptLimits& limits);
    ~As3Scripts() override;

    // Loads the ABC of every DoABC tag of the main timeline, in file order,
    // and notes the classes SymbolClass ties to characters.
    void load(const swf::Movie& movie);
    // Builds the document class's object on the root, once its first frame
    // is on the stage.
    void constructRoot(MovieClip& root);
    // The enterFrame event, to the root's listeners, as a frame begins.
    void enterFrame();
    // Runs the root's frame script when it has moved to another frame.
    void runFrameScripts();

    kinolux::avm2::Vm& vm() { return *vm_; }

    void trace(std::string_view line) override;
    void scriptError(std::string_view message) override;
    double timerMilliseconds() override;
    double wallClockMilliseconds() override;
    double localTimeOffsetMinutes(double utcMilliseconds) override;

private:
    class ClipBinding;

    Player& player_;
    std::unique_ptr<kinolux::avm2::Vm> vm_;
    std::string documentClass_;
    std::unique_ptr<ClipBinding> rootBinding_;
    kinolux::avm2::Object* rootObject_ = nullptr;
    int lastScriptFrame_ = -1;
};

}  // namespace flash
