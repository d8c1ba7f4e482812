#include "flash/avm2/vm.h"

#include <cmath>

namespace kinolux::avm2 {

Vm::Vm(Host& host, avm1::ScriptLimits limits) : host_(host), limits_(limits) { installBuiltins(); }

Vm::~Vm() = default;

void Vm::beginRun() {
    if (runs_++ == 0) {
        totalActions_ += actions_;
        actions_ = 0;
        budget_ = limits_.actionBudget();
    }
}

void Vm::endRun() { --runs_; }

void Vm::charge(std::size_t bytes) {
    memory_ += bytes;
    if (memory_ > limits_.maxMemoryBytes) {
        disabled_ = true;
        throw avm1::ScriptAbort(avm1::LimitMessage::kMemory, true);
    }
}

void Vm::reportUncaught(const Value& error) {
    String text;
    try {
        text = toString(error);
    } catch (...) {
        text = String(u"(error)");
    }
    host_.scriptError("Uncaught ActionScript error: " + text.toUtf8());
    auto* box = dynamic_cast<BoxObject*>(error.object());
    const bool withStack = box && box->kind == ObjectKind::Error && box->value.isString();
    host_.uncaughtError((withStack ? String::concat(text, box->value.string()) : text).toUtf8());
}

bool Vm::loadAbc(const std::uint8_t* data, std::size_t size, bool lazy) {
    auto unit = std::make_unique<AbcUnit>();
    try {
        unit->file = readAbc(data, size);
    } catch (const AbcError& e) {
        host_.scriptError(e.what());
        return false;
    }
    AbcUnit& u = *unit;
    const AbcFile& f = u.file;
    charge(size * 4);
    for (const auto& s : f.strings) u.strings.push_back(String::fromUtf8(s));
    for (const auto& ns : f.namespaces)
        u.namespaces.push_back({ns.kind, u.strings[ns.name], ns.kind == NamespaceKind::Private ? nextPrivateId_++ : 0});
    for (const auto& m : f.multinames) {
        Multiname name;
        name.attribute = m.isAttribute();
        const AbcMultiname& named = m.kind == MultinameKind::TypeName ? f.multinames[m.base] : m;
        const AbcMultiname& base = named.kind == MultinameKind::TypeName ? f.multinames[0] : named;
        name.name = u.strings[base.name];
        name.anyName = base.name == 0 && !base.needsRuntimeName();
        if (base.kind == MultinameKind::QName || base.kind == MultinameKind::QNameA) {
            name.namespaces.push_back(u.namespaces[base.ns]);
            name.anyNamespace = base.ns == 0;
        }
        for (std::uint32_t ns : f.namespaceSets[base.nsSet]) name.namespaces.push_back(u.namespaces[ns]);
        u.names.push_back(std::move(name));
    }
    u.methods.resize(f.methods.size());
    for (std::size_t i = 0; i < f.methods.size(); ++i) {
        u.methods[i].unit = &u;
        u.methods[i].index = std::uint32_t(i);
        u.methods[i].name = u.strings[f.methods[i].name];
        // A function with no name at all is known by its index; one the
        // compiler named but left empty is an anonymous function.
        if (f.methods[i].name == 0) u.methods[i].traceName = String::fromUtf8("MethodInfo-" + std::to_string(i));
    }
    u.classes.assign(f.instances.size(), nullptr);
    u.activationTraits.resize(f.bodies.size());
    u.activationBuilt.assign(f.bodies.size(), false);
    u.scriptTraits.resize(f.scripts.size());
    u.scriptState.assign(f.scripts.size(), 0);
    units_.push_back(std::move(unit));
    for (std::size_t i = 0; i < f.scripts.size(); ++i) buildTraits(u, f.scripts[i].traits, u.scriptTraits[i], nullptr);
    for (const auto& script : f.scripts) u.methods[script.init].traceName = String(u"global$init");
    for (std::size_t i = 0; i < f.scripts.size(); ++i) {
        Object* global =
            make<Object>(ObjectKind::Global, &u.scriptTraits[i], builtins_.object, builtins_.object->prototype);
        u.globals.push_back(global);
        auto scope = std::make_shared<const std::vector<Scope>>(std::vector<Scope>{{Value(global), false}});
        for (const AbcTrait& t : f.scripts[i].traits) {
            if (t.kind == TraitKind::Method || t.kind == TraitKind::Getter || t.kind == TraitKind::Setter)
                u.methods[t.index].scope = scope;
            if (t.kind == TraitKind::Function) {
                const Trait* trait =
                    u.scriptTraits[i].findQualified(u.names[t.name].namespaces[0], u.names[t.name].name);
                if (trait && trait->slot < global->slotValues.size())
                    global->slotValues[trait->slot] = newFunction(&u.methods[t.index], scope);
            }
        }
    }
    if (!lazy) guarded([&] { runScript(u, f.scripts.size() - 1); });
    return true;
}

void Vm::runScript(AbcUnit& unit, std::size_t script) {
    if (unit.scriptState[script] != 0) return;
    unit.scriptState[script] = 1;
    Object* global = unit.globals[script];
    callMethod(&unit.methods[unit.file.scripts[script].init], Value(global), {},
               std::make_shared<const std::vector<Scope>>());
    unit.scriptState[script] = 2;
}

Class* Vm::findClass(std::u16string_view dotted) {
    Multiname m;
    std::size_t dot = dotted.rfind(u'.');
    m.namespaces.push_back(
        Namespace{NamespaceKind::Package, String(dot == std::u16string_view::npos ? u"" : dotted.substr(0, dot)), 0});
    m.name = String(dot == std::u16string_view::npos ? dotted : dotted.substr(dot + 1));
    Object* global = findGlobal(m);
    if (!global) return nullptr;
    Object* o = getProperty(Value(global), m).object();
    return o && o->kind == ObjectKind::Class ? static_cast<ClassObject*>(o)->self : nullptr;
}

Object* Vm::findGlobal(const Multiname& m) {
    if (builtinTraits_.find(m)) return builtinGlobal_;
    for (auto& unit : units_) {
        for (std::size_t i = 0; i < unit->scriptTraits.size(); ++i) {
            if (!unit->scriptTraits[i].find(m)) continue;
            runScript(*unit, i);
            return unit->globals[i];
        }
    }
    if (m.seesPublic() && builtinGlobal_->dynamic.get(m.name.view())) return builtinGlobal_;
    return nullptr;
}

// ---- traits and classes ----

Value Vm::constantValue(AbcUnit& u, const AbcConstant& c) {
    switch (c.kind) {
    case ConstantKind::Int: return Value(double(u.file.ints[c.index]));
    case ConstantKind::UInt: return Value(double(u.file.uints[c.index]));
    case ConstantKind::Double: return Value(u.file.doubles[c.index]);
    case ConstantKind::Utf8: return Value(u.strings[c.index]);
    case ConstantKind::True: return Value(true);
    case ConstantKind::False: return Value(false);
    case ConstantKind::Null: return Value::null();
    case ConstantKind::Undefined: return Value();
    default: {
        BoxObject* ns = make<BoxObject>(ObjectKind::Namespace, nullptr, builtins_.namespaceClass,
                                        builtins_.namespaceClass->prototype);
        ns->value = Value(u.namespaces[c.index].uri);
        return Value(static_cast<Object*>(ns));
    }
    }
}

Class* Vm::classNamed(AbcUnit& unit, std::uint32_t multiname, bool orNull) {
    if (multiname == 0) return nullptr;
    const Multiname& m = unit.names[multiname];
    if (const Trait* t = builtinTraits_.find(m)) {
        Object* o = builtinGlobal_->slotValues[t->slot].object();
        return o && o->kind == ObjectKind::Class ? static_cast<ClassObject*>(o)->self : nullptr;
    }
    if (orNull) return nullptr;
    Object* global = findGlobal(m);
    if (!global)
        throwError(ErrorType::ReferenceError, "Error #1065: Variable " + m.name.toUtf8() + " is not defined.", 1065);
    Object* o = getProperty(Value(global), m).object();
    if (!o || o->kind != ObjectKind::Class)
        throwError(ErrorType::VerifyError, "Error #1014: Class " + m.name.toUtf8() + " could not be found.", 1014);
    return static_cast<ClassObject*>(o)->self;
}

namespace {
// A call through an interface names the method in the interface's
// namespace; the class answers it with its public method of that name.
void bindInterfaceMethods(Traits& traits, const Class& iface) {
    for (const Trait& t : iface.instanceTraits.list) {
        if (traits.findQualified(t.ns, t.name)) continue;
        if (const Trait* impl = traits.findQualified(Namespace{}, t.name)) {
            Trait alias = *impl;
            alias.ns = t.ns;
            traits.put(std::move(alias));
        }
    }
    for (const Class* parent : iface.interfaces) bindInterfaceMethods(traits, *parent);
}
}  // namespace

// A class may name interfaces its script declares after it; the player
// binds them by name, so one of this file's not made yet is made here.
Class* Vm::interfaceNamed(AbcUnit& u, std::uint32_t multiname, const ScopeChain& scope) {
    if (multiname == 0 || multiname >= u.names.size()) return nullptr;
    const Multiname& m = u.names[multiname];
    // A name an earlier file (the loading movie's, for a movie loaded into
    // it) defines is that file's: the first definition is the one in force.
    for (const auto& earlier : units_) {
        if (earlier.get() == &u) break;
        for (const Traits& traits : earlier->scriptTraits)
            if (traits.find(m)) return classNamed(u, multiname, false);
    }
    for (std::uint32_t i = 0; i < u.file.instances.size(); ++i) {
        const AbcInstance& inst = u.file.instances[i];
        const Multiname& declared = u.names[inst.name];
        if (!(inst.flags & InstanceFlag::Interface) || !(declared.name == m.name) || !m.matches(declared.namespaces[0]))
            continue;
        return u.classes[i] ? u.classes[i] : makeClass(u, i, nullptr, scope);
    }
    return classNamed(u, multiname, false);
}

void Vm::buildTraits(AbcUnit& u, const std::vector<AbcTrait>& traits, Traits& into, Class* owner) {
    for (const AbcTrait& at : traits) {
        Trait t;
        t.ns = u.names[at.name].namespaces[0];
        t.name = u.names[at.name].name;
        switch (at.kind) {
        case TraitKind::Slot:
        case TraitKind::Const:
        case TraitKind::Class:
        case TraitKind::Function: {
            t.type = at.kind == TraitKind::Const   ? TraitType::Const
                     : at.kind == TraitKind::Class ? TraitType::Class
                                                   : TraitType::Slot;
            // Slot numbers past what any object could need are a hostile file's.
            if (at.slotId > 65536) throw AbcError("ABC: slot id out of range");
            t.slot = at.slotId ? at.slotId - 1 : std::uint32_t(into.slotDefaults.size());
            if (into.slotDefaults.size() <= t.slot) into.slotDefaults.resize(t.slot + 1);
            Value v;
            if (at.kind == TraitKind::Slot || at.kind == TraitKind::Const) {
                t.slotClass = classNamed(u, at.typeName, true);
                const Builtins& b = builtins_;
                if (at.value.kind || at.value.index) v = constantValue(u, at.value);
                else if (t.slotClass == b.number) v = Value(NAN);
                else if (t.slotClass == b.intClass || t.slotClass == b.uintClass) v = Value(0);
                else if (t.slotClass == b.boolean) v = Value(false);
                else if (at.typeName != 0 && !(u.names[at.typeName].name == u"*")) v = Value::null();
                if (t.slotClass && (at.value.kind || at.value.index)) v = coerceTo(v, t.slotClass);
            } else if (at.kind == TraitKind::Class) {
                v = Value::null();
            }
            into.slotDefaults[t.slot] = v;
            break;
        }
        case TraitKind::Method:
            t.type = TraitType::Method;
            t.method = &u.methods[at.index];
            break;
        case TraitKind::Getter:
            t.type = TraitType::Accessor;
            t.method = &u.methods[at.index];
            break;
        case TraitKind::Setter:
            t.type = TraitType::Accessor;
            t.setter = &u.methods[at.index];
            break;
        }
        if (owner) {
            if (t.method) t.method->owner = owner;
            if (t.setter) t.setter->owner = owner;
        }
        into.put(std::move(t));
    }
}

void Vm::nameMethods(AbcUnit& u, Class& c, const std::vector<AbcTrait>& instanceTraits,
                     const std::vector<AbcTrait>& staticTraits) {
    std::u16string owner(c.qualifiedName().view());
    c.init->traceName = String(owner);
    c.classInit->traceName = String(owner + u"$cinit");
    auto name = [&](const std::vector<AbcTrait>& traits, const std::u16string& prefix) {
        for (const AbcTrait& at : traits) {
            const char16_t* kind = at.kind == TraitKind::Getter   ? u"get "
                                   : at.kind == TraitKind::Setter ? u"set "
                                   : at.kind == TraitKind::Method ? u""
                                                                  : nullptr;
            if (!kind) continue;
            const Multiname& m = u.names[at.name];
            std::u16string text = prefix + kind;
            // Only names in a namespace of the script's own show it.
            if (!m.namespaces.empty() && m.namespaces[0].kind == NamespaceKind::Namespace &&
                !m.namespaces[0].uri.empty()) {
                text += m.namespaces[0].uri.view();
                text += u"::";
            }
            text += m.name.view();
            u.methods[at.index].traceName = String(text);
        }
    };
    name(instanceTraits, owner + u"/");
    name(staticTraits, owner + u"$/");
}

String Vm::stackTrace() const {
    std::u16string text;
    for (auto it = callStack_.rbegin(); it != callStack_.rend(); ++it) {
        const Method* m = *it;
        text += u"\n\tat ";
        if (!m->traceName.empty()) text += m->traceName.view();
        else if (!m->name.empty()) text += m->name.view();
        else text += u"Function/<anonymous>";
        text += u"()";
    }
    return String(text);
}

const Traits& Vm::activationTraits(AbcUnit& unit, std::uint32_t body) {
    if (!unit.activationBuilt[body]) {
        buildTraits(unit, unit.file.bodies[body].traits, unit.activationTraits[body], nullptr);
        unit.activationBuilt[body] = true;
    }
    return unit.activationTraits[body];
}

Class* Vm::makeClass(AbcUnit& u, std::uint32_t index, Class* super, const ScopeChain& scope) {
    const AbcInstance& inst = u.file.instances[index];
    // An interface made early for a class that implements it. Other
    // classes may be made again: each newclass gives a class object of its own.
    if (u.classes[index] && u.classes[index]->isInterface) return u.classes[index];
    charge(sizeof(Class) + 256);
    Class& c = classes_.emplace_back();
    // Marked before its interfaces are looked up, so that a cycle of them ends.
    u.classes[index] = &c;
    c.name = u.names[inst.name].name;
    c.ns = u.names[inst.name].namespaces[0];
    c.isInterface = inst.flags & InstanceFlag::Interface;
    c.sealed = inst.flags & InstanceFlag::Sealed;
    c.super = c.isInterface ? nullptr : super;
    if (c.super) {
        c.instanceTraits = c.super->instanceTraits;
        c.makeInstance = c.super->makeInstance;
        c.instanceKind = c.super->instanceKind;
        c.hooks = c.super->hooks;
    }
    for (std::uint32_t i : inst.interfaces) {
        Class* iface = interfaceNamed(u, i, scope);
        // A hostile file's interfaces that extend each other in a circle.
        if (iface && !iface->isSubclassOf(&c)) c.interfaces.push_back(iface);
    }
    buildTraits(u, inst.traits, c.instanceTraits, &c);
    if (!c.isInterface)
        for (const Class* iface : c.interfaces) bindInterfaceMethods(c.instanceTraits, *iface);
    buildTraits(u, u.file.classes[index].traits, c.staticTraits, &c);
    c.object = make<ClassObject>(ObjectKind::Class, &c.staticTraits, builtins_.cls, builtins_.cls->prototype);
    c.object->self = &c;
    std::vector<Scope> chain = scope ? *scope : std::vector<Scope>{};
    chain.push_back({Value(static_cast<Object*>(c.object)), false});
    c.scope = std::make_shared<const std::vector<Scope>>(std::move(chain));
    auto setScope = [&](const Traits& traits) {
        for (const Trait& t : traits.list) {
            if (t.method && t.method->owner == &c) t.method->scope = c.scope;
            if (t.setter && t.setter->owner == &c) t.setter->scope = c.scope;
        }
    };
    setScope(c.instanceTraits);
    setScope(c.staticTraits);
    c.init = &u.methods[inst.init];
    c.init->owner = &c;
    c.init->scope = c.scope;
    c.classInit = &u.methods[u.file.classes[index].init];
    c.classInit->owner = &c;
    nameMethods(u, c, inst.traits, u.file.classes[index].traits);
    c.prototype = make<Object>(ObjectKind::Plain, nullptr, builtins_.object,
                               super ? super->prototype : builtins_.object->prototype);
    c.prototype->dynamic.set(String(u"constructor"), Value(static_cast<Object*>(c.object)), false);
    c.object->dynamic.set(String(u"prototype"), Value(c.prototype), false);
    callMethod(c.classInit, Value(static_cast<Object*>(c.object)), {}, c.scope);
    return &c;
}

// ---- objects ----

Object* Vm::newObject() {
    return make<Object>(ObjectKind::Plain, nullptr, builtins_.object, builtins_.object->prototype);
}

ArrayObject* Vm::newArray(std::vector<Value> elements) {
    charge(elements.size() * sizeof(Value));
    ArrayObject* a = make<ArrayObject>(ObjectKind::Array, &builtins_.array->instanceTraits, builtins_.array,
                                       builtins_.array->prototype);
    a->elements = std::move(elements);
    return a;
}

ArrayObject& Vm::denseArray(ArrayObject& a) {
    if (!a.isSparse()) return a;
    if (a.length() > limits_.maxArrayLength) throw avm1::ScriptAbort(avm1::LimitMessage::kArray, false);
    charge((a.length() - a.elements.size() - a.sparse.size()) * sizeof(Value));
    a.makeDense();
    return a;
}

FunctionObject* Vm::newFunction(Method* method, ScopeChain scope) {
    FunctionObject* f = make<FunctionObject>(ObjectKind::Function, &builtins_.function->instanceTraits,
                                             builtins_.function, builtins_.function->prototype);
    f->method = method;
    f->scope = std::move(scope);
    return f;
}

Method* Vm::nativeMethod(NativeFunction fn, String name) {
    Method& m = nativeMethods_.emplace_back();
    m.native = fn;
    m.name = std::move(name);
    return &m;
}

FunctionObject* Vm::newNativeFunction(NativeFunction fn, String name) {
    return newFunction(nativeMethod(fn, std::move(name)), nullptr);
}

Object* Vm::construct(Class* cls, std::span<const Value> args) {
    if (cls->isInterface) notAConstructor(cls->name.toUtf8());
    // Kinds with an object type of their own come only from makeInstance.
    ObjectKind kind = cls->instanceKind == ObjectKind::Error ? ObjectKind::Error : ObjectKind::Plain;
    Object* obj = cls->makeInstance ? cls->makeInstance(*this, cls)
                                    : make<Object>(kind, &cls->instanceTraits, cls, cls->prototype);
    obj->sealed = cls->sealed;
    if (cls->init) callMethod(cls->init, Value(obj), args, cls->init->scope);
    return obj;
}

Value Vm::constructValue(const Value& ctor, std::span<const Value> args) {
    Object* o = ctor.object();
    if (o && o->kind == ObjectKind::Class) {
        Class* c = static_cast<ClassObject*>(o)->self;
        if (c->construct) return c->construct(*this, Value(), args);
        return Value(construct(c, args));
    }
    if (o && o->kind == ObjectKind::Function) {
        Value proto = getPublic(ctor, u"prototype");
        Object* obj = make<Object>(ObjectKind::Plain, nullptr, builtins_.object,
                                   proto.object() ? proto.object() : builtins_.object->prototype);
        Value r = call(ctor, Value(obj), args);
        return r.isObject() ? r : Value(obj);
    }
    notAConstructor("value");
}

void Vm::notAConstructor(const std::string& what) {
    // Players for SWF 10 and before named the value.
    if (swfVersion_ <= 10)
        throwError(ErrorType::TypeError, "Error #1115: " + what + " is not a constructor.", 1115);
    throwError(ErrorType::TypeError, "Error #1007: Instantiation attempted on a non-constructor.", 1007);
}

Object* Vm::newError(ErrorType type, const String& message, int id) {
    Value args[] = {Value(message), Value(id)};
    return construct(builtins_.errors[std::size_t(type)], args);
}

void Vm::throwError(ErrorType type, const std::string& message, int id) {
    throw ScriptThrow{Value(newError(type, String::fromUtf8(message), id))};
}

// ---- properties ----

bool Vm::arrayIndex(const String& name, std::uint32_t& index) {
    std::u16string_view v = name.view();
    if (v.empty() || v.size() > 10 || (v.size() > 1 && v[0] == u'0')) return false;
    std::uint64_t n = 0;
    for (char16_t c : v) {
        if (c < u'0' || c > u'9') return false;
        n = n * 10 + (c - u'0');
    }
    if (n >= 0xFFFFFFFFull) return false;
    index = std::uint32_t(n);
    return true;
}

Object* Vm::protoOfPrimitive(const Value& v) {
    switch (v.type()) {
    case Type::Boolean: return builtins_.boolean->prototype;
    case Type::Number: return builtins_.number->prototype;
    case Type::String: return builtins_.string->prototype;
    default: return nullptr;
    }
}

Value Vm::getTraitValue(Object* obj, const Trait& t, const Value& receiver) {
    switch (t.type) {
    case TraitType::Slot:
    case TraitType::Const:
    case TraitType::Class: return t.slot < obj->slotValues.size() ? obj->slotValues[t.slot] : Value();
    case TraitType::Method: {
        FunctionObject* f = newFunction(t.method, t.method->scope);
        f->boundThis = receiver;
        f->bound = true;
        return Value(static_cast<Object*>(f));
    }
    case TraitType::Accessor:
        if (!t.method)
            throwError(ErrorType::ReferenceError,
                       "Error #1077: Illegal read of write-only property " + t.name.toUtf8() + " on " +
                           classOf(receiver)->dottedName() + ".",
                       1077);
        return callMethod(t.method, receiver, {}, t.method->scope);
    }
    return Value();
}

Value Vm::getDynamic(Object* obj, const Multiname& name) {
    if (!name.seesPublic() && !name.anyName) return Value();
    for (Object* p = obj; p; p = p->proto)
        if (const Value* v = p->dynamic.get(name.name.view())) return *v;
    return Value();
}

void Vm::nullReference(const Value& target) {
    if (target.isUndefined())
        throwError(ErrorType::TypeError, "Error #1010: A term is undefined and has no properties.", 1010);
    throwError(ErrorType::TypeError, "Error #1009: Cannot access a property or method of a null object reference.",
               1009);
}

Value Vm::getProperty(const Value& target, const Multiname& name) {
    Object* o = target.object();
    if (!o) return getOfPrimitive(target, name, true);
    if ((o->kind == ObjectKind::Array || o->kind == ObjectKind::Vector) && name.seesPublic()) {
        std::uint32_t i;
        if (arrayIndex(name.name, i)) {
            auto* a = static_cast<ArrayObject*>(o);
            if (o->kind == ObjectKind::Array) {
                // A missing element shows what the prototype has at that index.
                const Value* v = a->element(i);
                return v ? *v : getDynamic(o->proto, name);
            }
            if (i < a->elements.size()) return a->elements[i];
            throwError(ErrorType::RangeError,
                       "Error #1125: The index " + std::to_string(i) + " is out of range " +
                           std::to_string(a->elements.size()) + ".",
                       1125);
        }
    }
    if (o->traits)
        if (const Trait* t = o->traits->find(name)) return getTraitValue(o, *t, target);
    if (const PropertyHooks* h = hooksOf(o)) {
        Value out;
        if (h->get(*this, o, name, out)) return out;
    }
    if (o->kind == ObjectKind::Function && name.name == u"prototype" && !o->dynamic.get(u"prototype")) {
        Object* proto = newObject();
        proto->dynamic.set(String(u"constructor"), target, false);
        o->dynamic.set(String(u"prototype"), Value(proto), false);
        return Value(proto);
    }
    if (o->kind == ObjectKind::Dictionary && name.runtimeKey.isObject()) {
        for (const auto& [key, value] : static_cast<BoxObject*>(o)->pairs)
            if (key.object() == name.runtimeKey.object()) return value;
        return Value();
    }
    if (o->sealed && !name.anyName) return getSealed(o, target, name);
    return getDynamic(o, name);
}

// Numbers, strings and booleans are of sealed classes: reading a name they
// lack is an error unless the caller reports it its own way.
Value Vm::getOfPrimitive(const Value& target, const Multiname& name, bool sealed) {
    if (target.isNullish()) nullReference(target);
    if (target.isString() && name.name == u"length") return Value(double(target.string().size()));
    Object* proto = protoOfPrimitive(target);
    if (const Trait* t = proto && proto->traits ? proto->traits->find(name) : nullptr)
        return getTraitValue(proto, *t, target);
    if (Class* c = classOf(target)) {
        if (const Trait* t = c->instanceTraits.find(name); t && t->type == TraitType::Accessor)
            return getTraitValue(proto, *t, target);
    }
    return sealed && !name.anyName ? getSealed(proto, target, name) : getDynamic(proto, name);
}

// A sealed object has no default for a name it lacks; only its prototypes
// may add one.
Value Vm::getSealed(Object* from, const Value& target, const Multiname& name) {
    for (Object* p = from; p; p = p->proto)
        if (const Value* v = name.seesPublic() ? p->dynamic.get(name.name.view()) : nullptr) return *v;
    // An attribute name (x.@a on what is not XML) has an error of its own.
    int id = name.attribute ? 1081 : 1069;
    throwError(ErrorType::ReferenceError,
               "Error #" + std::to_string(id) + ": Property " + std::string(name.attribute ? "@" : "") + name.describe() +
                   " not found on " + classOf(target)->dottedName() + " and there is no default value.",
               id);
}

void Vm::setProperty(const Value& target, const Multiname& name, const Value& value, bool init) {
    Object* o = target.object();
    if (!o) {
        if (target.isNullish()) nullReference(target);
        // Numbers, strings and booleans are of sealed classes: nothing new
        // goes on them, and their methods stay.
        Object* proto = protoOfPrimitive(target);
        if (!proto) return;
        const std::string owner = target.isNumber() ? "Number" : target.isString() ? "String" : "Boolean";
        if (target.isString() && name.name == u"length")
            throwError(ErrorType::ReferenceError, "Error #1074: Illegal write to read-only property length on String.",
                       1074);
        const Value* method = proto->dynamic.get(name.name.view());
        if (method && method->object() && method->object()->kind == ObjectKind::Function)
            throwError(ErrorType::ReferenceError,
                       "Error #1037: Cannot assign to a method " + name.name.toUtf8() + " on " + owner + ".", 1037);
        throwError(ErrorType::ReferenceError,
                   "Error #1056: Cannot create property " + name.name.toUtf8() + " on " + owner + ".", 1056);
    }
    if ((o->kind == ObjectKind::Array || o->kind == ObjectKind::Vector) && name.seesPublic()) {
        std::uint32_t i;
        if (arrayIndex(name.name, i)) {
            auto* a = static_cast<ArrayObject*>(o);
            if (o->kind == ObjectKind::Array) {
                const std::size_t held = a->elements.size() + a->sparse.size();
                a->setElement(i, value);
                const std::size_t now = a->elements.size() + a->sparse.size();
                if (now > held) charge((now - held) * sizeof(Value));
                return;
            }
            if (i >= a->elements.size()) {
                if (i > a->elements.size() || a->fixed)
                    throwError(ErrorType::RangeError,
                               "Error #1125: The index " + std::to_string(i) + " is out of range " +
                                   std::to_string(a->elements.size()) + ".",
                               1125);
                if (i >= limits_.maxArrayLength) throw avm1::ScriptAbort(avm1::LimitMessage::kArray, false);
                charge(sizeof(Value));
                a->elements.resize(i + 1);
            }
            a->elements[i] = a->elementClass ? coerceTo(value, a->elementClass) : value;
            return;
        }
    }
    if (o->traits) {
        if (const Trait* t = o->traits->find(name)) {
            switch (t->type) {
            case TraitType::Const:
            case TraitType::Class:
                if (!init)
                    throwError(ErrorType::ReferenceError,
                               "Error #1074: Illegal write to read-only property " + name.describe() + " on " +
                                   classOf(target)->dottedName() + ".",
                               1074);
                [[fallthrough]];
            case TraitType::Slot:
                if (t->slot < o->slotValues.size())
                    o->slotValues[t->slot] = t->slotClass ? coerceTo(value, t->slotClass) : value;
                return;
            case TraitType::Method:
                throwError(ErrorType::ReferenceError,
                           "Error #1037: Cannot assign to a method " + name.describe() + " on " +
                               classOf(target)->dottedName() + ".",
                           1037);
            case TraitType::Accessor: {
                if (!t->setter)
                    throwError(ErrorType::ReferenceError,
                               "Error #1074: Illegal write to read-only property " + name.describe() + " on " +
                                   classOf(target)->dottedName() + ".",
                               1074);
                Value arg[] = {value};
                callMethod(t->setter, target, arg, t->setter->scope);
                return;
            }
            }
        }
    }
    if (const PropertyHooks* h = hooksOf(o); h && h->set(*this, o, name, value)) return;
    // A class's prototype is fixed for its life.
    if (o->kind == ObjectKind::Class && name.name == u"prototype" && name.seesPublic())
        throwError(ErrorType::ReferenceError,
                   "Error #1074: Illegal write to read-only property prototype on " +
                       static_cast<ClassObject*>(o)->self->dottedName() + ".",
                   1074);
    if (o->kind == ObjectKind::Dictionary && name.runtimeKey.isObject()) {
        auto& pairs = static_cast<BoxObject*>(o)->pairs;
        for (auto& [key, v] : pairs)
            if (key.object() == name.runtimeKey.object()) {
                v = value;
                return;
            }
        charge(2 * sizeof(Value));
        pairs.emplace_back(name.runtimeKey, value);
        return;
    }
    if (o->sealed || !name.seesPublic()) {
        throwError(
            ErrorType::ReferenceError,
            "Error #1056: Cannot create property " + name.describe() + " on " + classOf(target)->dottedName() + ".",
            1056);
    }
    charge(sizeof(DynamicProperty) + 32);
    o->dynamic.set(name.name, value);
}

bool Vm::hasProperty(const Value& target, const Multiname& name) {
    Object* o = target.object();
    if (!o) {
        if (target.isString() && name.name == u"length") return true;
        Object* proto = protoOfPrimitive(target);
        return proto && getDynamic(proto, name).type() != Type::Undefined;
    }
    if (o->kind == ObjectKind::Array || o->kind == ObjectKind::Vector) {
        std::uint32_t i;
        if (arrayIndex(name.name, i)) return static_cast<ArrayObject*>(o)->hasIndex(i);
    }
    if (o->traits && o->traits->find(name)) return true;
    if (const PropertyHooks* h = hooksOf(o)) {
        bool out = false;
        if (h->has(*this, o, name, out)) return out;
    }
    if (o->kind == ObjectKind::Dictionary && name.runtimeKey.isObject()) {
        for (const auto& pair : static_cast<BoxObject*>(o)->pairs)
            if (pair.first.object() == name.runtimeKey.object()) return true;
        return false;
    }
    if (!name.seesPublic()) return false;
    for (Object* p = o; p; p = p->proto)
        if (p->dynamic.get(name.name.view())) return true;
    return false;
}

bool Vm::deleteProperty(const Value& target, const Multiname& name) {
    Object* o = target.object();
    if (!o) {
        if (target.isNullish()) nullReference(target);
        // Numbers, strings and booleans are of sealed classes.
        throwError(
            ErrorType::ReferenceError,
            "Error #1120: Cannot delete property " + name.describe() + " on " + classOf(target)->dottedName() + ".",
            1120);
    }
    if (o->kind == ObjectKind::Array) {
        std::uint32_t i;
        auto* a = static_cast<ArrayObject*>(o);
        if (arrayIndex(name.name, i)) {
            a->eraseElement(i);
            return true;
        }
    }
    if (o->kind == ObjectKind::Dictionary && name.runtimeKey.isObject()) {
        auto& pairs = static_cast<BoxObject*>(o)->pairs;
        for (auto it = pairs.begin(); it != pairs.end(); ++it)
            if (it->first.object() == name.runtimeKey.object()) {
                pairs.erase(it);
                return true;
            }
        return true;
    }
    if (o->traits && o->traits->find(name)) return false;
    if (const PropertyHooks* h = hooksOf(o)) {
        bool out = false;
        if (h->erase(*this, o, name, out)) return out;
    }
    if (o->kind == ObjectKind::Class && name.name == u"prototype") return false;
    // A sealed object has no properties to delete (what the player keeps
    // on it out of sight stays).
    if (o->sealed) return false;
    o->dynamic.erase(name.name.view());
    return true;
}

Value Vm::callProperty(const Value& target, const Multiname& name, std::span<const Value> args) {
    if (Object* o = target.object(); o && o->traits) {
        if (const Trait* t = o->traits->find(name); t && t->type == TraitType::Method)
            return callMethod(t->method, target, args, t->method->scope);
        if (const PropertyHooks* h = hooksOf(o)) {
            Value out;
            if (h->call(*this, o, name, args, out)) return out;
        }
    }
    Value f = target.isObject() ? getProperty(target, name) : getOfPrimitive(target, name, false);
    if (!f.object()) {
        // A sealed object has no default for a name it lacks.
        if (Object* o = target.object(); o && o->sealed && f.isUndefined() && !hasProperty(target, name))
            throwError(ErrorType::ReferenceError,
                       "Error #1069: Property " + name.describe() + " not found on " + classOf(target)->dottedName() +
                           " and there is no default value.",
                       1069);
        throwError(ErrorType::TypeError, "Error #1006: " + name.name.toUtf8() + " is not a function.", 1006);
    }
    return call(f, target, args);
}

// ---- calls ----

Value Vm::call(const Value& function, const Value& thisValue, std::span<const Value> args) {
    Object* o = function.object();
    if (o && o->kind == ObjectKind::Function) {
        auto* f = static_cast<FunctionObject*>(o);
        // A closure called on nothing runs on the global object it was made in.
        const Value& self = f->bound                                                  ? f->boundThis
                            : thisValue.isNullish() && f->scope && !f->scope->empty() ? f->scope->front().object
                                                                                      : thisValue;
        return callMethod(f->method, self, args, f->scope, f);
    }
    if (o && o->kind == ObjectKind::Class) {
        Class* c = static_cast<ClassObject*>(o)->self;
        if (c->callAsFunction) return c->callAsFunction(*this, thisValue, args);
        if (args.size() != 1)
            throwError(ErrorType::ArgumentError,
                       "Error #1112: Argument count mismatch on class coercion.  Expected 1, got " +
                           std::to_string(args.size()) + ".",
                       1112);
        // Vector.<T>(list) makes a vector of T from an Array or another vector.
        Object* from = args[0].object();
        if (c->instanceKind == ObjectKind::Vector && c != builtins_.vector && from && from->cls != c &&
            (from->kind == ObjectKind::Array || from->kind == ObjectKind::Vector)) {
            std::vector<Value> source = denseArray(*static_cast<ArrayObject*>(from)).elements;
            auto* v = static_cast<ArrayObject*>(construct(c, {}));
            charge(source.size() * sizeof(Value));
            for (Value& e : source) e = coerceTo(e.isHole() ? Value() : e, c->vectorElement);
            v->elements = std::move(source);
            return Value(static_cast<Object*>(v));
        }
        return coerceTo(args[0], c);
    }
    throwError(ErrorType::TypeError, "Error #1006: value is not a function.", 1006);
}

// Native methods count too: a script can recurse through toString and
// valueOf without calling itself directly.
Value Vm::callMethod(Method* method, const Value& thisValue, std::span<const Value> args, const ScopeChain& scope,
                     FunctionObject* callee) {
    if (depth_ >= limits_.maxCallDepth) {
        // The error's own constructor is a call as well: it runs from the bottom.
        int depth = std::exchange(depth_, 0);
        Object* error = nullptr;
        try {
            error = newError(ErrorType::Error, String(u"Error #1023: Stack overflow occurred."), 1023);
        } catch (...) {
            depth_ = depth;
            throw;
        }
        depth_ = depth;
        throw ScriptThrow{Value(error)};
    }
    script::DepthGuard guard(depth_);
    if (method->native) return method->native(*this, thisValue, args);
    return execute(method, thisValue, args, scope, callee);
}

}  // namespace kinolux::avm2
