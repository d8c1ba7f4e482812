// Classes for devices and network services a converted movie has no use
// for (camera, microphone, streams, sockets, printing...). They exist so
// that movies find them, and answer as the player does when the service
// is unavailable. Each is a class whose prototype holds a few methods
// with fixed answers, so they are rows of one table rather than files.
#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/members.h"
#include "flash/avm1/builtins/native_helpers.h"

namespace kinolux::avm1::builtins {

namespace {

Value nullValue(Vm&, const Value&, Args) { return Value::null(); }

constexpr Member kNetConnectionMembers[] = {
    method(u"connect", no),
    method(u"close", nothing),
    method(u"call", no),
};

constexpr Member kNetStreamMembers[] = {
    method(u"play", nothing),
    method(u"pause", nothing),
    method(u"seek", nothing),
    method(u"close", nothing),
    method(u"setBufferTime", nothing),
};

constexpr Member kLocalConnectionMembers[] = {
    method(u"connect", no),
    method(u"send", no),
    method(u"close", nothing),
    method(u"domain", nothing),
};

constexpr Member kPrintJobMembers[] = {
    method(u"start", no),
    method(u"addPage", no),
    method(u"send", nothing),
};

constexpr Member kVideoMembers[] = {
    method(u"attachVideo", nothing),
    method(u"clear", nothing),
};

constexpr Member kXmlSocketMembers[] = {
    method(u"connect", no),
    method(u"send", nothing),
    method(u"close", nothing),
};

constexpr ClassTable kStubClasses[] = {
    {u"NetConnection", keepThis, keepThis, kNetConnectionMembers},
    {u"NetStream", keepThis, keepThis, kNetStreamMembers},
    {u"LocalConnection", keepThis, keepThis, kLocalConnectionMembers},
    {u"PrintJob", keepThis, keepThis, kPrintJobMembers},
    {u"Video", keepThis, keepThis, kVideoMembers},
    {u"XMLSocket", keepThis, keepThis, kXmlSocketMembers},
};

}  // namespace

void installMediaStubs(Vm& vm) {
    Object& global = *vm.global();
    // Camera.get and Microphone.get find no device, and list none.
    for (std::u16string_view device : {u"Camera", u"Microphone"}) {
        Ref<FunctionObject> ctor = defineClass(vm, global, device, keepThis, keepThis);
        vm.defineMethod(*ctor, u"get", nullValue);
        ctor->defineValue(u"names", Value(ObjectRef(vm.newArray())), kHidden);
    }
    for (const ClassTable& stub : kStubClasses) defineClass(vm, global, stub);
}

}  // namespace kinolux::avm1::builtins
