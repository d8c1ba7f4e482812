// flash.system: fscommand, which reaches the player, and Capabilities.
#include "flash/avm2/player/display_bridge.h"
#include "flash/avm2/player/natives.h"
#include "flash/core/player.h"

namespace flash {

using namespace as3;

namespace {

Value fscommand(Vm& vm, const Value&, Args a) {
    const String command = vm.toString(arg(a, 0));
    const String args = a.size() > 1 ? vm.toString(a[1]) : String();
    if (DisplayBridge* bridge = DisplayBridge::of(vm)) bridge->player().fsCommand(command, args);
    return Value();
}

}  // namespace

void installSystemClasses(Vm& vm) {
    vm.defineFunction(u"flash.system", u"fscommand", fscommand, 1);
    // What a movie learns of the player that runs it: a release player on Linux.
    Class* capabilities = vm.defineClass(u"flash.system", u"Capabilities", vm.findClass(u"Object"), nullptr);
    for (auto [name, text] : {std::pair{u"playerType", u"StandAlone"},
                              {u"os", u"Linux"},
                              {u"manufacturer", u"Adobe Linux"},
                              {u"version", u"LNX 32,0,0,0"},
                              {u"language", u"en"},
                              {u"cpuArchitecture", u"x86"}})
        vm.defineConstant(capabilities, name, Value(String(text)));
    vm.defineConstant(capabilities, u"isDebugger", Value(false));
    vm.defineConstant(capabilities, u"hasAudio", Value(true));
    vm.defineConstant(capabilities, u"screenDPI", Value(72));
}

}  // namespace flash
