// flash.system.ApplicationDomain: the one domain a movie's classes live in,
// where scripts look definitions up by name (generated asset classes do so
// while they are constructed).
#include "flash/avm2/player/natives.h"
#include "flash/avm2/player/display_bridge.h"

namespace flash {
namespace {

using namespace as3;

// "flash.display::Sprite" and "flash.display.Sprite" name the same class.
Class* definition(Vm& vm, const Value& name) {
    if (name.isNullish()) return nullptr;
    const String text = vm.toString(name);
    const std::u16string_view whole = text.view();
    const auto at = whole.find(u"::");
    const std::u16string dotted = at == std::u16string_view::npos
                                      ? std::u16string(whole)
                                      : std::u16string(whole.substr(0, at)) + u"." + std::u16string(whole.substr(at + 2));
    Class* found = nullptr;
    try {
        found = vm.findClass(dotted);
    } catch (const kinolux::avm2::ScriptThrow&) {
    }
    return found;
}

Value hasDefinition(Vm& vm, const Value&, Args a) { return Value(definition(vm, arg(a, 0)) != nullptr); }

Value getDefinition(Vm& vm, const Value&, Args a) {
    Class* c = definition(vm, arg(a, 0));
    if (!c)
        vm.throwError(ErrorType::ReferenceError,
                      "Error #1065: Variable " + vm.toString(arg(a, 0)).toUtf8() + " is not defined.", 1065);
    return Value(static_cast<Object*>(c->object));
}

Value currentDomain(Vm& vm, const Value& self, Args) {
    Object* holder = self.object();
    if (!holder) return Value::null();
    if (const Value* made = holder->dynamic.get(u"__current")) return *made;
    Value domain(vm.construct(vm.findClass(u"flash.system.ApplicationDomain"), {}));
    holder->dynamic.set(String(u"__current"), domain, false);
    return domain;
}

Value domainMemory(Vm& vm, const Value&, Args) {
    Object* memory = vm.domainMemory();
    return memory ? Value(memory) : Value::null();
}

constexpr double kMinDomainMemory = 1024;

Value setDomainMemory(Vm& vm, const Value&, Args a) {
    Object* memory = arg(a, 0).object();
    if (memory && memory->kind != kinolux::avm2::ObjectKind::ByteArray)
        vm.throwError(ErrorType::TypeError, "Error #1034: Type Coercion failed: the object is not a ByteArray.", 1034);
    if (memory && vm.toNumber(vm.getPublic(arg(a, 0), u"length")) < kMinDomainMemory)
        vm.throwError(ErrorType::RangeError, "Error #1504: The end of the file was encountered.", 1504);
    vm.setDomainMemory(memory);
    return Value();
}

}  // namespace

void installApplicationDomain(Vm& vm) {
    Class* domain = vm.defineClass(u"flash.system", u"ApplicationDomain", vm.findClass(u"Object"), nullptr);
    vm.defineTraitMethod(domain, u"hasDefinition", hasDefinition);
    vm.defineTraitMethod(domain, u"getDefinition", getDefinition);
    vm.defineGetter(domain, u"currentDomain", currentDomain, nullptr, true);
    vm.defineGetter(domain, u"parentDomain", nullValue);
    vm.defineGetter(domain, u"domainMemory", domainMemory, setDomainMemory);
    vm.defineConstant(domain, u"MIN_DOMAIN_MEMORY_LENGTH", Value(kMinDomainMemory));
}

}  // namespace flash
