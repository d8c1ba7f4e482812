#include "flash/avm2/player/load_events.h"

#include "flash/avm2/player/display_bridge.h"
#include "flash/avm2/player/natives.h"
#include "flash/core/player.h"

namespace flash {

using namespace as3;

bool queueLoad(Vm& vm, const std::string& url, std::function<void(LoadedFile)> arrive) {
    DisplayBridge* bridge = DisplayBridge::of(vm);
    if (!bridge) return false;
    LoadedFile bytes = bridge->player().readBesideMovie(url);
    const std::size_t size = bytes ? bytes->size() : 0;
    if (!bridge->canQueue(size)) {
        vm.host().scriptError("A script asked for more files in one frame than the player keeps; the rest are dropped.");
        return false;
    }
    bridge->queue([arrive = std::move(arrive), bytes = std::move(bytes)]() mutable { arrive(std::move(bytes)); },
                  size);
    return true;
}

namespace {

void send(Vm& vm, const Value& target, const Value& event) {
    Value args[] = {event};
    vm.callProperty(target, kinolux::avm2::Multiname::publicName(String(u"dispatchEvent")), args);
}

Value newEvent(Vm& vm, const char16_t* eventClass, const char16_t* type) {
    Value args[] = {Value(String(type))};
    return Value(vm.construct(vm.findClass(eventClass), args));
}

}  // namespace

void dispatchEvent(Vm& vm, const Value& target, const char16_t* eventClass, const char16_t* type) {
    send(vm, target, newEvent(vm, eventClass, type));
}

void dispatchProgress(Vm& vm, const Value& target, double loaded, double total) {
    Value event = newEvent(vm, u"flash.events.ProgressEvent", u"progress");
    vm.setPublic(event, u"bytesLoaded", Value(loaded));
    vm.setPublic(event, u"bytesTotal", Value(total));
    send(vm, target, event);
}

void dispatchHttpStatus(Vm& vm, const Value& target, int status) {
    Value event = newEvent(vm, u"flash.events.HTTPStatusEvent", u"httpStatus");
    vm.setPublic(event, u"status", Value(status));
    vm.setPublic(event, u"redirected", Value(false));
    vm.setPublic(event, u"responseURL", Value::null());
    send(vm, target, event);
}

void dispatchIoError(Vm& vm, const Value& target, const std::string& text) {
    Value event = newEvent(vm, u"flash.events.IOErrorEvent", u"ioError");
    vm.setPublic(event, u"text", Value(String::fromUtf8(text)));
    send(vm, target, event);
}

}  // namespace flash
