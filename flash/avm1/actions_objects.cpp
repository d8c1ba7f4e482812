// Defining and calling functions, `new`, instanceof, casts, interfaces and
// class inheritance.
#include <algorithm>
#include <memory>

#include "flash/avm1/actions.h"

namespace kinolux::avm1 {

namespace {

std::size_t valuesAboveBase(ActionContext& c) {
    std::size_t size = Interpreter::stack(c.vm).size();
    return size > c.act.stackBase ? size - c.act.stackBase : 0;
}

std::vector<Value> popArgs(ActionContext& c, const Value& countValue) {
    std::size_t count = c.vm.toNumber(countValue) > 0 ? toUint32(c.vm.toNumber(countValue)) : 0;
    count = std::min(count, valuesAboveBase(c));
    std::vector<Value> args;
    args.reserve(count);
    for (std::size_t i = 0; i < count; ++i) args.push_back(c.pop());
    return args;
}

// Ends the activation when the clip running it went away during a call
// (a goto removed it), as the player does.
Flow afterCall(ActionContext& c) {
    const Activation& act = c.act;
    if (!act.baseClipWasRemoved && act.baseClip && act.baseClip->binding() == nullptr)
        return c.returns({true, Value()});
    return Flow::Next;
}

std::shared_ptr<FunctionCode> functionCode(ActionContext& c, const DefineFunctionHeader& header,
                                           const std::uint8_t* bodyEnd) {
    const int version = c.version();
    auto code = std::make_shared<FunctionCode>();
    code->body.data = std::shared_ptr<const std::uint8_t>(c.act.code.data, c.next);
    code->body.size = static_cast<std::size_t>(bodyEnd - c.next);
    code->body.swfVersion = version;
    code->name = String::fromSwf(header.name, version);
    code->registerCount = header.registerCount;
    code->flags = header.flags;
    code->isFunction2 = header.isFunction2;
    for (const auto& p : header.params) code->params.push_back({String::fromSwf(p.name, version), p.reg});
    return code;
}

// CallMethod and NewMethod: an empty name calls (or constructs) the target
// itself; a nullish target gives undefined.
struct MethodOperands {
    Value target;
    String name;
    std::vector<Value> args;
};

std::optional<MethodOperands> popMethodOperands(ActionContext& c) {
    Value nameValue = c.pop();
    Value target = c.pop();
    std::vector<Value> args = popArgs(c, c.pop());
    if (target.isNullish()) return std::nullopt;
    String name = nameValue.isUndefined() ? String() : c.vm.toString(nameValue);
    return MethodOperands{std::move(target), std::move(name), std::move(args)};
}

}  // namespace

Flow opDefineFunction(ActionContext& c) {
    auto header = readDefineFunction(c.action);
    if (!header) return c.fail("A DefineFunction action is damaged; the script was ended.");
    const std::uint8_t* bodyEnd = c.next + header->codeSize > c.hi ? c.hi : c.next + header->codeSize;
    Vm& vm = c.vm;
    const Names& names = vm.names();
    auto fn = vm.heap().make<FunctionObject>(Value(vm.protos().function), functionCode(c, *header, bodyEnd),
                                             c.act.scope, c.act.pool, ObjectRef(c.act.baseClip.get()));
    if (vm.protos().functionClass)
        fn->defineValue(names.constructor, Value(vm.protos().functionClass),
                        PropertyFlag::DontEnum | PropertyFlag::DontDelete);
    ObjectRef prototype = vm.newObject();
    prototype->defineValue(names.constructor, Value(ObjectRef(fn)), PropertyFlag::DontEnum);
    fn->defineValue(names.prototype, Value(prototype));
    if (fn->code()->name.empty()) c.push(Value(ObjectRef(fn)));
    else defineLocal(c, fn->code()->name, Value(ObjectRef(fn)));
    c.next = bodyEnd;
    return Flow::Next;
}

Flow opCallFunction(ActionContext& c) {
    String name = c.vm.toString(c.pop());
    std::vector<Value> args = popArgs(c, c.pop());
    Value owner;
    Value fn = getVariable(c.vm, c.act, name, &owner);
    if (!owner.isObject() && c.vm.targetClipOrRoot()) owner = Value(c.vm.scriptObjectOf(*c.vm.targetClipOrRoot()));
    c.push(c.vm.call(fn, owner, args));
    return afterCall(c);
}

Flow opCallMethod(ActionContext& c) {
    std::optional<MethodOperands> m = popMethodOperands(c);
    if (!m) return c.pushUndefined();
    if (m->name.empty()) c.push(c.vm.call(m->target, Value(), m->args));
    else c.push(c.vm.callMethod(m->target, m->name, m->args));
    return afterCall(c);
}

Flow opNewObject(ActionContext& c) {
    String name = c.vm.toString(c.pop());
    std::vector<Value> args = popArgs(c, c.pop());
    c.push(c.vm.construct(resolveName(c.vm, c.act, name), args));
    return afterCall(c);
}

Flow opNewMethod(ActionContext& c) {
    std::optional<MethodOperands> m = popMethodOperands(c);
    if (!m) return c.pushUndefined();
    if (m->name.empty()) c.push(c.vm.construct(m->target, m->args));
    else c.push(c.vm.construct(c.vm.get(m->target, m->name), m->args));
    return afterCall(c);
}

Flow opInstanceOf(ActionContext& c) {
    ObjectRef constructor = c.vm.toObject(c.pop());
    Value target = c.pop();
    c.push(Value(target.isObject() && constructor && c.vm.isInstanceOf(*target.object(), *constructor)));
    return Flow::Next;
}

Flow opCastOp(ActionContext& c) {
    Value target = c.pop();
    ObjectRef constructor = c.vm.toObject(c.pop());
    if (target.isObject() && constructor && c.vm.isInstanceOf(*target.object(), *constructor)) c.push(target);
    else c.push(Value::null());
    return Flow::Next;
}

Flow opImplementsOp(ActionContext& c) {
    ObjectRef constructor = c.vm.toObject(c.pop());
    Value countValue = c.pop();
    double n = countValue.isPrimitive() ? c.vm.toNumber(countValue) : 0;
    std::size_t count = n > 0 ? static_cast<std::size_t>(toUint32(n)) : 0;
    count = std::min(count, valuesAboveBase(c));
    std::vector<ObjectRef> interfaces;
    for (std::size_t i = 0; i < count; ++i) {
        ObjectRef iface = c.vm.toObject(c.pop());
        if (iface) interfaces.push_back(iface);
    }
    if (constructor) {
        ObjectRef prototype = c.vm.toObject(c.vm.get(constructor, c.vm.names().prototype));
        if (prototype) prototype->setInterfaces(std::move(interfaces));
    }
    return Flow::Next;
}

Flow opExtends(ActionContext& c) {
    ObjectRef superclass = c.vm.toObject(c.pop());
    ObjectRef subclass = c.vm.toObject(c.pop());
    if (!superclass || !subclass) return Flow::Next;
    const Names& names = c.vm.names();
    Value superProto = c.vm.get(superclass, names.prototype);
    ObjectRef prototype = c.vm.createInstance(superProto);
    prototype->defineValue(names.constructor, Value(superclass), PropertyFlag::DontEnum);
    prototype->defineValue(names.constructorHidden, Value(superclass), PropertyFlag::DontEnum);
    c.vm.set(subclass, names.prototype, Value(prototype));
    return Flow::Next;
}

}  // namespace kinolux::avm1
