// flash.system: System and IME (the machine's memory figures, the clipboard
// scripts copy to, and the calls a player on a desktop answers with nothing
// to do: collecting garbage, pausing, the input method), Capabilities, and
// fscommand, which reaches the player.
#include "flash/avm1/player/text_values.h"
#include "flash/avm2/player/display_bridge.h"
#include "flash/avm2/player/natives.h"
#include "flash/core/player.h"

namespace flash {
namespace {

using namespace as3;

// What the player holds besides the machine's own objects, so the figures
// look like a running player's and grow with what scripts make.
constexpr double kPlayerBytes = 16 * 1024 * 1024;
constexpr double kReservedBytes = 4 * 1024 * 1024;

double totalBytes(Vm& vm) { return kPlayerBytes + double(vm.memoryUsed()); }

Value totalMemory(Vm& vm, const Value&, Args) { return Value(totalBytes(vm)); }

Value privateMemory(Vm& vm, const Value&, Args) { return Value(totalBytes(vm) + kReservedBytes); }

Value freeMemory(Vm&, const Value&, Args) { return Value(kReservedBytes); }

Value setClipboard(Vm& vm, const Value&, Args a) {
    requireNonNull(vm, arg(a, 0), "text");
    const String text = vm.toString(arg(a, 0));
    if (DisplayBridge* bridge = DisplayBridge::of(vm)) bridge->player().setClipboardText(fromScriptString(text));
    return Value();
}

Value useCodePage(Vm&, const Value& self, Args) { return hiddenProperty(self, u"__useCodePage", Value(false)); }

Value setUseCodePage(Vm&, const Value& self, Args a) {
    setHiddenProperty(self, u"__useCodePage", Value(kinolux::avm2::toBoolean(arg(a, 0))));
    return Value();
}

Value fscommand(Vm& vm, const Value&, Args a) {
    const String command = vm.toString(arg(a, 0));
    const String args = a.size() > 1 ? vm.toString(a[1]) : String();
    if (DisplayBridge* bridge = DisplayBridge::of(vm)) bridge->player().fsCommand(command, args);
    return Value();
}

// The one IME object, made when first asked for.
Value ime(Vm& vm, const Value& self, Args) {
    Value made = hiddenProperty(self, u"__ime");
    if (made.isNull()) {
        made = Value(vm.construct(vm.findClass(u"flash.system.IME"), {}));
        setHiddenProperty(self, u"__ime", made);
    }
    return made;
}

}  // namespace

void installSystemClasses(Vm& vm) {
    Class* object = vm.findClass(u"Object");
    Class* system = vm.defineClass(u"flash.system", u"System", object, nullptr);
    for (const char16_t* name : {u"gc", u"pause", u"resume", u"pauseForGCIfCollectionImminent", u"disposeXML"})
        vm.defineMethod(system, name, nothing, true);
    vm.defineMethod(system, u"setClipboard", setClipboard, true, 1);
    vm.defineGetter(system, u"totalMemory", totalMemory, nullptr, true);
    vm.defineGetter(system, u"totalMemoryNumber", totalMemory, nullptr, true);
    vm.defineGetter(system, u"privateMemory", privateMemory, nullptr, true);
    vm.defineGetter(system, u"freeMemory", freeMemory, nullptr, true);
    vm.defineGetter(system, u"useCodePage", useCodePage, setUseCodePage, true);
    vm.defineGetter(system, u"ime", ime, nullptr, true);
    vm.defineGetter(system, u"vmVersion", [](Vm&, const Value&, Args) { return Value(String(u"1.4.0")); }, nullptr,
                    true);
    // A desktop player has no input method editor to switch on.
    Class* imeClass = vm.defineClass(u"flash.system", u"IME", vm.findClass(u"flash.events.EventDispatcher"), nullptr);
    vm.defineGetter(imeClass, u"enabled", falseValue, nothing, true);
    vm.defineGetter(imeClass, u"conversionMode",
                    [](Vm&, const Value&, Args) { return Value(String(u"UNKNOWN")); }, nothing, true);
    vm.defineGetter(imeClass, u"isSupported", falseValue, nullptr, true);

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
