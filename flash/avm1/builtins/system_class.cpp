// System (capabilities, security) and SharedObject, kept in memory: a
// converted movie has no lasting local storage.
#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/native_helpers.h"

namespace kinolux::avm1::builtins {

namespace {

Value nothing(Vm&, const Value&, Args) { return Value(); }
Value yes(Vm&, const Value&, Args) { return Value(true); }
Value zero(Vm&, const Value&, Args) { return Value(0); }

Value sharedObjectClear(Vm& vm, const Value& thisValue, Args) {
    if (ObjectRef self = vm.toObject(thisValue)) self->defineValue(u"data", Value(vm.newObject()), PropertyFlag::DontDelete);
    return Value();
}

Value getLocal(Vm& vm, const Value& thisValue, Args args) {
    // One object per name for the life of the movie.
    ObjectRef ctor = vm.toObject(thisValue);
    if (!ctor || args.empty()) return Value::null();
    String key = String::concat(String(u"\x01local:"), vm.toString(args[0]));
    Value cached = ctor->ownValue(key, true);
    if (cached.isObject()) return cached;
    ObjectRef object = vm.createInstance(Value(vm.protos().sharedObject));
    object->defineValue(u"data", Value(vm.newObject()), PropertyFlag::DontDelete);
    ctor->defineValue(key, Value(object), kHidden);
    return Value(object);
}

}  // namespace

void installSystem(Vm& vm) {
    Object& global = *vm.global();
    ObjectRef system = vm.newObject();
    global.defineValue(u"System", Value(system), PropertyFlag::DontEnum);
    system->defineValue(u"useCodepage", Value(false), PropertyFlag::DontEnum);
    vm.defineMethod(*system, u"setClipboard", nothing);
    vm.defineMethod(*system, u"showSettings", nothing);

    ObjectRef security = vm.newObject();
    system->defineValue(u"security", Value(security), PropertyFlag::DontEnum);
    vm.defineMethod(*security, u"allowDomain", nothing);
    vm.defineMethod(*security, u"allowInsecureDomain", nothing);
    vm.defineMethod(*security, u"loadPolicyFile", nothing);
    security->defineValue(u"sandboxType", Value(String(u"localTrusted")), PropertyFlag::DontEnum);

    ObjectRef capabilities = vm.newObject();
    system->defineValue(u"capabilities", Value(capabilities), PropertyFlag::DontEnum);
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
    };
    for (const auto& [name, fallback] : defaults) {
        std::optional<Value> chosen = vm.host().capability(name);
        capabilities->defineValue(name, chosen ? *chosen : fallback, PropertyFlag::DontEnum);
    }

    ObjectRef proto = vm.newObject();
    proto->setInstanceKind(ObjectKind::SharedObject);
    vm.protos().sharedObject = proto;
    Ref<FunctionObject> ctor = defineClass(vm, global, u"SharedObject", nullptr, nullptr, proto);
    vm.defineMethod(*ctor, u"getLocal", getLocal);
    vm.defineMethod(*proto, u"flush", yes);
    vm.defineMethod(*proto, u"clear", sharedObjectClear);
    vm.defineMethod(*proto, u"getSize", zero);
    vm.defineMethod(*proto, u"close", nothing);
}

}  // namespace kinolux::avm1::builtins
