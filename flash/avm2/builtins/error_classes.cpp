// Error and its subclasses.
#include "flash/avm2/builtins/native.h"

namespace kinolux::avm2 {
namespace {

Object* makeError(Vm& vm, Class* cls) {
    return vm.make<BoxObject>(ObjectKind::Error, &cls->instanceTraits, cls, cls->prototype);
}

Value errorInit(Vm& vm, const Value& self, std::span<const Value> args) {
    Object* o = self.object();
    if (!o) return Value();
    // The stack is the one the error was made on, whatever later throws it.
    if (auto* box = dynamic_cast<BoxObject*>(o)) box->value = Value(vm.stackTrace());
    o->dynamic.set(String(u"message"),
                   args.empty() || args[0].isUndefined() ? Value(String()) : Value(vm.toString(args[0])), false);
    o->dynamic.set(String(u"errorID"),
                   Value(vm.toNumber(arg(args, 1)) == vm.toNumber(arg(args, 1)) ? vm.toNumber(arg(args, 1)) : 0.0),
                   false);
    return Value();
}

Value errorToString(Vm& vm, const Value& self, std::span<const Value>) {
    String name = vm.toString(vm.getPublic(self, u"name"));
    String message = vm.toString(vm.getPublic(self, u"message"));
    if (message.empty()) return Value(name);
    return Value(String::concat(String::concat(name, String(u": ")), message));
}

// A release player keeps stack traces for movies made for SWF 18 and later
// only.
Value stackTrace(Vm& vm, const Value& self, std::span<const Value>) {
    auto* box = dynamic_cast<BoxObject*>(self.object());
    if (!box || vm.swfVersion() < 18) return Value::null();
    String head = vm.toString(vm.callProperty(self, Multiname::publicName(String(u"toString")), {}));
    return Value(String::concat(head, box->value.isString() ? box->value.string() : String()));
}

}  // namespace

void installErrorClasses(Vm& vm) {
    Class* object = vm.findClass(u"Object");
    Class* error = vm.defineClass(u"", u"Error", object, makeError, ObjectKind::Error);
    vm.defineConstructor(error, errorInit);
    error->callAsFunction = [](Vm& vm, const Value&, std::span<const Value> args) {
        return Value(vm.construct(vm.builtins().error, args));
    };
    error->prototype->dynamic.set(String(u"name"), Value(String(u"Error")), false);
    error->prototype->dynamic.set(String(u"message"), Value(String()), false);
    vm.defineMethod(error, u"toString", errorToString);
    vm.defineMethod(error, u"getStackTrace", stackTrace);
    vm.defineConstant(error, u"length", Value(1));
    for (const char16_t* name :
         {u"TypeError", u"ReferenceError", u"RangeError", u"ArgumentError", u"VerifyError", u"EvalError",
          u"SyntaxError", u"URIError", u"SecurityError", u"DefinitionError", u"UninitializedError"}) {
        Class* c = vm.defineClass(u"", name, error, makeError, ObjectKind::Error);
        c->init = error->init;
        c->prototype->dynamic.set(String(u"name"), Value(String(name)), false);
    }
    for (const char16_t* name : {u"IOError", u"EOFError", u"IllegalOperationError", u"MemoryError",
                                 u"ScriptTimeoutError", u"StackOverflowError", u"InvalidSWFError"}) {
        Class* c = vm.defineClass(u"flash.errors", name, error, makeError, ObjectKind::Error);
        c->init = error->init;
        c->prototype->dynamic.set(String(u"name"), Value(String(name)), false);
    }
}

}  // namespace kinolux::avm2
