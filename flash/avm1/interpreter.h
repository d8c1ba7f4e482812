// The machine's inside, shared by the files that run bytecode (the action
// loop, the actions, calls and variable paths) and hidden from the player
// and the built-ins, which see only vm.h.
#pragma once

#include <cstdint>
#include <vector>

#include "flash/avm1/stage_object.h"
#include "flash/avm1/vm.h"

namespace kinolux::avm1 {

// A value thrown by ActionScript `throw`.
struct ScriptThrow {
    Value value;
};

// One running piece of code: a frame script, an event handler or a
// function call. The named constructors make the kinds the player runs.
struct Activation {
    Activation* caller = nullptr;
    int swfVersion = 0;
    Ref<Scope> scope;
    ConstantPoolRef pool;
    Value thisValue;
    ObjectRef callee;  // the function running, for arguments.callee
    std::vector<Value> localRegisters;
    Ref<StageObject> baseClip;    // the clip holding the code
    Ref<StageObject> targetClip;  // tellTarget's target; null after a bad target
    bool baseClipWasRemoved = false;
    std::size_t stackBase = 0;
    ActionBlock code;

    // A frame's (or init, clip event or button) actions on `clip`'s timeline.
    static Activation forFrame(Vm& vm, DisplayObjectBinding& clip, const ActionBlock& code);
    // The player calling into a display object's script object (its
    // events, its constructor, its text field variables): `this` and the
    // target are the object.
    static Activation forClipEvent(Vm& vm, DisplayObjectBinding& object);
    // The player calling a script object on its own (listener broadcasts,
    // loading events), in the context of _level0; timers also see its
    // timeline in their scope.
    enum class Level0Scope { Global, Timeline };
    static Activation forLevel0(Vm& vm, Level0Scope scope = Level0Scope::Global);
    // A script function about to run: its version, clip and scope, and
    // `this`. Registers and locals are filled once it runs.
    static Activation forCall(Vm& vm, FunctionObject& fn, const Value& thisValue, bool special);
};

// Makes an activation the running one for its lifetime.
class ActivationGuard {
public:
    ActivationGuard(Vm& vm, Activation& act) : vm_(vm), act_(act) { vm.pushActivation(act); }
    ~ActivationGuard() { vm_.popActivation(act_); }
    ActivationGuard(const ActivationGuard&) = delete;
    ActivationGuard& operator=(const ActivationGuard&) = delete;

private:
    Vm& vm_;
    Activation& act_;
};

// How a run of actions ended: by running out or by a Return.
struct Completion {
    bool returned = false;
    Value value;
};

// The machine's state the interpreter's files work on directly.
class Interpreter {
public:
    static Activation* activation(const Vm& vm) { return vm.activation_; }
    static std::vector<Value>& stack(Vm& vm) { return vm.stack_; }
    static Value* globalRegisters(Vm& vm) { return vm.globalRegisters_; }
    static const ConstantPoolRef& lastConstantPool(const Vm& vm) { return vm.lastConstantPool_; }
    static void setLastConstantPool(Vm& vm, ConstantPoolRef pool) { vm.lastConstantPool_ = std::move(pool); }
    static void tick(Vm& vm) { vm.tick(); }
    static const Ref<Scope>& globalScope(const Vm& vm) { return vm.globalScope_; }

    // The operand stack. A function cannot pop below the values it was
    // called on: there it reads undefined.
    static Value pop(Vm& vm) {
        const std::size_t base = vm.activation_ ? vm.activation_->stackBase : 0;
        if (vm.stack_.size() <= base) return Value();
        Value v = std::move(vm.stack_.back());
        vm.stack_.pop_back();
        return v;
    }
    static void push(Vm& vm, Value v) {
        if (vm.stack_.size() >= vm.limits_.maxStackValues) vm.abort(LimitMessage::kStack, true);
        vm.stack_.push_back(std::move(v));
    }
};

// Runs an activation's code until it ends or returns.
Value execute(Vm& vm, Activation& act);
// Runs the actions in [begin, end) of `act`'s code; With and Try bodies
// run nested, `nesting` deep.
Completion runActions(Vm& vm, Activation& act, const std::uint8_t* begin, const std::uint8_t* end,
                      int nesting);
// Runs a frame's actions inside the running script (the Call action).
void runNested(Vm& vm, DisplayObjectBinding& clip, const ActionBlock& code);

// GetVariable: a name, or a path to an object and a variable; `owner`
// receives the object the value was found on.
Value getVariable(Vm& vm, Activation& act, const String& path, Value* owner = nullptr);
void setVariable(Vm& vm, Activation& act, const String& path, const Value& value);
Value resolveName(Vm& vm, Activation& act, const String& name, Value* owner = nullptr);
ObjectRef resolveTargetPath(Vm& vm, DisplayObjectBinding& root, const ObjectRef& start,
                            std::u16string_view path, bool firstElement);
// Follows `path` from each object of the scope chain, innermost first,
// and gives the first object it reaches (with `mustHave`, the first that
// has that property).
ObjectRef targetInScopes(Vm& vm, Activation& act, DisplayObjectBinding& root, std::u16string_view path,
                         bool firstElement, const String* mustHave = nullptr);
// A copy of a scope chain with its timeline link pointing at `clip`.
Ref<Scope> targetScope(Vm& vm, const Ref<Scope>& scope, const ObjectRef& clip);
Ref<StageObject> stageObjectOf(Vm& vm, DisplayObjectBinding* binding);

template <class F>
void Vm::guarded(F&& body) {
    if (scriptsStopped_) return;
    beginRun();
    try {
        body();
    } catch (const ScriptThrow& thrown) {
        reportUncaught(thrown.value);
    } catch (const ScriptAbort& a) {
        handleAbort(a);
    } catch (const std::bad_alloc&) {
        handleAbort(ScriptAbort(LimitMessage::kMemory, true));
    } catch (const std::length_error&) {
        handleAbort(ScriptAbort(LimitMessage::kString, true));
    }
    endRun();
}

}  // namespace kinolux::avm1
