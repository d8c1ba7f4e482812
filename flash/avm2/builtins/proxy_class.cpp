// flash.utils.Proxy: property access on a subclass's instances that its
// declared traits do not answer goes to its flash_proxy methods.
#include "flash/avm2/builtins/native.h"
#include "flash/avm2/builtins/xml.h"

namespace kinolux::avm2 {
namespace {

constexpr char16_t kProxyNamespace[] = u"http://www.adobe.com/2006/actionscript/flash/proxy";

// The name a flash_proxy method receives: a QName in the name's namespace
// (public names have the empty URI).
Value proxyName(Vm& vm, const Multiname& m) {
    if (Object* o = m.runtimeKey.object(); o && o->kind == ObjectKind::QName) return m.runtimeKey;
    if (m.anyName) {
        QNameObject* any = newQName(vm, String(), String(u"*"));
        any->anyUri = true;
        return Value(static_cast<Object*>(any));
    }
    String uri;
    if (!m.seesPublic() && !m.namespaces.empty()) uri = m.namespaces[0].uri;
    return Value(static_cast<Object*>(newQName(vm, uri, m.name)));
}

Value callProxy(Vm& vm, Object* o, std::u16string_view method, std::span<const Value> args) {
    const Trait* t = o->traits ? o->traits->findQualified(Namespace{NamespaceKind::Namespace, String(kProxyNamespace), 0},
                                                          String(method))
                               : nullptr;
    if (!t || t->type != TraitType::Method) {
        Value errorArgs[] = {Value(String::fromUtf8("Error #2088: The Proxy class does not implement " +
                                                    String(method).toUtf8() +
                                                    ". It must be overridden by a subclass.")),
                             Value(2088)};
        Class* c = vm.findClass(u"flash.errors.IllegalOperationError");
        throw ScriptThrow{vm.constructValue(Value(static_cast<Object*>(c->object)), errorArgs)};
    }
    return vm.callMethod(t->method, Value(o), args, t->method->scope);
}

class ProxyHooks : public PropertyHooks {
public:
    bool get(Vm& vm, Object* o, const Multiname& name, Value& out) const override {
        Value args[] = {proxyName(vm, name)};
        out = callProxy(vm, o, u"getProperty", args);
        return true;
    }
    bool set(Vm& vm, Object* o, const Multiname& name, const Value& value) const override {
        Value args[] = {proxyName(vm, name), value};
        callProxy(vm, o, u"setProperty", args);
        return true;
    }
    // `in` asks with the name as text.
    bool has(Vm& vm, Object* o, const Multiname& name, bool& out) const override {
        Value args[] = {Value(name.name)};
        out = toBoolean(callProxy(vm, o, u"hasProperty", args));
        return true;
    }
    bool erase(Vm& vm, Object* o, const Multiname& name, bool& out) const override {
        Value args[] = {proxyName(vm, name)};
        out = toBoolean(callProxy(vm, o, u"deleteProperty", args));
        return true;
    }
    bool call(Vm& vm, Object* o, const Multiname& name, std::span<const Value> args, Value& out) const override {
        std::vector<Value> all{proxyName(vm, name)};
        all.insert(all.end(), args.begin(), args.end());
        out = callProxy(vm, o, u"callProperty", all);
        return true;
    }
    bool descendants(Vm& vm, Object* o, const Multiname& name, Value& out) const override {
        Value args[] = {proxyName(vm, name)};
        out = callProxy(vm, o, u"getDescendants", args);
        return true;
    }
    std::uint32_t nextIndex(Vm& vm, Object* o, std::uint32_t index) const override {
        Value args[] = {Value(double(index))};
        return toUint32(vm.toNumber(callProxy(vm, o, u"nextNameIndex", args)));
    }
    Value nextName(Vm& vm, Object* o, std::uint32_t index) const override {
        Value args[] = {Value(double(index))};
        return callProxy(vm, o, u"nextName", args);
    }
    Value nextValue(Vm& vm, Object* o, std::uint32_t index) const override {
        Value args[] = {Value(double(index))};
        return callProxy(vm, o, u"nextValue", args);
    }
};

const ProxyHooks kProxyHooks;

// A proxy's own properties are whatever its hasProperty says.
Value hasOwnProperty(Vm& vm, const Value& self, std::span<const Value> args) {
    Value name[] = {Value(vm.toString(arg(args, 0)))};
    return Value(toBoolean(callProxy(vm, self.object(), u"hasProperty", name)));
}

}  // namespace

void installProxyClass(Vm& vm) {
    Class* proxy = vm.defineClass(u"flash.utils", u"Proxy", vm.findClass(u"Object"), nullptr);
    proxy->hooks = &kProxyHooks;
    vm.defineTraitMethod(proxy, u"hasOwnProperty", hasOwnProperty);
    Class* ns = vm.findClass(u"Namespace");
    Value uri[] = {Value(String(kProxyNamespace))};
    vm.defineGlobalValue(u"flash_proxy", vm.constructValue(Value(static_cast<Object*>(ns->object)), uri), u"flash.utils");
}

}  // namespace kinolux::avm2
