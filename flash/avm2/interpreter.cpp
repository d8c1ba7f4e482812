// The bytecode loop. Every operand is checked where it is used: stack,
// local, scope and pool indices and branch targets, so that a hostile
// method cannot reach outside its own frame.
#include <bit>
#include <cmath>

#include "flash/avm2/builtins/xml.h"
#include "flash/avm2/opcodes.h"
#include "flash/avm2/vm.h"

namespace kinolux::avm2 {
namespace {

struct Frame {
    Vm& vm;
    AbcUnit& unit;
    const AbcMethodBody& body;
    const std::uint8_t* code;
    std::size_t size;
    std::size_t pc = 0;
    std::vector<Value> locals;
    std::vector<Value> stack;
    std::vector<Scope> scopes;

    [[noreturn]] void verifyError(const std::string& what) {
        vm.throwError(ErrorType::VerifyError,
                      "Error #1030: " + what + " in " + unit.methods[body.method].name.toUtf8() + ".", 1030);
    }
    std::uint8_t u8() {
        if (pc >= size) verifyError("Code runs past its end");
        return code[pc++];
    }
    std::uint32_t u30() {
        std::uint32_t v = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            std::uint8_t b = u8();
            v |= std::uint32_t(b & 0x7F) << shift;
            if (!(b & 0x80)) break;
        }
        return v;
    }
    std::int32_t s24() {
        std::uint32_t v = u8();
        v |= std::uint32_t(u8()) << 8;
        v |= std::uint32_t(u8()) << 16;
        return std::int32_t(v << 8) >> 8;
    }
    void jumpTo(std::int64_t target) {
        if (target < 0 || std::size_t(target) > size) verifyError("Branch target outside the code");
        pc = std::size_t(target);
    }
    void push(Value v) {
        if (stack.size() >= body.maxStack) verifyError("Stack overflow");
        stack.push_back(std::move(v));
    }
    Value pop() {
        if (stack.empty()) verifyError("Stack underflow");
        Value v = std::move(stack.back());
        stack.pop_back();
        return v;
    }
    Value& top() {
        if (stack.empty()) verifyError("Stack underflow");
        return stack.back();
    }
    std::vector<Value> popArgs(std::uint32_t n) {
        if (n > stack.size()) verifyError("Stack underflow");
        std::vector<Value> args(std::make_move_iterator(stack.end() - n), std::make_move_iterator(stack.end()));
        stack.resize(stack.size() - n);
        return args;
    }
    Value& local(std::uint32_t i) {
        if (i >= locals.size()) verifyError("Local register out of range");
        return locals[i];
    }
    template <class T>
    const T& pool(const std::vector<T>& p, std::uint32_t i) {
        if (i >= p.size()) verifyError("Constant pool index out of range");
        return p[i];
    }
    // A multiname operand, with the parts it takes from the stack.
    Multiname name(std::uint32_t index) {
        const Multiname& base = pool(unit.names, index);
        if (index == 0) verifyError("Multiname 0");
        const AbcMultiname& info = unit.file.multinames[index];
        if (!info.needsRuntimeName() && !info.needsRuntimeNamespace()) return base;
        Multiname m = base;
        if (info.needsRuntimeName()) {
            Value n = pop();
            if (Object* o = n.object(); o && o->kind == ObjectKind::Namespace) verifyError("Namespace as a name");
            m.name = vm.toString(n);
            m.anyName = false;
            m.runtimeKey = std::move(n);
        }
        if (info.needsRuntimeNamespace()) {
            Value ns = pop();
            Object* o = ns.object();
            if (!o || o->kind != ObjectKind::Namespace)
                vm.throwError(ErrorType::TypeError, "Error #1040: Namespace expected.", 1040);
            m.namespaces = {Namespace{NamespaceKind::Namespace, vm.toString(static_cast<BoxObject*>(o)->value), 0}};
        }
        // A QName brings its own namespace, whatever the code qualified it with.
        if (Object* o = m.runtimeKey.object(); o && o->kind == ObjectKind::QName) {
            const auto* q = static_cast<const QNameObject*>(o);
            m.name = q->local;
            if (q->anyUri) m.anyNamespace = true;
            else m.namespaces = {Namespace{NamespaceKind::Namespace, q->uri, 0}};
        }
        return m;
    }
};

bool isFunctionValue(const Value& v) {
    return v.object() && (v.object()->kind == ObjectKind::Function || v.object()->kind == ObjectKind::Class);
}

// A less-than comparison answers true, false or undefined (where a NaN took
// part): <= and >= hold only where the reverse comparison answered false.
bool comparedFalse(const Value& lessThanResult) { return lessThanResult.isBoolean() && !lessThanResult.boolean(); }

// The relation a comparing opcode tests; the pushing forms and the
// branching ones (with their negations) share each definition.
bool relationHolds(Vm& vm, std::uint8_t opcode, const Value& a, const Value& b) {
    switch (opcode) {
    case op::Equals:
    case op::IfEq: return vm.equals(a, b);
    case op::IfNe: return !vm.equals(a, b);
    case op::StrictEquals:
    case op::IfStrictEq: return Vm::strictEquals(a, b);
    case op::IfStrictNe: return !Vm::strictEquals(a, b);
    case op::LessThan:
    case op::IfLt: return toBoolean(vm.lessThan(a, b));
    case op::IfNlt: return !toBoolean(vm.lessThan(a, b));
    case op::GreaterThan:
    case op::IfGt: return toBoolean(vm.lessThan(b, a));
    case op::IfNgt: return !toBoolean(vm.lessThan(b, a));
    case op::LessEquals:
    case op::IfLe: return comparedFalse(vm.lessThan(b, a));
    case op::IfNle: return !comparedFalse(vm.lessThan(b, a));
    case op::GreaterEquals:
    case op::IfGe: return comparedFalse(vm.lessThan(a, b));
    case op::IfNge: return !comparedFalse(vm.lessThan(a, b));
    }
    return false;
}

// Enumeration walks one index space: array or vector elements, then
// dictionary pairs, then dynamic properties. Indices count from 1 so that 0
// can end the walk.
std::size_t elementCount(const Object* o) {
    if (o->kind != ObjectKind::Array && o->kind != ObjectKind::Vector) return 0;
    const auto* a = static_cast<const ArrayObject*>(o);
    return a->elements.size() + a->sparse.size();
}

// An array's element at a place in the walk: its index, and its value
// (null for a missing one, which the walk passes over).
std::pair<std::uint32_t, const Value*> elementAt(const Object* o, std::size_t k) {
    const auto* a = static_cast<const ArrayObject*>(o);
    if (k < a->elements.size()) return {std::uint32_t(k), a->elements[k].isHole() ? nullptr : &a->elements[k]};
    const auto& [index, value] = a->sparseAt(k - a->elements.size());
    return {index, &value};
}

std::size_t pairCount(const Object* o) {
    return o->kind == ObjectKind::Dictionary ? static_cast<const BoxObject*>(o)->pairs.size() : 0;
}

std::uint32_t nextEnumerable(Vm& vm, Object* o, std::uint32_t index) {
    if (const PropertyHooks* h = hooksOf(o)) return h->nextIndex(vm, o, index);
    if (!o) return 0;
    std::size_t fixed = elementCount(o) + pairCount(o);
    std::size_t total = fixed + o->dynamic.size();
    const std::size_t elements = elementCount(o);
    for (std::size_t k = index; k < total; ++k) {
        if (k < elements ? elementAt(o, k).second != nullptr
                         : k < fixed || o->dynamic.entries()[k - fixed].enumerable)
            return std::uint32_t(k + 1);
    }
    return 0;
}

}  // namespace

Value Vm::execute(Method* method, const Value& thisValue, std::span<const Value> args, const ScopeChain& outer,
                  FunctionObject* callee) {
    AbcUnit& unit = *method->unit;
    const AbcMethod& info = unit.file.methods[method->index];
    if (info.body < 0)
        throwError(ErrorType::VerifyError, "Error #1079: Native methods are not allowed in loaded code.", 1079);
    const AbcMethodBody& body = unit.file.bodies[std::size_t(info.body)];

    Frame f{*this, unit, body, body.code.data(), body.code.size(), 0, std::vector<Value>(body.localCount), {}, {}};
    // A method that sets the default XML namespace sets it for its own run only.
    struct XmlNamespaceRestore {
        Vm& vm;
        String saved;
        bool active;
        ~XmlNamespaceRestore() {
            if (active) vm.setDefaultXmlNamespace(saved);
        }
    } restoreXmlNamespace{*this, defaultXmlNamespace_, (info.flags & MethodFlag::SetDxns) != 0};
    // Error objects read this stack; the call depth limit bounds it.
    struct CallStackEntry {
        std::vector<const Method*>& stack;
        CallStackEntry(std::vector<const Method*>& s, const Method* m) : stack(s) { stack.push_back(m); }
        ~CallStackEntry() { stack.pop_back(); }
    } callStackEntry{callStack_, method};
    const std::size_t paramCount = info.paramTypes.size();
    // Function expressions take any number of arguments (the missing ones
    // are undefined); methods insist on theirs.
    const bool isClosure = callee && !callee->bound;
    const std::size_t required = paramCount - info.optionals.size();
    if (!isClosure &&
        (args.size() < required ||
         (args.size() > paramCount && !(info.flags & (MethodFlag::NeedRest | MethodFlag::NeedArguments))))) {
        throwError(ErrorType::ArgumentError,
                   "Error #1063: Argument count mismatch on " + method->name.toUtf8() + ". Expected " +
                       std::to_string(required) + ", got " + std::to_string(args.size()) + ".",
                   1063);
    }
    f.locals[0] = thisValue;
    for (std::size_t i = 0; i < paramCount; ++i) {
        Value v = i < args.size() ? args[i]
                  : i >= required ? constantValue(unit, info.optionals[i - required])
                                  : Value();
        Class* type = classNamed(unit, info.paramTypes[i], true);
        f.locals[i + 1] = type ? coerceTo(v, type) : v;
    }
    if (info.flags & (MethodFlag::NeedRest | MethodFlag::NeedArguments)) {
        std::vector<Value> rest;
        std::size_t from = (info.flags & MethodFlag::NeedRest) ? paramCount : 0;
        for (std::size_t i = from; i < args.size(); ++i) rest.push_back(args[i]);
        ArrayObject* a = newArray(std::move(rest));
        if ((info.flags & MethodFlag::NeedArguments) && callee)
            a->dynamic.set(String(u"callee"), Value(static_cast<Object*>(callee)), false);
        if (paramCount + 1 < f.locals.size()) f.locals[paramCount + 1] = Value(static_cast<Object*>(a));
    }
    f.stack.reserve(std::min<std::size_t>(body.maxStack, 1024));
    const std::size_t maxScopes = body.maxScopeDepth - body.initScopeDepth;
    const std::vector<Scope> noScopes;
    const std::vector<Scope>& outerScopes = outer ? *outer : noScopes;

    auto scopeChain = [&]() {
        std::vector<Scope> chain = outerScopes;
        chain.insert(chain.end(), f.scopes.begin(), f.scopes.end());
        return std::make_shared<const std::vector<Scope>>(std::move(chain));
    };
    auto findProperty = [&](const Multiname& m, bool strict) -> Value {
        auto search = [&](const Scope& s) {
            Object* o = s.object.object();
            if (!o) return false;
            if (s.with) return hasProperty(s.object, m);
            if (o->traits && o->traits->find(m)) return true;
            return m.seesPublic() && o->dynamic.get(m.name.view()) != nullptr;
        };
        for (auto it = f.scopes.rbegin(); it != f.scopes.rend(); ++it)
            if (search(*it)) return it->object;
        for (auto it = outerScopes.rbegin(); it != outerScopes.rend(); ++it)
            if (search(*it)) return it->object;
        if (Object* g = findGlobal(m)) return Value(g);
        if (strict)
            throwError(ErrorType::ReferenceError, "Error #1065: Variable " + m.name.toUtf8() + " is not defined.",
                       1065);
        if (!outerScopes.empty()) return outerScopes.front().object;
        if (!f.scopes.empty()) return f.scopes.front().object;
        return Value(builtinGlobal_);
    };
    // `width` bytes of the domain memory at an address, or a RangeError.
    auto domainBytes = [&](const Value& where, std::size_t width) -> std::uint8_t* {
        const double address = double(toInt32(toNumber(where)));
        auto* memory = static_cast<BoxObject*>(domainMemory_);
        if (!memory || !(address >= 0) || address + double(width) > double(memory->bytes.size()))
            throwError(ErrorType::RangeError, "Error #1506: The range specified is invalid.", 1506);
        return reinterpret_cast<std::uint8_t*>(memory->bytes.data()) + std::size_t(address);
    };
    auto superClass = [&]() -> Class* {
        if (!method->owner || !method->owner->super)
            throwError(ErrorType::ReferenceError, "Error #1070: Method has no super class.", 1070);
        return method->owner->super;
    };
    auto slotOf = [&](const Value& target, std::uint32_t slot) -> Value& {
        Object* o = target.object();
        if (!o) {
            if (target.isNullish()) nullReference(target);
            f.verifyError("Slot access on a primitive");
        }
        if (slot == 0 || slot > o->slotValues.size()) f.verifyError("Slot index out of range");
        return o->slotValues[slot - 1];
    };
    auto slotClass = [&](Object* o, std::uint32_t slot) -> Class* {
        if (!o->traits) return nullptr;
        for (const Trait& t : o->traits->list)
            if ((t.type == TraitType::Slot) && t.slot == slot - 1) return t.slotClass;
        return nullptr;
    };
    auto compareJump = [&](bool taken, std::int32_t offset) {
        if (taken) f.jumpTo(std::int64_t(f.pc) + offset);
    };
    auto tick = [&]() {
        if (++actions_ > budget_) {
            disabled_ = true;
            throw avm1::ScriptAbort(avm1::LimitMessage::kTimeout, true);
        }
    };

    for (;;) {
        std::size_t instructionStart = 0;
        try {
            for (;;) {
                tick();
                instructionStart = f.pc;
                std::uint8_t opcode = f.u8();
                switch (opcode) {
                case op::Bkpt:
                case op::Nop:
                case op::Label:
                case op::Timestamp: break;
                case op::BkptLine:
                case op::DebugLine:
                case op::DebugFile: f.u30(); break;
                case op::Debug:
                    f.u8();
                    f.u30();
                    f.u8();
                    f.u30();
                    break;
                case op::Throw: throw ScriptThrow{f.pop()};
                case op::Dxns: setDefaultXmlNamespace(f.pool(unit.strings, f.u30())); break;
                case op::DxnsLate: setDefaultXmlNamespace(toString(f.pop())); break;
                case op::Kill: f.local(f.u30()) = Value(); break;
                case op::Jump: {
                    std::int32_t o = f.s24();
                    f.jumpTo(std::int64_t(f.pc) + o);
                    break;
                }
                case op::IfTrue: {
                    std::int32_t o = f.s24();
                    compareJump(toBoolean(f.pop()), o);
                    break;
                }
                case op::IfFalse: {
                    std::int32_t o = f.s24();
                    compareJump(!toBoolean(f.pop()), o);
                    break;
                }
                case op::IfEq:
                case op::IfNe:
                case op::IfStrictEq:
                case op::IfStrictNe:
                case op::IfLt:
                case op::IfLe:
                case op::IfGt:
                case op::IfGe:
                case op::IfNlt:
                case op::IfNle:
                case op::IfNgt:
                case op::IfNge: {
                    std::int32_t o = f.s24();
                    Value b = f.pop(), a = f.pop();
                    compareJump(relationHolds(*this, opcode, a, b), o);
                    break;
                }
                case op::LookupSwitch: {
                    std::size_t base = instructionStart;
                    std::int32_t defaultOffset = f.s24();
                    std::uint32_t count = f.u30();
                    if (count >= f.size) f.verifyError("Switch larger than the code");
                    std::size_t cases = f.pc;
                    std::uint32_t index = toUint32(toNumber(f.pop()));
                    std::int32_t target = defaultOffset;
                    if (index <= count) {
                        f.pc = cases + std::size_t(index) * 3;
                        target = f.s24();
                    }
                    f.jumpTo(std::int64_t(base) + target);
                    break;
                }
                case op::PushWith:
                case op::PushScope: {
                    Value v = f.pop();
                    if (v.isNullish()) nullReference(v);
                    if (f.scopes.size() >= maxScopes) f.verifyError("Scope stack overflow");
                    f.scopes.push_back({std::move(v), opcode == op::PushWith});
                    break;
                }
                case op::PopScope:
                    if (f.scopes.empty()) f.verifyError("Scope stack underflow");
                    f.scopes.pop_back();
                    break;
                case op::HasNext: {
                    Value index = f.pop(), obj = f.pop();
                    f.push(Value(double(nextEnumerable(*this, obj.object(), toUint32(toNumber(index))))));
                    break;
                }
                case op::HasNext2: {
                    std::uint32_t objReg = f.u30(), indexReg = f.u30();
                    Value& objLocal = f.local(objReg);
                    Value& indexLocal = f.local(indexReg);
                    std::uint32_t next = nextEnumerable(*this, objLocal.object(), toUint32(toNumber(indexLocal)));
                    if (!next) objLocal = Value::null();
                    indexLocal = Value(double(next));
                    f.push(Value(next != 0));
                    break;
                }
                case op::NextName:
                case op::NextValue: {
                    Value index = f.pop(), obj = f.pop();
                    Object* o = obj.object();
                    std::uint32_t i = toUint32(toNumber(index));
                    Value result;
                    if (const PropertyHooks* h = hooksOf(o)) {
                        result = opcode == op::NextName ? h->nextName(*this, o, i) : h->nextValue(*this, o, i);
                    } else if (o && i > 0) {
                        std::size_t k = i - 1;
                        std::size_t elements = elementCount(o);
                        std::size_t pairs = pairCount(o);
                        if (k < elements) {
                            auto [at, value] = elementAt(o, k);
                            result = opcode == op::NextName ? Value(double(at)) : value ? *value : Value();
                        } else if (k < elements + pairs) {
                            const auto& pair = static_cast<BoxObject*>(o)->pairs[k - elements];
                            result = opcode == op::NextName ? pair.first : pair.second;
                        } else if (k - elements - pairs < o->dynamic.size()) {
                            const auto& p = o->dynamic.entries()[k - elements - pairs];
                            // The player keeps names that are whole numbers as numbers.
                            std::uint32_t index;
                            result = opcode == op::NextValue ? p.value
                                     : arrayIndex(p.name, index) ? Value(double(index))
                                                                 : Value(p.name);
                        }
                    }
                    f.push(std::move(result));
                    break;
                }
                case op::PushNull: f.push(Value::null()); break;
                case op::PushUndefined: f.push(Value()); break;
                case op::PushByte: f.push(Value(double(std::int8_t(f.u8())))); break;
                case op::PushShort: f.push(Value(double(std::int16_t(std::uint16_t(f.u30()))))); break;
                case op::PushTrue: f.push(Value(true)); break;
                case op::PushFalse: f.push(Value(false)); break;
                case op::PushNaN: f.push(Value(NAN)); break;
                case op::Pop: f.pop(); break;
                case op::Dup: {
                    Value v = f.top();
                    f.push(std::move(v));
                    break;
                }
                case op::Swap: {
                    Value b = f.pop(), a = f.pop();
                    f.push(std::move(b));
                    f.push(std::move(a));
                    break;
                }
                case op::PushString: f.push(Value(f.pool(unit.strings, f.u30()))); break;
                case op::PushInt: f.push(Value(double(f.pool(unit.file.ints, f.u30())))); break;
                case op::PushUint: f.push(Value(double(f.pool(unit.file.uints, f.u30())))); break;
                case op::PushDouble: f.push(Value(f.pool(unit.file.doubles, f.u30()))); break;
                case op::PushNamespace: {
                    std::uint32_t index = f.u30();
                    f.pool(unit.namespaces, index);
                    f.push(constantValue(unit, AbcConstant{ConstantKind::Namespace, index}));
                    break;
                }
                case op::NewFunction: {
                    std::uint32_t m = f.u30();
                    f.pool(unit.methods, m);
                    f.push(Value(static_cast<Object*>(newFunction(&unit.methods[m], scopeChain()))));
                    break;
                }
                case op::Call: {
                    auto args = f.popArgs(f.u30());
                    Value self = f.pop(), fn = f.pop();
                    f.push(call(fn, self, args));
                    break;
                }
                case op::Construct: {
                    auto args = f.popArgs(f.u30());
                    Value ctor = f.pop();
                    f.push(constructValue(ctor, args));
                    break;
                }
                case op::CallMethod:
                case op::CallStatic: {
                    std::uint32_t index = f.u30();
                    auto args = f.popArgs(f.u30());
                    Value self = f.pop();
                    Method* m = nullptr;
                    if (opcode == op::CallStatic) {
                        m = &unit.methods[f.pool(unit.methods, index).index];
                    } else {
                        Object* o = self.object();
                        if (!o || !o->traits) f.verifyError("callmethod without traits");
                        std::uint32_t dispId = 0;
                        for (const Trait& t : o->traits->list)
                            if (t.type == TraitType::Method && ++dispId == index) m = t.method;
                        if (!m) f.verifyError("Method index out of range");
                    }
                    f.push(callMethod(m, self, args, m->scope));
                    break;
                }
                case op::CallSuper:
                case op::CallSuperVoid: {
                    std::uint32_t nameIndex = f.u30();
                    auto args = f.popArgs(f.u30());
                    Multiname m = f.name(nameIndex);
                    Value self = f.pop();
                    Class* super = superClass();
                    const Trait* t = super->instanceTraits.find(m);
                    Value r;
                    if (t && t->type == TraitType::Method) r = callMethod(t->method, self, args, t->method->scope);
                    else if (t) r = call(getTraitValue(self.object(), *t, self), self, args);
                    else r = call(getDynamic(super->prototype, m), self, args);
                    if (opcode == op::CallSuper) f.push(std::move(r));
                    break;
                }
                case op::GetSuper: {
                    Multiname m = f.name(f.u30());
                    Value self = f.pop();
                    Class* super = superClass();
                    const Trait* t = super->instanceTraits.find(m);
                    f.push(t && self.object() ? getTraitValue(self.object(), *t, self)
                                              : getDynamic(super->prototype, m));
                    break;
                }
                case op::SetSuper: {
                    Value v = f.pop();
                    Multiname m = f.name(f.u30());
                    Value self = f.pop();
                    Class* super = superClass();
                    const Trait* t = super->instanceTraits.find(m);
                    if (t && t->type == TraitType::Accessor && t->setter) {
                        Value arg[] = {v};
                        callMethod(t->setter, self, arg, t->setter->scope);
                    } else {
                        setProperty(self, m, v);
                    }
                    break;
                }
                case op::CallProperty:
                case op::CallPropLex:
                case op::CallPropVoid: {
                    std::uint32_t nameIndex = f.u30();
                    auto args = f.popArgs(f.u30());
                    Multiname m = f.name(nameIndex);
                    Value self = f.pop();
                    Value r;
                    if (opcode == op::CallPropLex) {
                        Value fn = getProperty(self, m);
                        if (!isFunctionValue(fn))
                            throwError(ErrorType::TypeError, "Error #1006: " + m.name.toUtf8() + " is not a function.",
                                       1006);
                        r = call(fn, Value::null(), args);
                    } else {
                        r = callProperty(self, m, args);
                    }
                    if (opcode != op::CallPropVoid) f.push(std::move(r));
                    break;
                }
                case op::ReturnVoid: return Value();
                case op::ReturnValue: {
                    Value r = f.pop();
                    Class* type = classNamed(unit, info.returnType, true);
                    return type ? coerceTo(r, type) : r;
                }
                case op::ConstructSuper: {
                    auto args = f.popArgs(f.u30());
                    Value self = f.pop();
                    Class* super = superClass();
                    if (super->init) callMethod(super->init, self, args, super->init->scope);
                    break;
                }
                case op::ConstructProp: {
                    std::uint32_t nameIndex = f.u30();
                    auto args = f.popArgs(f.u30());
                    Multiname m = f.name(nameIndex);
                    Value target = f.pop();
                    Value ctor = getProperty(target, m);
                    if (!ctor.object()) notAConstructor(m.name.toUtf8());
                    f.push(constructValue(ctor, args));
                    break;
                }
                case op::ApplyType: {
                    auto params = f.popArgs(f.u30());
                    Value base = f.pop();
                    Object* o = base.object();
                    if (!o || o->kind != ObjectKind::Class || static_cast<ClassObject*>(o)->self != builtins_.vector ||
                        params.size() != 1)
                        throwError(ErrorType::TypeError,
                                   "Error #1127: Type application attempted on a non-parameterized type.", 1127);
                    f.push(Value(static_cast<Object*>(vectorClassFor(params[0]).object)));
                    break;
                }
                case op::NewObject: {
                    std::uint32_t n = f.u30();
                    if (std::size_t(n) * 2 > f.stack.size()) f.verifyError("Stack underflow");
                    auto values = f.popArgs(n * 2);
                    Object* o = newObject();
                    for (std::uint32_t i = 0; i < n; ++i) o->dynamic.set(toString(values[i * 2]), values[i * 2 + 1]);
                    charge(n * sizeof(DynamicProperty));
                    f.push(Value(o));
                    break;
                }
                case op::NewArray: f.push(Value(static_cast<Object*>(newArray(f.popArgs(f.u30()))))); break;
                case op::NewActivation:
                    f.push(Value(make<Object>(ObjectKind::Activation, &activationTraits(unit, std::uint32_t(info.body)),
                                              builtins_.object, nullptr)));
                    break;
                case op::NewClass: {
                    std::uint32_t index = f.u30();
                    if (index >= unit.classes.size()) f.verifyError("Class index out of range");
                    Value base = f.pop();
                    Class* super = nullptr;
                    if (Object* o = base.object()) {
                        if (o->kind != ObjectKind::Class)
                            throwError(ErrorType::VerifyError, "Error #1014: Base class is not a class.", 1014);
                        super = static_cast<ClassObject*>(o)->self;
                    }
                    f.push(Value(static_cast<Object*>(makeClass(unit, index, super, scopeChain())->object)));
                    break;
                }
                case op::GetDescendants: {
                    Multiname m = f.name(f.u30());
                    Value target = f.pop();
                    Object* o = target.object();
                    Value found;
                    const PropertyHooks* h = hooksOf(o);
                    if (!h || !h->descendants(*this, o, m, found))
                        throwError(ErrorType::TypeError,
                                   "Error #1016: Descendants operator (..) not supported on type " +
                                       classOf(target)->qualifiedName().toUtf8() + ".",
                                   1016);
                    f.push(std::move(found));
                    break;
                }
                case op::NewCatch: {
                    std::uint32_t index = f.u30();
                    if (index >= body.exceptions.size()) f.verifyError("Exception index out of range");
                    auto key = std::make_pair(std::uint32_t(info.body), index);
                    auto it = unit.catchTraits.find(key);
                    if (it == unit.catchTraits.end()) {
                        Traits t;
                        if (std::uint32_t var = body.exceptions[index].varName) {
                            const Multiname& n = unit.names[var];
                            if (!n.namespaces.empty()) {
                                Trait slot;
                                slot.ns = n.namespaces[0];
                                slot.name = n.name;
                                t.slotDefaults.push_back(Value());
                                t.put(slot);
                            }
                        }
                        it = unit.catchTraits.emplace(key, std::move(t)).first;
                    }
                    f.push(Value(make<Object>(ObjectKind::Activation, &it->second, builtins_.object, nullptr)));
                    break;
                }
                case op::FindPropStrict:
                case op::FindProperty: f.push(findProperty(f.name(f.u30()), opcode == op::FindPropStrict)); break;
                case op::FindDef: {
                    Multiname m = f.name(f.u30());
                    Object* g = findGlobal(m);
                    if (!g)
                        throwError(ErrorType::ReferenceError,
                                   "Error #1065: Variable " + m.name.toUtf8() + " is not defined.", 1065);
                    f.push(Value(g));
                    break;
                }
                case op::GetLex: {
                    Multiname m = f.name(f.u30());
                    f.push(getProperty(findProperty(m, true), m));
                    break;
                }
                case op::SetProperty:
                case op::InitProperty: {
                    Value v = f.pop();
                    Multiname m = f.name(f.u30());
                    Value target = f.pop();
                    setProperty(target, m, v, opcode == op::InitProperty);
                    break;
                }
                case op::GetProperty: {
                    Multiname m = f.name(f.u30());
                    Value target = f.pop();
                    f.push(getProperty(target, m));
                    break;
                }
                case op::DeleteProperty: {
                    Multiname m = f.name(f.u30());
                    Value target = f.pop();
                    // delete x.(filter) asks to delete the list the filter made.
                    if (Object* key = m.runtimeKey.object(); key && key->kind == ObjectKind::XmlList)
                        throwError(ErrorType::TypeError,
                                   "Error #1119: Delete operator is not supported with operand of type XMLList.", 1119);
                    f.push(Value(deleteProperty(target, m)));
                    break;
                }
                case op::GetLocal: f.push(f.local(f.u30())); break;
                case op::SetLocal: {
                    std::uint32_t i = f.u30();
                    f.local(i) = f.pop();
                    break;
                }
                case op::GetLocal0:
                case op::GetLocal1:
                case op::GetLocal2:
                case op::GetLocal3: f.push(f.local(opcode - op::GetLocal0)); break;
                case op::SetLocal0:
                case op::SetLocal1:
                case op::SetLocal2:
                case op::SetLocal3: {
                    Value v = f.pop();
                    f.local(opcode - op::SetLocal0) = std::move(v);
                    break;
                }
                case op::GetGlobalScope:
                    f.push(!outerScopes.empty() ? outerScopes.front().object
                           : !f.scopes.empty()  ? f.scopes.front().object
                                                : Value(builtinGlobal_));
                    break;
                case op::GetScopeObject: {
                    std::uint32_t i = f.u8();
                    if (i >= f.scopes.size()) f.verifyError("Scope index out of range");
                    f.push(f.scopes[i].object);
                    break;
                }
                case op::GetOuterScope: {
                    std::uint32_t i = f.u30();
                    if (i >= outerScopes.size()) f.verifyError("Scope index out of range");
                    f.push(outerScopes[i].object);
                    break;
                }
                case op::GetSlot: {
                    std::uint32_t slot = f.u30();
                    Value target = f.pop();
                    f.push(slotOf(target, slot));
                    break;
                }
                case op::SetSlot: {
                    std::uint32_t slot = f.u30();
                    Value v = f.pop(), target = f.pop();
                    Value& s = slotOf(target, slot);
                    Class* type = slotClass(target.object(), slot);
                    s = type ? coerceTo(v, type) : v;
                    break;
                }
                case op::GetGlobalSlot:
                case op::SetGlobalSlot: {
                    std::uint32_t slot = f.u30();
                    Value global = !outerScopes.empty() ? outerScopes.front().object
                                   : !f.scopes.empty()  ? f.scopes.front().object
                                                        : Value();
                    if (opcode == op::GetGlobalSlot) f.push(slotOf(global, slot));
                    else slotOf(global, slot) = f.pop();
                    break;
                }
                case op::ConvertS:
                case op::CoerceS: {
                    Value v = f.pop();
                    f.push(opcode == op::CoerceS && v.isNullish() ? Value::null() : Value(toString(v)));
                    break;
                }
                case op::EscXElem:
                case op::EscXAttr: f.push(Value(xmlEscape(*this, f.pop(), opcode == op::EscXAttr))); break;
                case op::ConvertI:
                case op::CoerceI: f.push(Value(double(toInt32(toNumber(f.pop()))))); break;
                case op::ConvertU:
                case op::CoerceU: f.push(Value(double(toUint32(toNumber(f.pop()))))); break;
                case op::ConvertD:
                case op::CoerceD: f.push(Value(toNumber(f.pop()))); break;
                case op::ConvertB:
                case op::CoerceB: f.push(Value(toBoolean(f.pop()))); break;
                case op::ConvertO: {
                    Value& v = f.top();
                    if (v.isNullish()) nullReference(v);
                    break;
                }
                case op::CheckFilter: {
                    if (f.top().isNullish()) nullReference(f.top());
                    Object* o = f.top().object();
                    if (!o || (o->kind != ObjectKind::Xml && o->kind != ObjectKind::XmlList))
                        throwError(ErrorType::TypeError,
                                   "Error #1123: Filter operator not supported on type " +
                                       classOf(f.top())->dottedName() + ".",
                                   1123);
                    break;
                }
                case op::CoerceA: f.top(); break;
                case op::CoerceO: {
                    Value& v = f.top();
                    if (v.isUndefined()) v = Value::null();
                    break;
                }
                case op::Coerce: {
                    std::uint32_t index = f.u30();
                    f.pool(unit.names, index);
                    Value v = f.pop();
                    Class* type = classNamed(unit, index, false);
                    f.push(type ? coerceTo(v, type) : v);
                    break;
                }
                case op::AsType: {
                    std::uint32_t index = f.u30();
                    f.pool(unit.names, index);
                    Class* type = classNamed(unit, index, false);
                    Value v = f.pop();
                    f.push(isType(v, type) ? v : Value::null());
                    break;
                }
                case op::AsTypeLate:
                case op::IsTypeLate: {
                    Value typeValue = f.pop(), v = f.pop();
                    Object* t = typeValue.object();
                    // The player reports any type that is not an object as a null one.
                    if (!t) nullReference(typeValue.isUndefined() ? typeValue : Value::null());
                    if (!t || t->kind != ObjectKind::Class)
                        throwError(ErrorType::TypeError,
                                   "Error #1041: The right-hand side of operator must be a class.", 1041);
                    bool is = isType(v, static_cast<ClassObject*>(t)->self);
                    f.push(opcode == op::IsTypeLate ? Value(is) : is ? v : Value::null());
                    break;
                }
                case op::IsType: {
                    std::uint32_t index = f.u30();
                    f.pool(unit.names, index);
                    Class* type = classNamed(unit, index, false);
                    f.push(Value(isType(f.pop(), type)));
                    break;
                }
                case op::InstanceOf: {
                    Value typeValue = f.pop(), v = f.pop();
                    if (v.isUndefined()) nullReference(v);
                    Object* type = typeValue.object();
                    if (!type || (type->kind != ObjectKind::Class && type->kind != ObjectKind::Function))
                        throwError(ErrorType::TypeError,
                                   "Error #1040: The right-hand side of instanceof must be a class or function.", 1040);
                    Object* proto = getPublic(typeValue, u"prototype").object();
                    bool result = false;
                    if (Object* o = v.object())
                        for (Object* p = o->proto; p && !result; p = p->proto) result = p == proto;
                    else if (!v.isNullish())
                        for (Object* p = protoOfPrimitive(v); p && !result; p = p->proto) result = p == proto;
                    f.push(Value(result));
                    break;
                }
                case op::In: {
                    Value obj = f.pop(), nameValue = f.pop();
                    if (obj.isNullish()) nullReference(obj);
                    Multiname m = Multiname::publicName(toString(nameValue));
                    m.namespaces.push_back(Namespace{NamespaceKind::Namespace, String(kAs3Namespace), 0});
                    m.runtimeKey = nameValue;  // a Dictionary's object keys
                    f.push(Value(hasProperty(obj, m)));
                    break;
                }
                case op::Negate: f.push(Value(-toNumber(f.pop()))); break;
                case op::NegateI:
                    f.push(Value(double(std::int32_t(0u - std::uint32_t(toInt32(toNumber(f.pop())))))));
                    break;
                case op::Increment: f.push(Value(toNumber(f.pop()) + 1)); break;
                case op::Decrement: f.push(Value(toNumber(f.pop()) - 1)); break;
                case op::IncrementI:
                    f.push(Value(double(std::int32_t(std::uint32_t(toInt32(toNumber(f.pop()))) + 1u))));
                    break;
                case op::DecrementI:
                    f.push(Value(double(std::int32_t(std::uint32_t(toInt32(toNumber(f.pop()))) - 1u))));
                    break;
                case op::IncLocal:
                case op::DecLocal:
                case op::IncLocalI:
                case op::DecLocalI: {
                    Value& v = f.local(f.u30());
                    double d = toNumber(v);
                    if (opcode == op::IncLocal) v = Value(d + 1);
                    else if (opcode == op::DecLocal) v = Value(d - 1);
                    else
                        v = Value(double(
                            std::int32_t(std::uint32_t(toInt32(d)) + (opcode == op::IncLocalI ? 1u : 0xFFFFFFFFu))));
                    break;
                }
                case op::TypeOf: f.push(Value(typeOf(f.pop()))); break;
                case op::Not: f.push(Value(!toBoolean(f.pop()))); break;
                case op::BitNot: f.push(Value(double(~toInt32(toNumber(f.pop()))))); break;
                case op::Add: {
                    Value b = f.pop(), a = f.pop();
                    f.push(add(a, b));
                    break;
                }
                case op::AddI:
                case op::SubtractI:
                case op::MultiplyI: {
                    Value b = f.pop(), a = f.pop();
                    std::uint32_t x = std::uint32_t(toInt32(toNumber(a))), y = std::uint32_t(toInt32(toNumber(b)));
                    std::uint32_t r = opcode == op::AddI ? x + y : opcode == op::SubtractI ? x - y : x * y;
                    f.push(Value(double(std::int32_t(r))));
                    break;
                }
                case op::Subtract:
                case op::Multiply:
                case op::Divide:
                case op::Modulo: {
                    Value b = f.pop(), a = f.pop();
                    double x = toNumber(a), y = toNumber(b);
                    double r = opcode == op::Subtract   ? x - y
                               : opcode == op::Multiply ? x * y
                               : opcode == op::Divide   ? x / y
                                                        : std::fmod(x, y);
                    f.push(Value(r));
                    break;
                }
                case op::LShift:
                case op::RShift:
                case op::URShift:
                case op::BitAnd:
                case op::BitOr:
                case op::BitXor: {
                    Value b = f.pop(), a = f.pop();
                    double x = toNumber(a), y = toNumber(b);
                    std::uint32_t shift = toUint32(y) & 31;
                    double r = 0;
                    switch (opcode) {
                    case op::LShift: r = double(std::int32_t(std::uint32_t(toInt32(x)) << shift)); break;
                    case op::RShift: r = double(toInt32(x) >> shift); break;
                    case op::URShift: r = double(toUint32(x) >> shift); break;
                    case op::BitAnd: r = double(toInt32(x) & toInt32(y)); break;
                    case op::BitOr: r = double(toInt32(x) | toInt32(y)); break;
                    case op::BitXor: r = double(toInt32(x) ^ toInt32(y)); break;
                    }
                    f.push(Value(r));
                    break;
                }
                case op::Equals:
                case op::StrictEquals:
                case op::LessThan:
                case op::GreaterThan:
                case op::LessEquals:
                case op::GreaterEquals: {
                    Value b = f.pop(), a = f.pop();
                    f.push(Value(relationHolds(*this, opcode, a, b)));
                    break;
                }
                case op::Li8:
                case op::Li16:
                case op::Li32:
                case op::Lf32:
                case op::Lf64: {
                    static constexpr std::size_t kWidths[] = {1, 2, 4, 4, 8};
                    const std::size_t width = kWidths[opcode - op::Li8];
                    const std::uint8_t* at = domainBytes(f.pop(), width);
                    std::uint64_t bits = 0;
                    for (std::size_t i = 0; i < width; ++i) bits |= std::uint64_t(at[i]) << (8 * i);
                    if (opcode == op::Lf32) f.push(Value(double(std::bit_cast<float>(std::uint32_t(bits)))));
                    else if (opcode == op::Lf64) f.push(Value(std::bit_cast<double>(bits)));
                    else f.push(Value(double(bits)));
                    break;
                }
                case op::Si8:
                case op::Si16:
                case op::Si32:
                case op::Sf32:
                case op::Sf64: {
                    static constexpr std::size_t kWidths[] = {1, 2, 4, 4, 8};
                    const std::size_t width = kWidths[opcode - op::Si8];
                    const Value address = f.pop();
                    const double value = toNumber(f.pop());
                    std::uint64_t bits = opcode == op::Sf32   ? std::bit_cast<std::uint32_t>(float(value))
                                         : opcode == op::Sf64 ? std::bit_cast<std::uint64_t>(value)
                                                              : std::uint64_t(toUint32(value));
                    std::uint8_t* at = domainBytes(address, width);
                    for (std::size_t i = 0; i < width; ++i) at[i] = std::uint8_t(bits >> (8 * i));
                    break;
                }
                case op::Sxi1: f.push(Value(double(-(toInt32(toNumber(f.pop())) & 1)))); break;
                case op::Sxi8: f.push(Value(double(std::int8_t(toInt32(toNumber(f.pop())))))); break;
                case op::Sxi16: f.push(Value(double(std::int16_t(toInt32(toNumber(f.pop())))))); break;
                default: f.verifyError("Unknown opcode " + std::to_string(opcode));
                }
            }
        } catch (ScriptThrow& thrown) {
            const AbcException* handler = nullptr;
            for (const AbcException& e : body.exceptions) {
                if (instructionStart < e.from || instructionStart >= e.to) continue;
                Class* type = e.type ? classNamed(unit, e.type, false) : nullptr;
                if (!type || isType(thrown.value, type)) {
                    handler = &e;
                    break;
                }
            }
            if (!handler) throw;
            f.stack.clear();
            f.scopes.clear();
            f.pc = handler->target;
            f.push(std::move(thrown.value));
        }
    }
}

}  // namespace kinolux::avm2
