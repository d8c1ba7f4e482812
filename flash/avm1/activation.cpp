// The activations the player and calls start code in.
#include <algorithm>

#include "flash/avm1/interpreter.h"

namespace kinolux::avm1 {

namespace {

Ref<Scope> timelineScope(Vm& vm, const ObjectRef& clip) {
    return vm.heap().make<Scope>(Interpreter::globalScope(vm), ScopeKind::Target, clip);
}

}  // namespace

Activation Activation::forFrame(Vm& vm, DisplayObjectBinding& clip, const ActionBlock& code) {
    Activation act = forClipEvent(vm, clip);
    if (code.swfVersion > 0) act.swfVersion = code.swfVersion;
    // A frame script without a ConstantPool of its own uses the last one
    // any script defined.
    act.pool = Interpreter::lastConstantPool(vm);
    act.code = code;
    return act;
}

Activation Activation::forClipEvent(Vm& vm, DisplayObjectBinding& object) {
    ObjectRef self = vm.scriptObjectOf(object);
    Activation act;
    act.swfVersion = object.swfVersion();
    act.scope = timelineScope(vm, self);
    act.thisValue = Value(self);
    act.baseClip = stageObjectOf(vm, &object);
    act.targetClip = act.baseClip;
    return act;
}

Activation Activation::forLevel0(Vm& vm, Level0Scope scope) {
    DisplayObjectBinding* root = vm.host().level(0);
    Activation act;
    act.swfVersion = root ? root->swfVersion() : vm.rootSwfVersion();
    act.scope = Interpreter::globalScope(vm);
    if (root) {
        act.baseClip = stageObjectOf(vm, root);
        act.targetClip = act.baseClip;
        if (scope == Level0Scope::Timeline) act.scope = timelineScope(vm, vm.scriptObjectOf(*root));
    }
    return act;
}

Activation Activation::forCall(Vm& vm, FunctionObject& fn, const Value& thisValue, bool special) {
    const FunctionCode& code = *fn.code();
    Activation act;
    act.code = code.body;
    act.pool = fn.pool();
    act.callee = ObjectRef(&fn);

    // SWF 6 and later functions are closures: they keep the version, clip
    // and scope of their definition. SWF 5 ones run in the clip of `this`
    // (or the caller's target) with a fresh timeline scope.
    const bool closure = code.body.swfVersion >= 6;
    auto* definedIn = static_cast<StageObject*>(fn.baseClip());
    Ref<StageObject> base;
    // A clip that left the stage is found again by its path when another
    // has taken its place.
    DisplayObjectBinding* definedClip = (closure || special) && definedIn ? vm.bindingOf(definedIn) : nullptr;
    if (definedClip) {
        base = definedIn->binding() ? Ref<StageObject>(definedIn) : stageObjectOf(vm, definedClip);
    } else if (DisplayObjectBinding* thisClip = vm.bindingOf(thisValue)) {
        base = stageObjectOf(vm, thisClip);
    } else if (DisplayObjectBinding* target = vm.targetClipOrRoot()) {
        base = stageObjectOf(vm, target);
    }
    Ref<Scope> parentScope;
    if (closure) {
        act.swfVersion = code.body.swfVersion;
        parentScope = fn.scopeRef();
    } else {
        int clipVersion = base && base->binding() ? base->binding()->swfVersion() : code.body.swfVersion;
        act.swfVersion = std::max(clipVersion, 5);
        parentScope = timelineScope(vm, ObjectRef(base.get()));
    }
    act.baseClip = base;
    act.targetClip = base;
    act.baseClipWasRemoved = base && !base->binding();
    act.scope = vm.heap().make<Scope>(parentScope, ScopeKind::Local, vm.heap().make<Object>(Value()));

    const bool inheritsThis = code.flags & (FunctionFlag::PreloadThis | FunctionFlag::SuppressThis);
    Activation* caller = Interpreter::activation(vm);
    act.thisValue = inheritsThis && caller ? caller->thisValue : thisValue;
    act.localRegisters.assign(code.registerCount, Value());
    return act;
}

}  // namespace kinolux::avm1
