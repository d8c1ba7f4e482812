// System: capabilities, security and the other products.
#include <string>

#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/members.h"
#include "flash/avm1/builtins/native_helpers.h"
#include "flash/avm1/url_encoding.h"

namespace kinolux::avm1::builtins {

namespace {

// allowDomain and allowInsecureDomain accept any domain; with none, they fail.
Value allowDomain(Vm&, const Value&, Args args) { return Value(!args.empty()); }

constexpr Member kSystemMembers[] = {
    method(u"setClipboard", nothing),
    method(u"showSettings", nothing),
};

constexpr Member kSecurityMembers[] = {
    method(u"allowDomain", allowDomain),
    method(u"allowInsecureDomain", allowDomain),
    method(u"loadPolicyFile", nothing),
};

constexpr Member kProductMembers[] = {
    method(u"isRunning", nothing), method(u"isInstalled", nothing), method(u"launch", nothing),
    method(u"download", nothing),  method(u"installedVersion", nothing), method(u"validate", nothing),
};

// What the player says of itself, unless the host says otherwise.
void defineCapabilities(Vm& vm, Object& capabilities) {
    const std::pair<std::u16string_view, Value> defaults[] = {
        {u"version", Value(String(u"LNX 8,0,0,0"))},
        {u"os", Value(String(u"Linux"))},
        {u"manufacturer", Value(String(u"Adobe Linux"))},
        {u"playerType", Value(String(u"StandAlone"))},
        {u"language", Value(String(u"en"))},
        {u"screenResolutionX", Value(1024)},
        {u"screenResolutionY", Value(768)},
        {u"screenDPI", Value(72)},
        {u"screenColor", Value(String(u"color"))},
        {u"pixelAspectRatio", Value(1)},
        {u"hasAudio", Value(true)},
        {u"hasMP3", Value(true)},
        {u"hasVideoEncoder", Value(false)},
        {u"hasAudioEncoder", Value(false)},
        {u"isDebugger", Value(false)},
        {u"localFileReadDisable", Value(false)},
        {u"avHardwareDisable", Value(true)},
        {u"hasAccessibility", Value(false)},
        {u"hasPrinting", Value(false)},
        {u"hasScreenBroadcast", Value(false)},
        {u"hasScreenPlayback", Value(false)},
        {u"hasStreamingAudio", Value(true)},
        {u"hasStreamingVideo", Value(true)},
        {u"hasEmbeddedVideo", Value(true)},
        {u"hasIME", Value(false)},
        {u"hasTLS", Value(true)},
        {u"windowlessDisable", Value(false)},
    };
    for (const auto& [name, fallback] : defaults) {
        std::optional<Value> chosen = vm.host().capability(name);
        capabilities.defineValue(name, chosen ? *chosen : fallback, PropertyFlag::DontEnum);
    }
    // The same facts in the short form the player sends to servers.
    const std::pair<const char*, std::u16string_view> codes[] = {
        {"A", u"hasAudio"}, {"SA", u"hasStreamingAudio"}, {"SV", u"hasStreamingVideo"},
        {"EV", u"hasEmbeddedVideo"}, {"MP3", u"hasMP3"}, {"AE", u"hasAudioEncoder"},
        {"VE", u"hasVideoEncoder"}, {"ACC", u"hasAccessibility"}, {"PR", u"hasPrinting"},
        {"SP", u"hasScreenPlayback"}, {"SB", u"hasScreenBroadcast"}, {"DEB", u"isDebugger"},
        {"V", u"version"}, {"M", u"manufacturer"}, {"R", u"screenResolution"}, {"DP", u"screenDPI"},
        {"COL", u"screenColor"}, {"AR", u"pixelAspectRatio"}, {"OS", u"os"}, {"L", u"language"},
        {"PT", u"playerType"}, {"AVD", u"avHardwareDisable"}, {"LFD", u"localFileReadDisable"},
        {"WD", u"windowlessDisable"}, {"TLS", u"hasTLS"}};
    std::string server;
    for (const auto& [code, name] : codes) {
        std::string value;
        if (name == u"screenResolution") {
            value = vm.toString(capabilities.ownValue(String(u"screenResolutionX"), true)).toUtf8() + "x" +
                    vm.toString(capabilities.ownValue(String(u"screenResolutionY"), true)).toUtf8();
        } else {
            Value v = capabilities.ownValue(String(name), true);
            value = v.isBoolean() ? (v.boolean() ? "t" : "f") : vm.toString(v).toUtf8();
        }
        if (!server.empty()) server += '&';
        server += std::string(code) + "=" + escapeBytes(value);
    }
    capabilities.defineValue(u"serverString", Value(String::fromUtf8(server)), PropertyFlag::DontEnum);

}

}  // namespace

void installSystem(Vm& vm) {
    Object& global = *vm.global();
    ObjectRef system = vm.newObject();
    global.defineValue(u"System", Value(system), PropertyFlag::DontEnum);
    system->defineValue(u"useCodepage", Value(false), PropertyFlag::DontEnum);
    system->defineValue(u"exactSettings", Value(vm.rootSwfVersion() >= 7), PropertyFlag::DontEnum);
    defineMembers(vm, *system, kSystemMembers);

    ObjectRef security = vm.newObject();
    defineObject(vm, *system, u"security", security, kSecurityMembers);
    // A movie converted here is a file on disk that no user has trusted.
    security->defineValue(u"sandboxType", Value(String(u"localWithFile")), PropertyFlag::DontEnum);

    // Other Macromedia products (none are ever there).
    defineClass(vm, *system, {u"Product", nullptr, nullptr, kProductMembers});

    ObjectRef capabilities = vm.newObject();
    system->defineValue(u"capabilities", Value(capabilities), PropertyFlag::DontEnum);
    defineCapabilities(vm, *capabilities);
}

}  // namespace kinolux::avm1::builtins
