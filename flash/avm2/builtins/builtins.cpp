// Declaring the player's own classes and the order they come in.
#include "flash/avm2/builtins/native.h"

namespace kinolux::avm2 {

void Vm::setSwfVersion(int version) {
    swfVersion_ = version;
    if (version >= 16 && !std::exchange(numberStatics_, true)) installNumberStatics(*this);
}

Class* Vm::defineClass(std::u16string_view package, std::u16string_view name, Class* super,
                       NativeConstructor makeInstance, ObjectKind kind) {
    Class& c = classes_.emplace_back();
    c.name = String(name);
    c.ns = Namespace{NamespaceKind::Package, String(package), 0};
    c.super = super;
    c.sealed = false;
    if (super) {
        c.instanceTraits = super->instanceTraits;
        c.makeInstance = super->makeInstance;
        c.instanceKind = super->instanceKind;
        c.hooks = super->hooks;
    }
    if (makeInstance) c.makeInstance = makeInstance;
    if (kind != ObjectKind::Plain) c.instanceKind = kind;
    Object* objectProto = builtins_.object ? builtins_.object->prototype : nullptr;
    c.prototype = make<Object>(ObjectKind::Plain, nullptr, builtins_.object, super ? super->prototype : objectProto);
    c.object = make<ClassObject>(ObjectKind::Class, &c.staticTraits, builtins_.cls,
                                 builtins_.cls ? builtins_.cls->prototype : nullptr);
    c.object->self = &c;
    c.object->dynamic.set(String(u"prototype"), Value(c.prototype), false);
    c.prototype->dynamic.set(String(u"constructor"), Value(static_cast<Object*>(c.object)), false);
    defineConstructor(&c, nothing);
    Trait t;
    t.ns = c.ns;
    t.name = c.name;
    t.type = TraitType::Class;
    t.slot = std::uint32_t(builtinGlobal_->slotValues.size());
    builtinTraits_.put(t);
    builtinGlobal_->slotValues.push_back(Value(static_cast<Object*>(c.object)));
    return &c;
}

void Vm::defineConstructor(Class* cls, NativeFunction init) {
    cls->init = nativeMethod(init, cls->name);
    cls->init->owner = cls;
}

void Vm::defineMethod(Class* cls, std::u16string_view name, NativeFunction fn, bool isStatic, int length) {
    Object* holder = isStatic ? static_cast<Object*>(cls->object) : cls->prototype;
    FunctionObject* f = newNativeFunction(fn, String(name));
    f->method->nativeLength = length;
    holder->dynamic.set(String(name), Value(static_cast<Object*>(f)), false);
}

void Vm::defineTraitMethod(Class* cls, std::u16string_view name, NativeFunction fn) {
    Trait t;
    t.name = String(name);
    t.type = TraitType::Method;
    t.method = nativeMethod(fn, t.name);
    cls->instanceTraits.put(t);
}

void Vm::defineGetter(Class* cls, std::u16string_view name, NativeFunction fn, NativeFunction setter, bool isStatic) {
    Trait t;
    t.name = String(name);
    t.type = TraitType::Accessor;
    t.method = nativeMethod(fn, t.name);
    if (setter) t.setter = nativeMethod(setter, t.name);
    (isStatic ? cls->staticTraits : cls->instanceTraits).put(t);
}

void Vm::defineConstant(Class* cls, std::u16string_view name, const Value& v) {
    Trait t;
    t.name = String(name);
    t.type = TraitType::Const;
    t.slot = std::uint32_t(cls->object->slotValues.size());
    cls->staticTraits.put(t);
    cls->staticTraits.slotDefaults.push_back(v);
    cls->object->slotValues.push_back(v);
}

void Vm::defineFunction(std::u16string_view package, std::u16string_view name, NativeFunction fn, int length) {
    FunctionObject* f = newNativeFunction(fn, String(name));
    f->method->nativeLength = length;
    defineGlobalValue(name, Value(static_cast<Object*>(f)), package);
}

void Vm::defineGlobalValue(std::u16string_view name, const Value& v, std::u16string_view package) {
    Trait t;
    t.ns = Namespace{NamespaceKind::Package, String(package), 0};
    t.name = String(name);
    t.type = TraitType::Const;
    t.slot = std::uint32_t(builtinGlobal_->slotValues.size());
    builtinTraits_.put(t);
    builtinGlobal_->slotValues.push_back(v);
}

void Vm::runFunction(const Value& function, const Value& thisValue) {
    guarded([&] { call(function, thisValue, {}); });
}

void Vm::installBuiltins() {
    builtinGlobal_ = make<Object>(ObjectKind::Global, &builtinTraits_, nullptr, nullptr);
    // Object comes first: every other prototype leads to its prototype.
    builtins_.object = defineClass(u"", u"Object", nullptr, nullptr);
    builtins_.cls = defineClass(u"", u"Class", builtins_.object, [](Vm& vm, Class*) -> Object* {
        vm.throwError(ErrorType::TypeError, "Error #1115: Class is not a constructor.", 1115);
    });
    builtins_.function = defineClass(u"", u"Function", builtins_.object,
                                     [](Vm& vm, Class*) -> Object* { return vm.newNativeFunction(nothing, String()); });
    // No compiler lives in the player: a function made from source text is refused.
    builtins_.function->init = nativeMethod(
        [](Vm& vm, const Value&, std::span<const Value> args) {
            if (!args.empty())
                vm.throwError(ErrorType::EvalError, "Error #1066: The form function('function body') is not supported.",
                              1066);
            return Value();
        },
        String(u"Function"));
    builtins_.function->callAsFunction = [](Vm& vm, const Value& self, std::span<const Value> args) {
        vm.builtins().function->init->native(vm, self, args);
        return Value(static_cast<Object*>(vm.construct(vm.builtins().function, {})));
    };
    // Function.prototype is itself a function, one that does nothing.
    Object* plainPrototype = builtins_.function->prototype;
    FunctionObject* functionPrototype = newNativeFunction(nothing, String());
    functionPrototype->dynamic = plainPrototype->dynamic;
    builtins_.function->prototype = functionPrototype;
    builtins_.function->object->dynamic.set(String(u"prototype"), Value(static_cast<Object*>(functionPrototype)),
                                            false);
    for (Class* c : {builtins_.object, builtins_.cls, builtins_.function}) {
        if (c != builtins_.function) c->prototype->cls = builtins_.object;
        c->prototype->proto = c == builtins_.object ? nullptr : builtins_.object->prototype;
        c->object->cls = builtins_.cls;
        c->object->proto = builtins_.cls->prototype;
    }
    builtinGlobal_->cls = builtins_.object;
    builtinGlobal_->proto = builtins_.object->prototype;
    installObjectClasses(*this);
    installErrorClasses(*this);
    installNumberClasses(*this);
    installStringClass(*this);
    installArrayClass(*this);
    installVectorClass(*this);
    installMathClass(*this);
    installDateClass(*this);
    installRegExpClass(*this);
    installGlobalFunctions(*this);
    installUtilsPackage(*this);
    installByteArrayClass(*this);
    installJsonClass(*this);
    installXmlClasses(*this);
    installXmlDocumentClasses(*this);
    installProxyClass(*this);
    installUriFunctions(*this);
    installDisplayClasses(*this);
    installTimerClasses(*this);
    builtins_.namespaceClass = findClass(u"Namespace");
    builtins_.string = findClass(u"String");
    builtins_.number = findClass(u"Number");
    builtins_.intClass = findClass(u"int");
    builtins_.uintClass = findClass(u"uint");
    builtins_.boolean = findClass(u"Boolean");
    builtins_.array = findClass(u"Array");
    builtins_.vector = findClass(u"__AS3__.vec.Vector");
    builtins_.error = findClass(u"Error");
    builtins_.date = findClass(u"Date");
    for (const char16_t* name : {u"Error", u"TypeError", u"ReferenceError", u"RangeError", u"ArgumentError",
                                 u"VerifyError", u"EvalError", u"SyntaxError", u"URIError", u"SecurityError"})
        builtins_.errors.push_back(findClass(name));
}

}  // namespace kinolux::avm2
