// Object, Class, Function, Namespace and Boolean.
#include "flash/avm2/builtins/native.h"
#include "flash/avm2/builtins/xml.h"

namespace kinolux::avm2 {
namespace {

Value objectToString(Vm& vm, const Value& self, std::span<const Value>) {
    Object* o = self.object();
    if (!o) return Value(String::concat(String::concat(String(u"[object "), vm.classOf(self)->name), String(u"]")));
    if (o->kind == ObjectKind::Class)
        return Value(
            String::concat(String::concat(String(u"[class "), static_cast<ClassObject*>(o)->self->name), String(u"]")));
    // The player tells functions apart by the number of their method.
    if (o->kind == ObjectKind::Function) {
        const Method* m = static_cast<FunctionObject*>(o)->method;
        return Value(String::fromUtf8("[object Function-" + std::to_string(m ? m->index : 0) + "]"));
    }
    if (o->kind == ObjectKind::Global) return Value(String(u"[object global]"));
    return Value(
        String::concat(String::concat(String(u"[object "), o->cls ? o->cls->name : String(u"Object")), String(u"]")));
}

Value hasOwnProperty(Vm& vm, const Value& self, std::span<const Value> args) {
    Multiname name = Multiname::publicName(vm.toString(arg(args, 0)));
    Object* o = self.object();
    if (!o) return Value(self.isString() && name.name == u"length");
    if (o->kind == ObjectKind::Array || o->kind == ObjectKind::Vector) {
        std::uint32_t i;
        if (Vm::arrayIndex(name.name, i)) return Value(static_cast<ArrayObject*>(o)->hasIndex(i));
    }
    if (o->traits && o->traits->find(name)) return Value(true);
    return Value(o->dynamic.get(name.name.view()) != nullptr);
}

Value propertyIsEnumerable(Vm& vm, const Value& self, std::span<const Value> args) {
    Object* o = self.object();
    if (!o) return Value(false);
    String name = vm.toString(arg(args, 0));
    if (o->kind == ObjectKind::Array) {
        std::uint32_t i;
        if (Vm::arrayIndex(name, i)) return Value(static_cast<ArrayObject*>(o)->hasIndex(i));
    }
    DynamicProperty* p = o->dynamic.find(name.view());
    return Value(p && p->enumerable);
}

Value setPropertyIsEnumerable(Vm& vm, const Value& self, std::span<const Value> args) {
    // A Dictionary's keys are all enumerable, whatever a script asks.
    if (Object* o = self.object(); o && o->kind != ObjectKind::Dictionary)
        if (DynamicProperty* p = o->dynamic.find(vm.toString(arg(args, 0)).view()))
            p->enumerable = toBoolean(arg(args, 1));
    return Value();
}

Value isPrototypeOf(Vm& vm, const Value& self, std::span<const Value> args) {
    const Value& v = arg(args, 0);
    Object* o = v.object();
    for (Object* p = o ? o->proto : v.isNullish() ? nullptr : vm.protoOfPrimitive(v); p; p = p->proto)
        if (p == self.object()) return Value(true);
    return Value(false);
}

Value valueOf(Vm&, const Value& self, std::span<const Value>) { return self; }

Value callObject(Vm& vm, const Value&, std::span<const Value> args) {
    Value v = arg(args, 0);
    return v.isNullish() ? Value(vm.newObject()) : v;
}

Value functionToString(Vm&, const Value&, std::span<const Value>) { return Value(String(u"function Function() {}")); }

Value functionCall(Vm& vm, const Value& self, std::span<const Value> args) {
    return vm.call(self, arg(args, 0), args.size() > 1 ? args.subspan(1) : std::span<const Value>());
}

Value functionApply(Vm& vm, const Value& self, std::span<const Value> args) {
    std::vector<Value> list;
    if (const Value& given = arg(args, 1); !given.isNullish()) {
        Object* a = given.object();
        if (!a || a->kind != ObjectKind::Array)
            vm.throwError(ErrorType::TypeError,
                          "Error #1116: second argument to Function.prototype.apply must be an array.", 1116);
        list = vm.denseArray(*static_cast<ArrayObject*>(a)).elements;
        for (Value& v : list)
            if (v.isHole()) v = Value();
    }
    return vm.call(self, arg(args, 0), list);
}

Value functionLength(Vm& vm, const Value& self, std::span<const Value>) {
    auto* f = static_cast<FunctionObject*>(self.object());
    (void)vm;
    if (!f || f->kind != ObjectKind::Function) return Value(0);
    if (!f->method->unit) return Value(f->method->nativeLength);
    return Value(double(f->method->unit->file.methods[f->method->index].paramTypes.size()));
}

Value namespaceUri(Vm&, const Value& self, std::span<const Value>) {
    Object* o = self.object();
    return o && o->kind == ObjectKind::Namespace ? static_cast<BoxObject*>(o)->value : Value(String());
}

// The URI a Namespace is made with: a namespace's or a QName's own, or text.
String namespaceUriOf(Vm& vm, const Value& v) {
    Object* o = v.object();
    if (o && o->kind == ObjectKind::Namespace) return vm.toString(static_cast<BoxObject*>(o)->value);
    if (o && o->kind == ObjectKind::QName) return static_cast<QNameObject*>(o)->uri;
    return vm.toString(v);
}

// new Namespace(uri) or new Namespace(prefix, uri); arguments after those
// are ignored. A namespace of a URI alone has no prefix, except the empty
// URI's, which is "" and the only prefix that URI may have.
Value namespaceInit(Vm& vm, const Value& self, std::span<const Value> args) {
    Object* o = self.object();
    if (!o || o->kind != ObjectKind::Namespace) return Value();
    auto* ns = static_cast<BoxObject*>(o);
    ns->value = Value(String());
    ns->prefix = Value(String());
    if (args.empty()) return Value();
    if (args.size() == 1) {
        Object* from = args[0].object();
        if (from && from->kind == ObjectKind::Namespace) {
            ns->value = static_cast<BoxObject*>(from)->value;
            ns->prefix = static_cast<BoxObject*>(from)->prefix;
            return Value();
        }
        String uri = namespaceUriOf(vm, args[0]);
        ns->value = Value(uri);
        if (!uri.empty()) ns->prefix = Value();
        return Value();
    }
    String uri = namespaceUriOf(vm, args[1]);
    ns->value = Value(uri);
    const Value& prefixArg = args[0];
    String prefix = prefixArg.isUndefined() ? String() : vm.toString(prefixArg);
    if (uri.empty()) {
        if (!prefix.empty())
            vm.throwError(ErrorType::TypeError, "Error #1098: Illegal prefix " + prefix.toUtf8() + " for no namespace.",
                          1098);
    } else if (prefixArg.isUndefined() || (!prefix.empty() && !isXmlNameText(prefix.view()))) {
        ns->prefix = Value();
    } else {
        ns->prefix = Value(prefix);
    }
    return Value();
}

Value namespacePrefix(Vm&, const Value& self, std::span<const Value>) {
    Object* o = self.object();
    return o && o->kind == ObjectKind::Namespace ? static_cast<BoxObject*>(o)->prefix : Value();
}

Value booleanToString(Vm& vm, const Value& self, std::span<const Value>) {
    if (self.object() && self.object() == vm.builtins().boolean->prototype) return Value(String(u"false"));
    if (!self.isBoolean() && !(self.object() && self.object()->cls == vm.builtins().boolean))
        vm.throwError(ErrorType::TypeError,
                      "Error #1004: Method Boolean.prototype.toString was invoked on an incompatible object.", 1004);
    return Value(String(toBoolean(self) ? u"true" : u"false"));
}

Value booleanValueOf(Vm& vm, const Value& self, std::span<const Value>) {
    if (self.object() && self.object() == vm.builtins().boolean->prototype) return Value(false);
    if (!self.isBoolean() && !(self.object() && self.object()->cls == vm.builtins().boolean))
        vm.throwError(ErrorType::TypeError,
                      "Error #1004: Method Boolean.prototype.valueOf was invoked on an incompatible object.", 1004);
    return Value(toBoolean(self));
}

}  // namespace

void installObjectClasses(Vm& vm) {
    Class* object = vm.findClass(u"Object");
    // Object(x) and new Object(x) both hand a value that is not null back as it is.
    object->callAsFunction = callObject;
    object->construct = callObject;
    vm.defineConstant(object, u"length", Value(1));
    vm.defineMethod(object, u"toString", objectToString);
    vm.defineMethod(object, u"toLocaleString", objectToString);
    vm.defineMethod(object, u"hasOwnProperty", hasOwnProperty, false, 1);
    vm.defineMethod(object, u"propertyIsEnumerable", propertyIsEnumerable, false, 1);
    vm.defineMethod(object, u"setPropertyIsEnumerable", setPropertyIsEnumerable, false, 2);
    vm.defineMethod(object, u"isPrototypeOf", isPrototypeOf, false, 1);
    vm.defineMethod(object, u"valueOf", valueOf);
    Class* function = vm.findClass(u"Function");
    vm.defineMethod(function, u"call", functionCall, false, 1);
    vm.defineMethod(function, u"apply", functionApply, false, 2);
    vm.defineGetter(function, u"length", functionLength);
    vm.defineMethod(function, u"toString", functionToString);
    vm.defineMethod(function, u"toLocaleString", functionToString);
    Class* ns = vm.defineClass(u"", u"Namespace", object, [](Vm& vm, Class* cls) -> Object* {
        return vm.make<BoxObject>(ObjectKind::Namespace, &cls->instanceTraits, cls, cls->prototype);
    });
    vm.defineConstructor(ns, namespaceInit);
    // Namespace(x) makes one, except of a namespace, which it hands back.
    ns->callAsFunction = [](Vm& vm, const Value&, std::span<const Value> args) {
        if (args.size() == 1 && args[0].object() && args[0].object()->kind == ObjectKind::Namespace) return args[0];
        return Value(vm.construct(vm.builtins().namespaceClass, args));
    };
    vm.defineGetter(ns, u"uri", namespaceUri);
    vm.defineGetter(ns, u"prefix", namespacePrefix);
    vm.defineMethod(ns, u"toString", namespaceUri);
    Class* boolean = vm.defineClass(u"", u"Boolean", object, nullptr);
    boolean->callAsFunction = [](Vm&, const Value&, std::span<const Value> args) {
        return Value(toBoolean(arg(args, 0)));
    };
    boolean->sealed = true;
    vm.defineConstant(boolean, u"length", Value(1));
    vm.defineMethod(boolean, u"toString", booleanToString);
    vm.defineMethod(boolean, u"valueOf", booleanValueOf);
}

}  // namespace kinolux::avm2
