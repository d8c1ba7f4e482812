// The action loop: decodes one record at a time from the bytecode (jumps
// may land anywhere, so nothing is decoded ahead) and carries it out.
#include <cmath>
#include <cstring>

#include "flash/avm1/action_reader.h"
#include "flash/avm1/array_object.h"
#include "flash/avm1/display_properties.h"
#include "flash/avm1/number_format.h"
#include "flash/avm1/stage_object.h"
#include "flash/avm1/timeline_actions.h"
#include "flash/avm1/vm.h"

namespace kinolux::avm1 {

namespace {

// With and Try bodies run nested in C++; this bounds how deep hostile code
// can make that.
constexpr int kMaxBlockNesting = 64;

Value readRegister(Vm& vm, Activation& act, std::uint8_t reg) {
    if (reg < act.localRegisters.size()) return act.localRegisters[reg];
    if (reg < 4) return vm.globalRegisters()[reg];
    return Value();
}

void writeRegister(Vm& vm, Activation& act, std::uint8_t reg, const Value& v) {
    if (reg < act.localRegisters.size()) act.localRegisters[reg] = v;
    else if (reg < 4) vm.globalRegisters()[reg] = v;
}

std::vector<Value> popArgs(Vm& vm, Activation& act, const Value& countValue) {
    std::size_t count = vm.toNumber(countValue) > 0 ? avm1::toUint32(vm.toNumber(countValue)) : 0;
    std::size_t available = vm.stack().size() > act.stackBase ? vm.stack().size() - act.stackBase : 0;
    if (count > available) count = available;
    std::vector<Value> args;
    args.reserve(count);
    for (std::size_t i = 0; i < count; ++i) args.push_back(vm.pop());
    return args;
}

String substringAction(Vm& vm) {
    std::int32_t count = vm.toInt32(vm.pop());
    std::int32_t index = vm.toInt32(vm.pop());
    String s = vm.toString(vm.pop());
    std::size_t start = index >= 1 ? static_cast<std::size_t>(index - 1) : 0;
    std::size_t end = s.size();
    if (count >= 0 && start + static_cast<std::size_t>(count) <= s.size())
        end = start + static_cast<std::size_t>(count);
    if (start > end) start = end;
    return s.substr(start, end - start);
}

// CharToAscii: the first UTF-16 unit, a lone surrogate reading as U+FFFD.
double firstCharCode(const String& s, bool bytesOnly) {
    if (s.empty()) return 0;
    char16_t c = s[0];
    if (bytesOnly) return c & 0xFF;
    if (c >= 0xD800 && c < 0xE000) return 0xFFFD;
    return c;
}

String charFromCode(std::uint16_t code, bool allowSurrogates) {
    if (code == 0) return {};
    if (!allowSurrogates && code >= 0xD800 && code < 0xE000) code = 0xFFFD;
    char16_t c = code;
    return String(std::u16string_view(&c, 1));
}

bool hasPathSeparator(const String& s) {
    if (!s.hasPathCharacters()) return false;
    for (char16_t c : s.view()) {
        if (c == u':' || c == u'.') return true;
    }
    return false;
}

bool inLocalScope(const Activation& act) {
    for (Scope* s = act.scope.get(); s; s = s->parent()) {
        if (s->kind() == ScopeKind::Local) return true;
        if (s->kind() == ScopeKind::Target) return false;
    }
    return false;
}

// The object `var` declarations land on: the nearest scope that is not a
// `with` object.
Object* localsObject(const Activation& act) {
    for (Scope* s = act.scope.get(); s; s = s->parent()) {
        if (s->kind() != ScopeKind::With) return s->object();
    }
    return nullptr;
}

void defineLocal(Vm& vm, Activation& act, const String& name, const Value& value) {
    if (!inLocalScope(act) && hasPathSeparator(name)) {
        vm.setVariable(act, name, value);
        return;
    }
    if (Object* locals = localsObject(act)) vm.set(ObjectRef(locals), name, value);
}

void pushKeys(Vm& vm, const Value& target) {
    vm.push(Value());  // the end marker for..in stops at
    ObjectRef object = target.isObject() ? target.objectRef() : nullptr;
    if (!object) return;
    std::vector<String> keys = vm.enumerate(*object);
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) vm.push(Value(*it));
}

// Ends the activation when the clip running it went away during a call
// (a goto removed it), as the player does.
bool baseClipGone(const Activation& act) {
    return !act.baseClipWasRemoved && act.baseClip && act.baseClip->binding() == nullptr;
}

}  // namespace

Vm::Completion Vm::runRange(Activation& act, const std::uint8_t* begin, const std::uint8_t* end,
                            int nesting) {
    if (nesting > kMaxBlockNesting) abort("The bytecode nests with / try blocks too deeply.");
    const std::uint8_t* const lo = act.code.data.get();
    const std::uint8_t* const hi = lo + act.code.size;
    const int version = act.swfVersion;
    const std::uint8_t* pc = begin;

    while (pc < end) {
        tick();
        RawAction a;
        if (!readAction(pc, hi, a)) {
            host_.scriptError("An action record runs past the end of its block; the rest of the "
                              "script was skipped.");
            return {};
        }
        const std::uint8_t* next = a.next;
        OperandReader ops(a.operands, a.length);

        switch (a.code) {
        case Op::End: return {};

        // ---- arithmetic and logic ----
        // The operands convert in the player's order: some actions convert
        // each operand as they pop it, others pop both first.
        case Op::Add: {
            Value x = pop();
            Value y = pop();
            double ny = toNumber(y);
            push(Value(ny + toNumber(x)));
            break;
        }
        case Op::Subtract: {
            double x = toNumber(pop());
            double y = toNumber(pop());
            push(Value(y - x));
            break;
        }
        case Op::Multiply: {
            Value x = pop();
            Value y = pop();
            double ny = toNumber(y);
            push(Value(ny * toNumber(x)));
            break;
        }
        case Op::Divide: {
            double x = toNumber(pop());
            double y = toNumber(pop());
            if (x == 0 && version < 5) push(Value(String(u"#ERROR#")));
            else push(Value(y / x));
            break;
        }
        case Op::Modulo: {
            double x = toNumber(pop());
            double y = toNumber(pop());
            push(Value(std::fmod(y, x)));
            break;
        }
        case Op::Increment: push(Value(toNumber(pop()) + 1)); break;
        case Op::Decrement: push(Value(toNumber(pop()) - 1)); break;
        case Op::Equals: {
            double x = toNumber(pop());
            double y = toNumber(pop());
            push(Value(y == x));
            break;
        }
        case Op::Less: {
            Value x = pop();
            Value y = pop();
            double ny = toNumber(y);
            push(Value(ny < toNumber(x)));
            break;
        }
        case Op::And: {
            bool x = toBoolean(pop());
            bool y = toBoolean(pop());
            push(Value(y && x));
            break;
        }
        case Op::Or: {
            bool x = toBoolean(pop());
            bool y = toBoolean(pop());
            push(Value(y || x));
            break;
        }
        case Op::Not: push(Value(!toBoolean(pop()))); break;
        case Op::Add2: {
            Value x = pop();
            Value y = pop();
            push(add(y, x));
            break;
        }
        case Op::Less2: {
            Value x = pop();
            Value y = pop();
            push(lessThan(y, x));
            break;
        }
        case Op::Greater: {
            Value x = pop();
            Value y = pop();
            push(lessThan(x, y));
            break;
        }
        case Op::Equals2: {
            Value x = pop();
            Value y = pop();
            push(Value(abstractEquals(y, x)));
            break;
        }
        case Op::StrictEquals: {
            Value x = pop();
            Value y = pop();
            push(Value(strictEquals(y, x)));
            break;
        }
        case Op::BitAnd: {
            std::int32_t x = toInt32(pop());
            std::int32_t y = toInt32(pop());
            push(Value(y & x));
            break;
        }
        case Op::BitOr: {
            std::int32_t x = toInt32(pop());
            std::int32_t y = toInt32(pop());
            push(Value(y | x));
            break;
        }
        case Op::BitXor: {
            std::int32_t x = toInt32(pop());
            std::int32_t y = toInt32(pop());
            push(Value(y ^ x));
            break;
        }
        case Op::BitLShift: {
            std::int32_t shift = toInt32(pop()) & 31;
            std::int32_t y = toInt32(pop());
            push(Value(static_cast<std::int32_t>(static_cast<std::uint32_t>(y) << shift)));
            break;
        }
        case Op::BitRShift: {
            std::uint32_t shift = avm1::toUint32(toNumber(pop())) & 31;
            std::int32_t y = toInt32(pop());
            push(Value(y >> shift));
            break;
        }
        case Op::BitURShift: {
            std::uint32_t shift = avm1::toUint32(toNumber(pop())) & 31;
            std::uint32_t y = avm1::toUint32(toNumber(pop())) >> shift;
            // SWF 8 and 9 players give the unsigned shift a signed result.
            if (version == 8 || version == 9) push(Value(static_cast<std::int32_t>(y)));
            else push(Value(y));
            break;
        }
        case Op::ToInteger: push(Value(toInt32(pop()))); break;
        case Op::ToNumber: push(Value(toNumber(pop()))); break;
        case Op::ToString: push(Value(toString(pop()))); break;
        case Op::TypeOf: push(Value(String(typeOf(pop())))); break;

        // ---- strings ----
        case Op::StringEquals: {
            String x = toString(pop());
            String y = toString(pop());
            push(Value(y == x));
            break;
        }
        case Op::StringLess: {
            String x = toString(pop());
            String y = toString(pop());
            push(Value(y.view() < x.view()));
            break;
        }
        case Op::StringGreater: {
            Value x = pop();
            Value y = pop();
            String sy = toString(y);
            push(Value(sy.view() > toString(x).view()));
            break;
        }
        case Op::StringAdd: {
            String x = toString(pop());
            String y = toString(pop());
            checkStringLength(y.size() + x.size());
            push(Value(String::concat(y, x)));
            break;
        }
        case Op::StringLength:
        case Op::MBStringLength: push(Value(toString(pop()).size())); break;
        case Op::StringExtract:
        case Op::MBStringExtract: push(Value(substringAction(*this))); break;
        case Op::CharToAscii: push(Value(firstCharCode(toString(pop()), false))); break;
        case Op::MBCharToAscii: push(Value(firstCharCode(toString(pop()), version < 6))); break;
        case Op::AsciiToChar:
            push(Value(charFromCode(avm1::toUint16(toNumber(pop())), version < 6)));
            break;
        case Op::MBAsciiToChar:
            push(Value(charFromCode(avm1::toUint16(toNumber(pop())), false)));
            break;

        // ---- stack and registers ----
        case Op::Push: {
            while (!ops.atEnd()) {
                std::uint8_t type = ops.u8();
                switch (type) {
                case PushType::String: push(Value(String::fromSwf(ops.string(), version))); break;
                case PushType::Float: push(Value(static_cast<double>(ops.f32()))); break;
                case PushType::Null: push(Value::null()); break;
                case PushType::Undefined: push(Value()); break;
                case PushType::Register: push(readRegister(*this, act, ops.u8())); break;
                case PushType::Boolean: push(Value(ops.u8() != 0)); break;
                case PushType::Double: push(Value(ops.f64())); break;
                case PushType::Integer: push(Value(static_cast<std::int32_t>(ops.u32()))); break;
                case PushType::Constant8:
                case PushType::Constant16: {
                    std::size_t index = type == PushType::Constant8 ? ops.u8() : ops.u16();
                    if (act.pool && index < act.pool->size()) push(Value((*act.pool)[index]));
                    else push(Value());
                    break;
                }
                default:
                    host_.scriptError("A Push action holds a value of unknown type.");
                    return {};
                }
                if (ops.failed()) {
                    pop();  // the half-read value
                    host_.scriptError("A Push action is cut short.");
                    return {};
                }
            }
            break;
        }
        case Op::Pop: pop(); break;
        case Op::PushDuplicate: {
            Value v = pop();
            push(v);
            push(std::move(v));
            break;
        }
        case Op::StackSwap: {
            Value x = pop();
            Value y = pop();
            push(std::move(x));
            push(std::move(y));
            break;
        }
        case Op::StoreRegister: {
            std::uint8_t reg = ops.u8();
            Value v = pop();
            push(v);
            writeRegister(*this, act, reg, v);
            break;
        }
        case Op::ConstantPool: {
            std::uint16_t count = ops.u16();
            auto pool = std::make_shared<ConstantPool>();
            pool->reserve(count);
            for (std::uint16_t i = 0; i < count && !ops.atEnd(); ++i)
                pool->push_back(String::fromSwf(ops.string(), version));
            act.pool = pool;
            lastConstantPool_ = std::move(pool);
            break;
        }

        // ---- control flow ----
        case Op::Jump:
        case Op::If: {
            std::int16_t offset = ops.s16();
            if (a.code == Op::If && !toBoolean(pop())) break;
            const std::uint8_t* target = next + offset;
            if (target < lo || target > hi) {
                host_.scriptError("A jump leaves its action block; the script was ended.");
                return {};
            }
            next = target;
            break;
        }
        case Op::Return: return {true, pop()};
        case Op::Throw: throw ScriptThrow{pop()};
        case Op::With: {
            std::uint16_t size = ops.u16();
            const std::uint8_t* bodyEnd = next + size > hi ? hi : next + size;
            Value target = pop();
            if (!target.isNullish()) {
                ObjectRef object = toObject(target);
                Ref<Scope> saved = act.scope;
                act.scope = heap_.make<Scope>(saved, ScopeKind::With, object);
                Completion c;
                try {
                    c = runRange(act, next, bodyEnd, nesting + 1);
                } catch (...) {
                    act.scope = saved;
                    throw;
                }
                act.scope = saved;
                if (c.returned) return c;
            }
            next = bodyEnd;
            break;
        }
        case Op::Try: {
            auto header = readTry(a);
            if (!header) {
                host_.scriptError("A Try action is damaged; the script was ended.");
                return {};
            }
            auto clamp = [hi](const std::uint8_t* p) { return p > hi ? hi : p; };
            const std::uint8_t* tryEnd = clamp(next + header->trySize);
            const std::uint8_t* catchEnd = clamp(tryEnd + header->catchSize);
            const std::uint8_t* finallyEnd = clamp(catchEnd + header->finallySize);
            Completion result;
            std::optional<Value> pending;
            std::size_t stackDepth = stack_.size();
            try {
                result = runRange(act, next, tryEnd, nesting + 1);
            } catch (ScriptThrow& thrown) {
                if (stack_.size() > stackDepth) stack_.resize(stackDepth);
                if (header->hasCatch) {
                    if (header->catchInRegister) {
                        writeRegister(*this, act, header->catchRegister, thrown.value);
                    } else {
                        setVariable(act, String::fromSwf(header->catchName, version), thrown.value);
                    }
                    if (header->hasFinally) {
                        try {
                            result = runRange(act, tryEnd, catchEnd, nesting + 1);
                        } catch (ScriptThrow& again) {
                            pending = again.value;
                        }
                    } else {
                        result = runRange(act, tryEnd, catchEnd, nesting + 1);
                    }
                } else {
                    pending = thrown.value;
                }
            }
            if (header->hasFinally) {
                Completion f = runRange(act, catchEnd, finallyEnd, nesting + 1);
                if (f.returned) return f;
            }
            if (pending) throw ScriptThrow{*pending};
            if (result.returned) return result;
            next = finallyEnd;
            break;
        }

        // ---- variables and members ----
        case Op::GetVariable: {
            String name = toString(pop());
            push(getVariable(act, name));
            break;
        }
        case Op::SetVariable: {
            Value v = pop();
            String name = toString(pop());
            setVariable(act, name, v);
            break;
        }
        case Op::DefineLocal: {
            Value v = pop();
            String name = toString(pop());
            defineLocal(*this, act, name, v);
            break;
        }
        case Op::DefineLocal2: {
            String name = toString(pop());
            if (!inLocalScope(act) && hasPathSeparator(name)) {
                if (getVariable(act, name).isUndefined()) setVariable(act, name, Value());
            } else if (Object* locals = localsObject(act)) {
                if (!hasProperty(*locals, name)) set(ObjectRef(locals), name, Value());
            }
            break;
        }
        case Op::Delete: {
            String name = toString(pop());
            Value target = pop();
            bool done = false;
            if (target.isObject()) done = deleteProperty(*target.object(), name);
            push(Value(done));
            break;
        }
        case Op::Delete2: {
            String name = toString(pop());
            bool done = false;
            for (Scope* s = act.scope.get(); s; s = s->parent()) {
                if (s->object() && hasProperty(*s->object(), name)) {
                    done = deleteProperty(*s->object(), name);
                    break;
                }
            }
            push(Value(done));
            break;
        }
        case Op::GetMember: {
            String name = toString(pop());
            Value target = pop();
            push(get(target, name));
            break;
        }
        case Op::SetMember: {
            Value v = pop();
            String name = toString(pop());
            ObjectRef target = toObject(pop());
            if (target) set(target, name, v);
            break;
        }
        case Op::InitArray: {
            double n = toNumber(pop());
            if (n < 0 || n > 2147483647.0 || std::isnan(n)) {
                push(Value());
                break;
            }
            checkArrayLength(n);
            auto count = static_cast<std::size_t>(n);
            charge(count);  // every element is work, even the missing ones
            checkRoomForSlots(count);
            std::vector<Value> elements;
            elements.reserve(std::min(count, stack_.size()));
            for (std::size_t i = 0; i < count; ++i) elements.push_back(pop());
            push(Value(ObjectRef(newArray(std::move(elements)))));
            break;
        }
        case Op::InitObject: {
            double n = toNumber(pop());
            if (n < 0 || n > 2147483647.0 || std::isnan(n)) {
                push(Value());
                break;
            }
            checkArrayLength(n);
            charge(static_cast<std::uint64_t>(n));
            checkRoomForSlots(static_cast<std::size_t>(n));
            ObjectRef object = newObject();
            for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i) {
                Value v = pop();
                String name = toString(pop());
                set(object, name, v);
            }
            push(Value(object));
            break;
        }
        case Op::Enumerate: {
            String name = toString(pop());
            pushKeys(*this, getVariable(act, name));
            break;
        }
        case Op::Enumerate2: pushKeys(*this, pop()); break;

        // ---- functions and objects ----
        case Op::DefineFunction:
        case Op::DefineFunction2: {
            auto header = readDefineFunction(a);
            if (!header) {
                host_.scriptError("A DefineFunction action is damaged; the script was ended.");
                return {};
            }
            const std::uint8_t* bodyEnd = next + header->codeSize > hi ? hi : next + header->codeSize;
            auto code = std::make_shared<FunctionCode>();
            code->body.data = std::shared_ptr<const std::uint8_t>(act.code.data, next);
            code->body.size = static_cast<std::size_t>(bodyEnd - next);
            code->body.swfVersion = version;
            code->name = String::fromSwf(header->name, version);
            code->registerCount = header->registerCount;
            code->flags = header->flags;
            code->isFunction2 = header->isFunction2;
            for (const auto& p : header->params)
                code->params.push_back({String::fromSwf(p.name, version), p.reg});
            auto fn = heap_.make<FunctionObject>(Value(protos_.function), std::move(code), act.scope,
                                                 act.pool, ObjectRef(act.baseClip.get()));
            if (protos_.functionClass)
                fn->defineValue(names_.constructor, Value(protos_.functionClass), PropertyFlag::DontEnum | PropertyFlag::DontDelete);
            ObjectRef prototype = newObject();
            prototype->defineValue(names_.constructor, Value(ObjectRef(fn)), PropertyFlag::DontEnum);
            fn->defineValue(names_.prototype, Value(prototype));
            if (fn->code()->name.empty()) push(Value(ObjectRef(fn)));
            else defineLocal(*this, act, fn->code()->name, Value(ObjectRef(fn)));
            next = bodyEnd;
            break;
        }
        case Op::CallFunction: {
            String name = toString(pop());
            std::vector<Value> args = popArgs(*this, act, pop());
            Value owner;
            Value fn = getVariable(act, name, &owner);
            if (!owner.isObject() && targetClipOrRoot()) owner = Value(scriptObjectOf(*targetClipOrRoot()));
            push(call(fn, owner, args));
            if (baseClipGone(act)) return {true, Value()};
            break;
        }
        case Op::CallMethod: {
            Value nameValue = pop();
            Value target = pop();
            std::vector<Value> args = popArgs(*this, act, pop());
            if (target.isNullish()) {
                push(Value());
                break;
            }
            String name = nameValue.isUndefined() ? String() : toString(nameValue);
            if (name.empty()) push(call(target, Value(), args));
            else push(callMethod(target, name, args));
            if (baseClipGone(act)) return {true, Value()};
            break;
        }
        case Op::NewObject: {
            String name = toString(pop());
            std::vector<Value> args = popArgs(*this, act, pop());
            push(construct(resolveName(act, name), args));
            if (baseClipGone(act)) return {true, Value()};
            break;
        }
        case Op::NewMethod: {
            Value nameValue = pop();
            Value target = pop();
            std::vector<Value> args = popArgs(*this, act, pop());
            if (target.isNullish()) {
                push(Value());
                break;
            }
            String name = nameValue.isUndefined() ? String() : toString(nameValue);
            if (name.empty()) push(construct(target, args));
            else push(construct(get(target, name), args));
            if (baseClipGone(act)) return {true, Value()};
            break;
        }
        case Op::InstanceOf: {
            ObjectRef constructor = toObject(pop());
            Value target = pop();
            push(Value(target.isObject() && constructor &&
                       isInstanceOf(*target.object(), *constructor)));
            break;
        }
        case Op::CastOp: {
            Value target = pop();
            ObjectRef constructor = toObject(pop());
            if (target.isObject() && constructor && isInstanceOf(*target.object(), *constructor))
                push(target);
            else
                push(Value::null());
            break;
        }
        case Op::ImplementsOp: {
            ObjectRef constructor = toObject(pop());
            Value countValue = pop();
            double n = countValue.isPrimitive() ? toNumber(countValue) : 0;
            std::size_t count = n > 0 ? static_cast<std::size_t>(avm1::toUint32(n)) : 0;
            count = std::min(count, stack_.size() > act.stackBase ? stack_.size() - act.stackBase : 0);
            std::vector<ObjectRef> interfaces;
            for (std::size_t i = 0; i < count; ++i) {
                ObjectRef iface = toObject(pop());
                if (iface) interfaces.push_back(iface);
            }
            if (constructor) {
                ObjectRef prototype = toObject(get(constructor, names_.prototype));
                if (prototype) prototype->setInterfaces(std::move(interfaces));
            }
            break;
        }
        case Op::Extends: {
            ObjectRef superclass = toObject(pop());
            ObjectRef subclass = toObject(pop());
            if (!superclass || !subclass) break;
            Value superProto = get(superclass, names_.prototype);
            ObjectRef prototype = createInstance(superProto);
            prototype->defineValue(names_.constructor, Value(superclass), PropertyFlag::DontEnum);
            prototype->defineValue(names_.constructorHidden, Value(superclass), PropertyFlag::DontEnum);
            set(subclass, names_.prototype, Value(prototype));
            break;
        }
        case Op::TargetPath: {
            Value target = pop();
            DisplayObjectBinding* binding = bindingOf(target);
            if (binding) push(Value(targetPath(*binding)));
            else push(Value());
            break;
        }

        // ---- timelines and the player ----
        case Op::NextFrame:
        case Op::PrevFrame:
        case Op::Play:
        case Op::Stop: {
            MovieClipBinding* clip = act.targetClip ? asMovieClip(act.targetClip->binding()) : nullptr;
            if (!clip) break;
            if (a.code == Op::NextFrame) clip->nextFrame();
            else if (a.code == Op::PrevFrame) clip->prevFrame();
            else if (a.code == Op::Play) clip->play();
            else clip->stop();
            break;
        }
        case Op::GotoFrame: actionGotoFrame(*this, act, ops.u16()); break;
        case Op::GotoLabel: actionGotoLabel(*this, act, String::fromSwf(ops.string(), version)); break;
        case Op::GotoFrame2: {
            std::uint8_t flags = ops.u8();
            int bias = (flags & 0x02) ? ops.u16() : 0;
            Value frame = pop();
            if (MovieClipBinding* clip = asMovieClip(targetClipOrRoot()))
                gotoFrameValue(*this, *clip, frame, flags & 0x01, bias);
            break;
        }
        case Op::Call: actionCall(*this, act, pop()); break;
        case Op::SetTarget: actionSetTarget(*this, act, String::fromSwf(ops.string(), version)); break;
        case Op::SetTarget2: actionSetTarget2(*this, act, pop()); break;
        case Op::GetUrl: {
            String url = String::fromSwf(ops.string(), version);
            String window = String::fromSwf(ops.string(), version);
            actionGetUrl(*this, url, window);
            break;
        }
        case Op::GetUrl2: {
            std::uint8_t flags = ops.u8();
            Value window = pop();
            Value url = pop();
            actionGetUrl2(*this, act, flags, url, window);
            break;
        }
        case Op::WaitForFrame:
        case Op::WaitForFrame2: {
            Value frame;
            if (a.code == Op::WaitForFrame) frame = Value(static_cast<int>(ops.u16()));
            std::uint8_t skip = ops.u8();
            if (a.code == Op::WaitForFrame2) frame = pop();
            bool loaded = frameLoaded(*this, act, frame, a.code == Op::WaitForFrame2);
            if (!loaded) {
                // The skip count is in actions, not bytes.
                for (int i = 0; i < skip; ++i) {
                    RawAction skipped;
                    if (!readAction(next, hi, skipped)) break;
                    next = skipped.next;
                }
            }
            break;
        }
        case Op::GetProperty: {
            double index = toNumber(pop());
            Value target = pop();
            DisplayObjectBinding* clip = act.targetClip ? resolveTarget(target, true)
                                                        : resolveTarget(target, false);
            if (clip && index > -1 && index < kDisplayPropertyCount) {
                push(getDisplayProperty(*this, *clip, static_cast<DisplayProperty>(static_cast<int>(index))));
            } else {
                push(Value());
            }
            break;
        }
        case Op::SetProperty: {
            Value v = pop();
            double index = toNumber(pop());
            Value target = pop();
            DisplayObjectBinding* clip = act.targetClip ? resolveTarget(target, true)
                                                        : resolveTarget(target, false);
            if (index > -1 && index < kDisplayPropertyCount) {
                auto p = static_cast<DisplayProperty>(static_cast<int>(index));
                if (clip) setDisplayProperty(*this, *clip, p, v);
                else convertForProperty(*this, p, v);  // the player converts the value even then
            }
            break;
        }
        case Op::CloneSprite: {
            int depth = toInt32(pop());
            String name = toString(pop());
            Value source = pop();
            actionCloneSprite(*this, source, name, depth);
            break;
        }
        case Op::RemoveSprite: actionRemoveSprite(*this, pop()); break;
        case Op::StartDrag: {
            // The target is looked up (and so converted) before the rest is read.
            DisplayObjectBinding* dragged = resolveTarget(pop(), true);
            bool lockCenter = toInt32(pop()) != 0;
            bool constrain = toInt32(pop()) != 0;
            std::optional<Bounds> bounds;
            if (constrain) {
                Bounds b;
                b.yMax = toNumber(pop());
                b.xMax = toNumber(pop());
                b.yMin = toNumber(pop());
                b.xMin = toNumber(pop());
                bounds = b;
            }
            actionStartDrag(*this, dragged, lockCenter, bounds);
            break;
        }
        case Op::EndDrag: host_.stopDrag(); break;
        case Op::ToggleQuality: host_.toggleQuality(); break;
        case Op::StopSounds: host_.stopAllSounds(); break;
        case Op::Trace: {
            Value v = pop();
            trace(v.isUndefined() ? names_.undefined : toString(v));
            break;
        }
        case Op::GetTime: push(Value(std::floor(host_.timerMilliseconds()))); break;
        case Op::RandomNumber: {
            double max = toNumber(pop());
            std::int32_t bound = std::isnan(max) ? 0
                                 : max >= 2147483647.0 ? 2147483647
                                 : max <= 0 ? 0
                                            : static_cast<std::int32_t>(max);
            push(Value(bound > 0 ? static_cast<double>(randomBelow(static_cast<std::uint32_t>(bound))) : 0.0));
            break;
        }
        default:
            // Unknown actions are skipped, as the player does.
            break;
        }
        if (ops.failed()) {
            host_.scriptError("The operands of a " + actionName(a.code) +
                              " action are cut short; the script was ended.");
            return {};
        }
        pc = next;
    }
    return {};
}

}  // namespace kinolux::avm1
