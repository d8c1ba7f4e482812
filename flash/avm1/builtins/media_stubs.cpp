// Classes for devices and network services a converted movie has no use
// for (camera, microphone, streams, sockets, printing...). They exist so
// that movies find them, and answer as the player does when the service
// is unavailable. ContextMenu, MovieClipLoader and the IME object behave
// as far as scripts can observe without a user or a network.
#include "flash/avm1/builtins/as_broadcaster.h"
#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/members.h"
#include "flash/avm1/builtins/native_helpers.h"

namespace kinolux::avm1::builtins {

namespace {

Value no(Vm&, const Value&, Args) { return Value(false); }
Value yes(Vm&, const Value&, Args) { return Value(true); }
Value nullValue(Vm&, const Value&, Args) { return Value::null(); }
Value construct(Vm&, const Value& thisValue, Args) { return thisValue; }

// A class with the given methods on its prototype, each answering `fn`.
ObjectRef stubClass(Vm& vm, Object& owner, std::u16string_view name,
                    std::initializer_list<std::pair<std::u16string_view, NativeFunction>> methods) {
    ObjectRef proto = vm.newObject();
    defineClass(vm, owner, name, construct, construct, proto);
    for (const auto& [method, fn] : methods) vm.defineMethod(*proto, method, fn);
    return proto;
}

// ---- ContextMenu ----

Value contextMenuConstruct(Vm& vm, const Value& thisValue, Args args) {
    ObjectRef self = vm.toObject(thisValue);
    if (!self) return thisValue;
    vm.set(self, String(u"onSelect"), arg(args, 0));
    ObjectRef builtIns = vm.newObject();
    for (std::u16string_view item : {u"print", u"forward_back", u"rewind", u"loop", u"play", u"quality", u"zoom", u"save"})
        vm.set(builtIns, String(item), Value(true));
    vm.set(self, String(u"builtInItems"), Value(builtIns));
    vm.set(self, String(u"customItems"), Value(ObjectRef(vm.newArray())));
    return thisValue;
}

Value hideBuiltInItems(Vm& vm, const Value& thisValue, Args) {
    ObjectRef self = vm.toObject(thisValue);
    if (!self) return Value();
    Value items = vm.get(self, String(u"builtInItems"));
    if (!items.isObject()) return Value();
    ObjectRef list = items.objectRef();
    for (const String& key : vm.enumerate(*list)) vm.set(list, key, Value(false));
    return Value();
}

Value contextMenuItemConstruct(Vm& vm, const Value& thisValue, Args args) {
    ObjectRef self = vm.toObject(thisValue);
    if (!self) return thisValue;
    vm.set(self, String(u"caption"), arg(args, 0));
    vm.set(self, String(u"onSelect"), arg(args, 1));
    vm.set(self, String(u"separatorBefore"), Value(vm.toBoolean(arg(args, 2))));
    vm.set(self, String(u"enabled"), Value(args.size() > 3 ? vm.toBoolean(args[3]) : true));
    vm.set(self, String(u"visible"), Value(args.size() > 4 ? vm.toBoolean(args[4]) : true));
    return thisValue;
}

Value copyObject(Vm& vm, const Value& thisValue, Args) {
    ObjectRef self = vm.toObject(thisValue);
    if (!self) return Value();
    ObjectRef copy = vm.createInstance(self->protoValue());
    for (const String& key : vm.enumerate(*self)) vm.set(copy, key, vm.get(self, key));
    return Value(copy);
}

// A menu's copy has its own lists: the built-in switches copied and every
// custom item copied in turn.
Value contextMenuCopy(Vm& vm, const Value& thisValue, Args) {
    ObjectRef self = vm.toObject(thisValue);
    if (!self) return Value();
    ObjectRef copy = vm.createInstance(self->protoValue());
    vm.set(copy, String(u"onSelect"), vm.get(self, String(u"onSelect")));
    ObjectRef builtIns = vm.newObject();
    Value from = vm.get(self, String(u"builtInItems"));
    if (from.isObject()) {
        std::vector<String> keys = vm.enumerate(*from.object());
        for (auto key = keys.rbegin(); key != keys.rend(); ++key) vm.set(builtIns, *key, vm.get(from, *key));
    }
    vm.set(copy, String(u"builtInItems"), Value(builtIns));
    Ref<ArrayObject> items = vm.newArray();
    Value custom = vm.get(self, String(u"customItems"));
    if (custom.isObject()) {
        ObjectRef list = custom.objectRef();
        std::uint32_t n = lengthOf(vm, list);
        vm.charge(n);
        for (std::uint32_t i = 0; i < n; ++i) {
            Value item = elementOf(vm, list, i);
            Value copied = item.isObject() ? vm.callMethod(item, String(u"copy"), {}) : item;
            setElement(vm, ObjectRef(items.get()), i, copied);
        }
    }
    vm.set(copy, String(u"customItems"), Value(items.get()));
    return Value(copy);
}

// ---- MovieClipLoader ----

Value loaderConstruct(Vm& vm, const Value& thisValue, Args) {
    ObjectRef self = vm.toObject(thisValue);
    if (!self) return thisValue;
    Value listeners[] = {thisValue};
    vm.set(self, vm.names().listeners, Value(ObjectRef(vm.newArray(std::vector<Value>(listeners, listeners + 1)))));
    return thisValue;
}

Value loadClip(Vm& vm, const Value&, Args args) {
    if (args.size() < 2) return Value(false);
    const Value& target = args[1];
    std::optional<int> level;
    DisplayObjectBinding* clip = nullptr;
    if (target.isNumber()) level = vm.toInt32(target);
    else clip = vm.resolveTarget(target, false);
    if (!clip && !level) return Value(false);
    vm.host().loadMovie(clip, level, vm.toString(args[0]), HttpMethod::None);
    return Value(true);
}

Value unloadClip(Vm& vm, const Value&, Args args) {
    if (args.empty()) return Value(false);
    DisplayObjectBinding* clip = args[0].isNumber() ? nullptr : vm.resolveTarget(args[0], false);
    std::optional<int> level = args[0].isNumber() ? std::optional<int>(vm.toInt32(args[0])) : std::nullopt;
    if (!clip && !level) return Value(false);
    vm.host().unloadMovie(clip, level);
    return Value(true);
}

Value getProgress(Vm& vm, const Value&, Args args) {
    MovieClipBinding* clip = args.empty() ? nullptr : asMovieClipOf(vm, args[0]);
    ObjectRef out = vm.newObject();
    vm.set(out, String(u"bytesLoaded"), Value(clip ? clip->bytesLoaded() : 0u));
    vm.set(out, String(u"bytesTotal"), Value(clip ? clip->bytesTotal() : 0u));
    return Value(out);
}

}  // namespace

MovieClipBinding* asMovieClipOf(Vm& vm, const Value& v) {
    DisplayObjectBinding* object = vm.resolveTarget(v, false);
    return object && object->kind() == DisplayKind::MovieClip ? static_cast<MovieClipBinding*>(object) : nullptr;
}

constexpr std::uint16_t kSwf6 = PropertyFlag::DontEnum | PropertyFlag::DontDelete | PropertyFlag::OnlySwf6Up;

constexpr Member kAccessibilityMembers[] = {
    method(u"isActive", no, kSwf6),
    method(u"sendEvent", nothing, kSwf6),
    method(u"updateProperties", nothing, kSwf6),
};

constexpr Member kLoaderMembers[] = {
    method(u"loadClip", loadClip),
    method(u"unloadClip", unloadClip),
    method(u"getProgress", getProgress),
};

constexpr Member kImeMembers[] = {
    method(u"getEnabled", no),
    method(u"setEnabled", no),
    method(u"getConversionMode", nothing),
    method(u"setConversionMode", no),
    method(u"setCompositionString", no),
    method(u"doConversion", no),
};

constexpr Member kSheetMembers[] = {
    method(u"parseCSS", yes),
    method(u"load", no),
    method(u"getStyleNames", nothing),
};

void installMediaStubs(Vm& vm) {
    Object& global = *vm.global();

    ObjectRef accessibility = vm.newObject();
    global.defineValue(u"Accessibility", Value(accessibility), PropertyFlag::DontEnum);
    defineMembers(vm, *accessibility, kAccessibilityMembers);

    for (std::u16string_view device : {u"Camera", u"Microphone"}) {
        ObjectRef proto = vm.newObject();
        Ref<FunctionObject> ctor = defineClass(vm, global, device, construct, construct, proto);
        vm.defineMethod(*ctor, u"get", nullValue);
        ctor->defineValue(u"names", Value(ObjectRef(vm.newArray())), kHidden);
    }
    stubClass(vm, global, u"NetConnection", {{u"connect", no}, {u"close", nothing}, {u"call", no}});
    stubClass(vm, global, u"NetStream", {{u"play", nothing}, {u"pause", nothing}, {u"seek", nothing},
                                        {u"close", nothing}, {u"setBufferTime", nothing}});
    stubClass(vm, global, u"LocalConnection", {{u"connect", no}, {u"send", no}, {u"close", nothing},
                                              {u"domain", nothing}});
    stubClass(vm, global, u"PrintJob", {{u"start", no}, {u"addPage", no}, {u"send", nothing}});
    stubClass(vm, global, u"TextSnapshot", {{u"getCount", zero}, {u"findText", nothing}, {u"getText", nothing}});
    stubClass(vm, global, u"Video", {{u"attachVideo", nothing}, {u"clear", nothing}});
    stubClass(vm, global, u"XMLSocket", {{u"connect", no}, {u"send", nothing}, {u"close", nothing}});

    ObjectRef menu = vm.newObject();
    defineClass(vm, global, u"ContextMenu", contextMenuConstruct, contextMenuConstruct, menu);
    vm.defineMethod(*menu, u"hideBuiltInItems", hideBuiltInItems);
    vm.defineMethod(*menu, u"copy", contextMenuCopy);
    ObjectRef item = vm.newObject();
    defineClass(vm, global, u"ContextMenuItem", contextMenuItemConstruct, contextMenuItemConstruct, item);
    vm.defineMethod(*item, u"copy", copyObject);

    ObjectRef loader = vm.newObject();
    defineClass(vm, global, u"MovieClipLoader", loaderConstruct, loaderConstruct, loader);
    Value broadcaster = global.ownValue(String(u"AsBroadcaster"), true);
    if (broadcaster.isObject()) {
        for (std::u16string_view name : {u"broadcastMessage", u"addListener", u"removeListener"}) {
            String key(name);
            loader->defineValue(key, broadcaster.object()->ownValue(key, true), kHidden);
        }
    }
    defineMembers(vm, *loader, kLoaderMembers);

    Value system = global.ownValue(String(u"System"), true);
    if (system.isObject()) {
        ObjectRef ime = makeBroadcasterObject(vm);
        system.object()->defineValue(u"IME", Value(ime), PropertyFlag::DontEnum);
        defineMembers(vm, *ime, kImeMembers);
    }

    Value textField = global.ownValue(String(u"TextField"), true);
    if (textField.isObject()) {
        ObjectRef sheet = vm.newObject();
        Ref<FunctionObject> ctor = vm.newNative(construct, construct, sheet);
        textField.object()->defineValue(u"StyleSheet", Value(ObjectRef(ctor)),
                                        PropertyFlag::DontEnum | PropertyFlag::OnlySwf7Up);
        defineMembers(vm, *sheet, kSheetMembers);
    }
}

}  // namespace kinolux::avm1::builtins
