// The ActionScript 1/2 machine driven by the player: its actions, methods
// and broadcasts on the core's display objects (timeline_scripts.h), and
// the host it asks the player through.
#pragma once

#include <memory>

#include "flash/avm1/player/player_host.h"
#include "flash/avm1/vm.h"
#include "flash/core/timeline_scripts.h"

namespace flash {

class ActionScripts : public TimelineScripts {
public:
    ActionScripts(Player& player, const kinolux::script::ScriptLimits& limits, std::uint32_t randomSeed);

    PlayerHost& host() { return host_; }
    kinolux::avm1::Vm& vm() { return *vm_; }

    void construct(DisplayObject& object, const InitObject* init) override;
    void detach(DisplayObject& object) override;
    void runInitActions(DisplayObject& clip, const ActionCode& code) override;
    void runFrameActions(DisplayObject& clip, const ActionCode& code) override;
    void runAsOne(const std::function<void()>& body) override;
    void runClipActions(DisplayObject& clip, const ActionCode& code) override;
    void runButtonActions(DisplayObject& button, const ActionCode& code) override;
    void callMethod(DisplayObject& object, std::u16string_view name) override;
    bool hasMethod(DisplayObject& object, std::u16string_view name) override;
    void callLinkFunction(MovieClip& timeline, const QString& name, const std::optional<QString>& argument) override;
    std::optional<bool> flag(DisplayObject& object, std::u16string_view name) override;
    std::optional<double> number(DisplayObject& object, std::u16string_view name) override;
    VariableText textVariable(EditText& field) override;
    void setTextVariable(EditText& field, const QString& text) override;

    void mouseMoved() override { vm_->notifyMouseMove(); }
    void mousePressed() override { vm_->notifyMouseDown(); }
    void mouseReleased() override { vm_->notifyMouseUp(); }
    void keyPressed() override { vm_->notifyKeyDown(); }
    void keyReleased() override { vm_->notifyKeyUp(); }
    void focusChanged(DisplayObject* old, DisplayObject* now) override;
    void textChanged(EditText& field) override;
    void runTimers() override {
        host_.followSounds();
        vm_->runTimers();
    }
    bool showsFocusRect() override;

    void getUrl(const QString& url, const QString& window) override;
    void deliverVariables(MovieClip& clip, std::string_view text) override;
    void completeRequest(std::uint32_t id, std::optional<std::string> text) override { vm_->completeRequest(id, text); }
    bool usesCodepage() override;

private:
    PlayerHost host_;
    std::unique_ptr<kinolux::avm1::Vm> vm_;
};

// The host of a player's machine.
PlayerHost& hostOf(Player& player);

}  // namespace flash
