// LoadVars: url-encoded variables fetched through the host.
#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/members.h"
#include "flash/avm1/builtins/native_helpers.h"
#include "flash/avm1/url_encoding.h"

namespace kinolux::avm1::builtins {

namespace {

HttpMethod methodOf(Vm& vm, const Value& v) {
    if (v.isUndefined()) return HttpMethod::Post;
    return vm.toString(v).equalsIgnoreCase(u"GET") ? HttpMethod::Get : HttpMethod::Post;
}

std::vector<std::pair<String, String>> variablesOf(Vm& vm, const ObjectRef& self) {
    std::vector<std::pair<String, String>> out;
    for (const String& key : vm.enumerate(*self)) out.emplace_back(key, vm.toString(vm.get(self, key)));
    return out;
}

Value decode(Vm& vm, const Value& thisValue, Args args) {
    ObjectRef self = vm.toObject(thisValue);
    if (!self || args.empty()) return Value();
    for (const auto& [name, value] : decodeUrlVariables(vm.toString(args[0]).toUtf8(), 7)) vm.set(self, name, Value(value));
    return Value();
}

Value toString(Vm& vm, const Value& thisValue, Args) {
    ObjectRef self = vm.toObject(thisValue);
    if (!self) return Value();
    return Value(String::fromUtf8(encodeUrlVariables(variablesOf(vm, self))));
}

Value sendAndLoad(Vm& vm, const Value& thisValue, Args args) {
    ObjectRef self = vm.toObject(thisValue);
    ObjectRef target = arg(args, 1).isObject() ? args[1].objectRef() : nullptr;
    if (!self || !target) return Value(false);
    vm.set(target, String(u"loaded"), Value(false));
    std::uint32_t id = vm.startRequest(target);
    return Value(vm.host().requestText(id, vm.toString(arg(args, 0)), methodOf(vm, arg(args, 2)),
                                       encodeUrlVariables(variablesOf(vm, self))));
}

Value send(Vm& vm, const Value& thisValue, Args args) {
    ObjectRef self = vm.toObject(thisValue);
    if (!self || args.empty()) return Value(false);
    vm.host().getUrl(vm.toString(args[0]), args.size() > 1 ? vm.toString(args[1]) : String(),
                     methodOf(vm, arg(args, 2)), variablesOf(vm, self));
    return Value(true);
}

Value onData(Vm& vm, const Value& thisValue, Args args) {
    return readLoadedText(vm, thisValue, args, u"decode", false);
}


constexpr Member kLoadVarsPrototypeMembers[] = {
    method(u"decode", decode),
    method(u"toString", toString),
    method(u"load", loadText),
    method(u"send", send),
    method(u"sendAndLoad", sendAndLoad),
    method(u"onData", onData),
    method(u"getBytesLoaded", zero),
    method(u"getBytesTotal", zero),
    method(u"addRequestHeader", nothing),
};

}  // namespace

void installLoadVars(Vm& vm) {
    ObjectRef proto = vm.newObject();
    vm.protos().loadVars = proto;
    defineClass(vm, *vm.global(), {u"LoadVars", nullptr, nullptr, kLoadVarsPrototypeMembers}, proto);
    proto->defineValue(u"contentType", Value(String(u"application/x-www-form-urlencoded")), PropertyFlag::DontEnum);
}

}  // namespace kinolux::avm1::builtins
