// What the machine asks of the player and the world outside the movie:
// the clock, the stage, input, dragging and focus, and files to load.
#include "flash/avm1/player/player_host.h"

#include <cmath>

#include "flash/avm1/player/bindings.h"
#include "flash/avm1/vm.h"
#include "flash/core/movie_loader.h"
#include "flash/core/player.h"
#include "flash/core/timeline_scripts.h"

namespace flash {

using kinolux::avm1::DisplayObjectBinding;
using kinolux::avm1::HttpMethod;
using kinolux::avm1::ObjectRef;
using kinolux::avm1::Value;
using kinolux::avm1::Vm;
using String = kinolux::avm1::String;

namespace {

std::weak_ptr<DisplayObject> weakOf(DisplayObjectBinding* binding) {
    DisplayObject* object = displayObjectOf(binding);
    return object ? object->weak_from_this() : std::weak_ptr<DisplayObject>();
}

// A MovieClipLoader: what becomes of its load goes to its broadcastMessage.
class ClipLoaderListener : public LoadListener {
public:
    ClipLoaderListener(Vm& vm, ObjectRef loader) : vm_(vm), loader_(std::move(loader)) {}

    void failed(MovieClip* clip) override { broadcast(u"onLoadError", {target(clip), Value(String(u"URLNotFound"))}); }
    void loaded(MovieClip& clip, double bytes) override {
        broadcast(u"onLoadStart", {target(&clip)});
        broadcast(u"onLoadProgress", {target(&clip), Value(bytes), Value(bytes)});
        broadcast(u"onLoadComplete", {target(&clip), Value(0)});
    }
    void initialized(MovieClip& clip) override { broadcast(u"onLoadInit", {target(&clip)}); }

private:
    Value target(MovieClip* clip) { return clip ? Value(vm_.scriptObjectOf(avm1Binding(*clip))) : Value(); }
    void broadcast(std::u16string_view event, std::vector<Value> args) {
        args.insert(args.begin(), Value(String(event)));
        vm_.invoke(loader_, u"broadcastMessage", args);
    }

    Vm& vm_;
    ObjectRef loader_;
};

}  // namespace

void PlayerHost::trace(std::string_view line) { player_.trace(line); }
void PlayerHost::scriptError(std::string_view message) { player_.scriptError(message); }
double PlayerHost::timerMilliseconds() { return player_.movieTime(); }
void PlayerHost::runQueuedScripts() { player_.runQueue(); }
double PlayerHost::wallClockMilliseconds() { return player_.wallClockMilliseconds(); }
double PlayerHost::localTimeOffsetMinutes(double utcMilliseconds) {
    return player_.localTimeOffsetMinutes(utcMilliseconds);
}

DisplayObjectBinding* PlayerHost::level(int n) {
    const auto& levels = player_.levels();
    auto it = levels.find(n);
    return it == levels.end() ? nullptr : &avm1Binding(*it->second);
}

void PlayerHost::fsCommand(const String& command, const String& args) { player_.fsCommand(command, args); }

void PlayerHost::loadMovie(DisplayObjectBinding* target, std::optional<int> level, const String& url, HttpMethod) {
    player_.loader().loadMovie(weakOf(target), level, url.toUtf8(), nullptr);
}

void PlayerHost::loadClip(DisplayObjectBinding* target, std::optional<int> level, const String& url,
                          const ObjectRef& loader) {
    std::shared_ptr<LoadListener> listener;
    if (loader) listener = std::make_shared<ClipLoaderListener>(*vm_, loader);
    player_.loader().loadMovie(weakOf(target), level, url.toUtf8(), std::move(listener));
}

void PlayerHost::unloadMovie(DisplayObjectBinding* target, std::optional<int> level) {
    player_.loader().unloadMovie(weakOf(target), level);
}

void PlayerHost::loadVariables(DisplayObjectBinding* target, std::optional<int> level, const String& url, HttpMethod,
                               const std::vector<std::pair<String, String>>&) {
    player_.loader().loadVariables(weakOf(target), level, url.toUtf8());
}

bool PlayerHost::requestText(std::uint32_t id, const String& url, HttpMethod, const std::string&) {
    player_.loader().requestText(id, url.toUtf8());
    return true;
}

void PlayerHost::stopAllSounds() { sounds_.stopAll(); }

std::unique_ptr<kinolux::avm1::SoundBinding> PlayerHost::createSound(DisplayObjectBinding* owner,
                                                                     kinolux::avm1::SoundEvents& events) {
    return sounds_.create(displayObjectOf(owner), events);
}

double PlayerHost::stageWidth() { return player_.stageRect().width() / 20.0; }
double PlayerHost::stageHeight() { return player_.stageRect().height() / 20.0; }

void PlayerHost::setQuality(const String& q) {
    for (std::u16string_view name : {u"LOW", u"MEDIUM", u"HIGH", u"BEST"})
        if (q.equalsIgnoreCase(name)) quality_ = String(name);
}

void PlayerHost::toggleQuality() { quality_ = quality_ == u"LOW" ? String(u"HIGH") : String(u"LOW"); }

void PlayerHost::setFocusRect(const Value& v) {
    // Scripts that clear the setting with undefined or null leave it as it was.
    if (!v.isNullish()) focusRect_ = v;
}

kinolux::avm1::Point PlayerHost::mousePosition() {
    const QPointF mouse = player_.input().mouse;
    return {mouse.x(), mouse.y()};
}

bool PlayerHost::isKeyDown(int keyCode) { return player_.input().isKeyDown(keyCode); }
bool PlayerHost::isKeyToggled(int keyCode) { return player_.input().isKeyToggled(keyCode); }
int PlayerHost::lastKeyCode() { return player_.input().lastKeyCode; }
int PlayerHost::lastKeyAscii() { return player_.input().lastCharCode; }

void PlayerHost::startDrag(DisplayObjectBinding& target, bool lockCenter,
                           const std::optional<kinolux::avm1::Bounds>& constraint) {
    DisplayObject* object = displayObjectOf(&target);
    if (!object) return;
    std::optional<QRectF> area;
    if (constraint) {
        const auto& b = *constraint;
        if (std::isfinite(b.xMin) && std::isfinite(b.yMin) && std::isfinite(b.xMax) && std::isfinite(b.yMax))
            area = QRectF(QPointF(b.xMin, b.yMin), QPointF(b.xMax, b.yMax)).normalized();
    }
    player_.startDrag(*object, lockCenter, area);
}

void PlayerHost::stopDrag() { player_.stopDrag(); }

DisplayObjectBinding* PlayerHost::focus() {
    auto object = player_.input().focus.lock();
    return object && object->onStage() ? &avm1Binding(*object) : nullptr;
}

bool PlayerHost::setFocus(DisplayObjectBinding* target) {
    DisplayObject* object = displayObjectOf(target);
    if (!object && target) return false;
    return player_.setFocus(object);
}

}  // namespace flash
