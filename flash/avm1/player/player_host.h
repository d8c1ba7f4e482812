// What the machine asks of the player around it and of the world outside
// the movie (host.h), answered through the player's own interface; the
// stage settings only scripts see are kept here.
#pragma once

#include "flash/avm1/host.h"
#include "flash/avm1/player/script_sounds.h"

namespace flash {

class Player;

class PlayerHost : public kinolux::avm1::Host {
public:
    using String = kinolux::avm1::String;

    explicit PlayerHost(Player& player) : player_(player), sounds_(player) {}
    Player& player() const { return player_; }
    // The machine the host serves, once it exists: MovieClipLoader's
    // listeners are told through it.
    void serve(kinolux::avm1::Vm& vm) { vm_ = &vm; }
    // _focusrect as scripts left it (null until they set it).
    const kinolux::avm1::Value& focusRectSetting() const { return focusRect_; }
    // Once a frame: Sound objects hear of their sounds' ends and files.
    void followSounds() { sounds_.follow(); }

    void trace(std::string_view line) override;
    void scriptError(std::string_view message) override;
    double timerMilliseconds() override;
    void runQueuedScripts() override;
    double wallClockMilliseconds() override;
    double localTimeOffsetMinutes(double utcMilliseconds) override;
    kinolux::avm1::DisplayObjectBinding* level(int n) override;

    void fsCommand(const String& command, const String& args) override;
    void loadMovie(kinolux::avm1::DisplayObjectBinding* target, std::optional<int> level, const String& url,
                   kinolux::avm1::HttpMethod method) override;
    void unloadMovie(kinolux::avm1::DisplayObjectBinding* target, std::optional<int> level) override;
    void loadClip(kinolux::avm1::DisplayObjectBinding* target, std::optional<int> level, const String& url,
                  const kinolux::avm1::ObjectRef& loader) override;
    void loadVariables(kinolux::avm1::DisplayObjectBinding* target, std::optional<int> level, const String& url,
                       kinolux::avm1::HttpMethod method,
                       const std::vector<std::pair<String, String>>& variables) override;
    bool requestText(std::uint32_t id, const String& url, kinolux::avm1::HttpMethod method,
                     const std::string& body) override;

    double stageWidth() override;
    double stageHeight() override;
    String stageScaleMode() override { return stageScaleMode_; }
    void setStageScaleMode(const String& mode) override { stageScaleMode_ = mode; }
    String stageAlign() override { return stageAlign_; }
    void setStageAlign(const String& align) override { stageAlign_ = align; }
    String quality() override { return quality_; }
    void setQuality(const String& q) override;
    void toggleQuality() override;
    kinolux::avm1::Value focusRect() override { return focusRect_; }
    void setFocusRect(const kinolux::avm1::Value& v) override;

    kinolux::avm1::Point mousePosition() override;
    bool isKeyDown(int keyCode) override;
    bool isKeyToggled(int keyCode) override;
    int lastKeyCode() override;
    int lastKeyAscii() override;
    void startDrag(kinolux::avm1::DisplayObjectBinding& target, bool lockCenter,
                   const std::optional<kinolux::avm1::Bounds>& constraint) override;
    void stopDrag() override;
    kinolux::avm1::DisplayObjectBinding* focus() override;
    bool setFocus(kinolux::avm1::DisplayObjectBinding* target) override;

    void stopAllSounds() override;
    std::unique_ptr<kinolux::avm1::SoundBinding> createSound(kinolux::avm1::DisplayObjectBinding* owner,
                                                             kinolux::avm1::SoundEvents& events) override;

    kinolux::avm1::TextExtent measureText(const kinolux::avm1::TextFormat& format, const String& text,
                                          std::optional<double> width) override;

private:
    Player& player_;
    kinolux::avm1::Vm* vm_ = nullptr;
    ScriptSounds sounds_;
    String stageScaleMode_{u"showAll"}, stageAlign_, quality_{u"HIGH"};
    kinolux::avm1::Value focusRect_;
};

}  // namespace flash
