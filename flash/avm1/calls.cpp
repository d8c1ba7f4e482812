// Calling functions and constructing objects: the activation a script
// function runs in (registers, arguments, super, the scope it closes over)
// and the recursion limits.
#include "flash/avm1/array_object.h"
#include "flash/avm1/interpreter.h"
#include "flash/avm1/stage_object.h"
#include "flash/avm1/vm.h"

namespace kinolux::avm1 {

Value Vm::call(const Value& function, const Value& thisValue, Args args) {
    return callWithHome(function, thisValue, args, nullptr);
}

Value Vm::callWithHome(const Value& function, const Value& thisValue, Args args, Object* home) {
    if (!function.isObject()) return Value();
    Object* object = function.object();
    if (object->kind() == ObjectKind::Super) {
        // super(...): the superclass constructor, on the same `this`.
        auto* super = static_cast<SuperObject*>(object);
        ObjectRef home(super->home());
        if (!home) return Value();
        Value constructor = get(home, names_.constructorHidden);
        if (!constructor.isObject() || constructor.object()->kind() != ObjectKind::Function) return Value();
        Ref<FunctionObject> fn(static_cast<FunctionObject*>(constructor.object()));
        return callFunction(*fn, Value(super->thisObject()), args, home->proto(), false);
    }
    if (object->kind() != ObjectKind::Function) return Value();
    Ref<FunctionObject> fn(static_cast<FunctionObject*>(object));
    return callFunction(*fn, thisValue, args, home, false);
}

std::optional<Value> Vm::callSpecial(const Value& function, const Value& thisValue, Args args) {
    if (!function.isObject() || function.object()->kind() != ObjectKind::Function) return Value();
    if (specialDepth_ >= kMaxSpecialDepth) return std::nullopt;
    Ref<FunctionObject> fn(static_cast<FunctionObject*>(function.object()));
    Object* home = thisValue.isObject() ? thisValue.object()->proto() : nullptr;
    return callFunction(*fn, thisValue, args, home, true);
}

Value Vm::callFunction(FunctionObject& fn, const Value& thisValue, Args args, Object* home,
                       bool special) {
    if (fn.nativeCall() || !fn.code()) return callNative(fn, thisValue, args);
    return callBytecode(fn, thisValue, args, home, special);
}

namespace {

// Which built-in runs, for tagged built-ins (constructors too), until it returns.
struct CalleeScope {
    CalleeScope(FunctionObject*& slot, FunctionObject& fn) : slot_(slot), saved_(slot) { slot_ = &fn; }
    ~CalleeScope() { slot_ = saved_; }
    CalleeScope(const CalleeScope&) = delete;
    CalleeScope& operator=(const CalleeScope&) = delete;

private:
    FunctionObject*& slot_;
    FunctionObject* saved_;
};

}  // namespace

Value Vm::callNative(FunctionObject& fn, const Value& thisValue, Args args) {
    if (!fn.nativeCall()) return Value();
    if (callDepth_ >= limits_.maxCallDepth) abort(std::to_string(limits_.maxCallDepth) + LimitMessage::kRecursion, true);
    DepthGuard depth(callDepth_);
    CalleeScope callee(nativeCallee_, fn);
    return fn.nativeCall()(*this, thisValue, args);
}

Value Vm::callBytecode(FunctionObject& fn, const Value& thisValue, Args args, Object* home,
                       bool special) {
    if (callDepth_ >= limits_.maxCallDepth) {
        std::string message = std::to_string(limits_.maxCallDepth) + LimitMessage::kRecursion;
        trace(String::fromAscii(message));
        abort(message, true);
    }
    DepthGuard depth(callDepth_);
    std::optional<DepthGuard> specialDepth;
    if (special) specialDepth.emplace(specialDepth_);

    const FunctionCode& code = *fn.code();
    Activation* caller = activation_;
    Activation act = Activation::forCall(*this, fn, thisValue, special);
    ObjectRef locals = act.scope->objectRef();
    Ref<StageObject> base = act.baseClip;

    const std::uint16_t flags = code.flags;
    ActivationGuard running(*this, act);

    std::size_t r = 1;
    auto preload = [&](const Value& v) {
        if (r < act.localRegisters.size()) act.localRegisters[r] = v;
        ++r;
    };
    if (flags & FunctionFlag::PreloadThis) preload(flags & FunctionFlag::SuppressThis ? Value() : thisValue);

    const bool suppressArguments = flags & FunctionFlag::SuppressArguments;
    const bool preloadArguments = flags & FunctionFlag::PreloadArguments;
    if (!suppressArguments || preloadArguments) {
        Ref<ArrayObject> arguments = newArray(std::vector<Value>(args.begin(), args.end()));
        arguments->defineValue(names_.callee, Value(ObjectRef(&fn)), PropertyFlag::DontEnum);
        Value callerFn = caller && caller->callee ? Value(caller->callee) : Value::null();
        arguments->defineValue(names_.caller, callerFn, PropertyFlag::DontEnum);
        if (preloadArguments) preload(Value(ObjectRef(arguments)));
        else locals->defineValue(names_.arguments, Value(ObjectRef(arguments)));
    }

    const bool suppressSuper = flags & FunctionFlag::SuppressSuper;
    Value super;
    if (thisValue.isObject() && !suppressSuper) {
        Object* superHome = home ? home : thisValue.object();
        super = Value(ObjectRef(heap_.make<SuperObject>(thisValue.objectRef(), ObjectRef(superHome))));
    }
    if (flags & FunctionFlag::PreloadSuper) preload(super);
    else if (!super.isUndefined()) locals->defineValue(names_.superName, super);

    if (flags & FunctionFlag::PreloadRoot) preload(rootObject());
    if (flags & FunctionFlag::PreloadParent) {
        // With no parent nothing is stored and the next preload takes the
        // register, as in the player.
        DisplayObjectBinding* clip = base ? base->binding() : nullptr;
        if (clip && clip->parent()) preload(Value(scriptObjectOf(*clip->parent())));
    }
    if (flags & FunctionFlag::PreloadGlobal) preload(Value(global_));

    for (std::size_t i = 0; i < code.params.size(); ++i) {
        Value v = i < args.size() ? args[i] : Value();
        const FunctionCode::Param& param = code.params[i];
        if (param.reg != 0) {
            if (param.reg < act.localRegisters.size()) act.localRegisters[param.reg] = v;
        } else {
            locals->defineValue(param.name, v);
        }
    }

    return execute(*this, act);
}

Value Vm::construct(const Value& constructor, Args args) {
    if (!constructor.isObject()) return Value();
    Object* object = constructor.object();
    if (object->kind() != ObjectKind::Function) return Value();
    Ref<FunctionObject> fn(static_cast<FunctionObject*>(object));
    Value prototype = get(ObjectRef(fn), names_.prototype);
    ObjectRef instance = createInstance(prototype);
    instance->defineValue(names_.constructorHidden, Value(ObjectRef(fn)), PropertyFlag::DontEnum);
    if (swfVersion() < 7)
        instance->defineValue(names_.constructor, Value(ObjectRef(fn)), PropertyFlag::DontEnum);
    if (fn->nativeConstruct()) {
        if (callDepth_ >= limits_.maxCallDepth) abort(std::to_string(limits_.maxCallDepth) + LimitMessage::kRecursion, true);
        DepthGuard depth(callDepth_);
        CalleeScope callee(nativeCallee_, *fn);
        return fn->nativeConstruct()(*this, Value(instance), args);
    }
    callFunction(*fn, Value(instance), args, instance->proto(), false);
    return Value(instance);
}

void Vm::pushActivation(Activation& act) {
    act.caller = activation_;
    act.stackBase = activation_ ? stack_.size() : 0;
    activation_ = &act;
    runningSwfVersion_ = act.swfVersion;
}

void Vm::popActivation(Activation& act) {
    activation_ = act.caller;
    runningSwfVersion_ = activation_ ? activation_->swfVersion : rootSwfVersion_;
}

}  // namespace kinolux::avm1
