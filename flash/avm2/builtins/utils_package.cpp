// flash.utils: getTimer, class names and lookups, Dictionary.
#include "flash/avm2/builtins/native.h"

namespace kinolux::avm2 {
namespace {

Value getTimer(Vm& vm, const Value&, std::span<const Value>) {
    return Value(std::floor(vm.host().timerMilliseconds()));
}

Class* classNameOf(Vm& vm, const Value& v) {
    Object* o = v.object();
    if (o && o->kind == ObjectKind::Class) return static_cast<ClassObject*>(o)->self;
    return vm.classOf(v);
}

Value qualifiedClassName(Vm& vm, const Value&, std::span<const Value> args) {
    Value v = arg(args, 0);
    if (v.isNull()) return Value(String(u"null"));
    if (v.isUndefined()) return Value(String(u"void"));
    return Value(classNameOf(vm, v)->qualifiedName());
}

Value qualifiedSuperclassName(Vm& vm, const Value&, std::span<const Value> args) {
    Value v = arg(args, 0);
    if (v.isNullish()) return Value::null();
    Class* c = classNameOf(vm, v);
    return c->super ? Value(c->super->qualifiedName()) : Value::null();
}

Value definitionByName(Vm& vm, const Value&, std::span<const Value> args) {
    String text = vm.toString(arg(args, 0));
    std::u16string_view given = text.view();
    std::u16string name(given);
    if (std::size_t at = given.find(u"::"); at != std::u16string_view::npos) {
        name = std::u16string(given.substr(0, at));
        name += u'.';
        name += given.substr(at + 2);
    }
    // Classes, and the package-level functions and values as well.
    std::size_t dot = name.rfind(u'.');
    Multiname m;
    m.namespaces.push_back(Namespace{NamespaceKind::Package,
                                    String(dot == std::u16string::npos ? u"" : std::u16string_view(name).substr(0, dot)), 0});
    m.name = String(dot == std::u16string::npos ? std::u16string_view(name) : std::u16string_view(name).substr(dot + 1));
    if (Object* global = vm.findGlobal(m)) {
        Value found = vm.getProperty(Value(global), m);
        if (found.object()) return found;
    }
    vm.throwError(ErrorType::ReferenceError, "Error #1065: Variable " + String(name).toUtf8() + " is not defined.",
                  1065);
}

Object* makeDictionary(Vm& vm, Class* cls) {
    return vm.make<BoxObject>(ObjectKind::Dictionary, &cls->instanceTraits, cls, cls->prototype);
}

}  // namespace

void installUtilsPackage(Vm& vm) {
    vm.defineFunction(u"flash.utils", u"getTimer", getTimer);
    vm.defineFunction(u"flash.utils", u"getQualifiedClassName", qualifiedClassName);
    vm.defineFunction(u"flash.utils", u"getQualifiedSuperclassName", qualifiedSuperclassName);
    vm.defineFunction(u"flash.utils", u"getDefinitionByName", definitionByName);
    // The shell's package names them too (tests written for the shell use it).
    vm.defineFunction(u"avmplus", u"getQualifiedClassName", qualifiedClassName);
    vm.defineFunction(u"avmplus", u"getQualifiedSuperclassName", qualifiedSuperclassName);
    vm.defineClass(u"flash.utils", u"Dictionary", vm.findClass(u"Object"), makeDictionary, ObjectKind::Dictionary);
}

}  // namespace kinolux::avm2
