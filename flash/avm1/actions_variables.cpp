// Variables, members, object and array literals, for..in, and the display
// properties GetProperty and SetProperty number.
#include <cmath>

#include "flash/avm1/actions.h"
#include "flash/avm1/array_object.h"
#include "flash/avm1/display_properties.h"

namespace kinolux::avm1 {

namespace {

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

void pushKeys(ActionContext& c, const Value& target) {
    c.push(Value());  // the end marker for..in stops at
    ObjectRef object = target.isObject() ? target.objectRef() : nullptr;
    if (!object) return;
    std::vector<String> keys = c.vm.enumerate(*object);
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) c.push(Value(*it));
}

// The count an InitArray or InitObject action pops, or nullopt when it
// makes nothing (a negative, huge or NaN count).
std::optional<double> literalCount(ActionContext& c) {
    double n = c.vm.toNumber(c.pop());
    if (n < 0 || n > 2147483647.0 || std::isnan(n)) return std::nullopt;
    c.vm.checkArrayLength(n);
    return n;
}

// An empty target names a clip only while the code has a target clip.
DisplayObjectBinding* propertyTarget(ActionContext& c, const Value& target) {
    return c.act.targetClip ? c.vm.resolveTarget(target, true) : c.vm.resolveTarget(target, false);
}

}  // namespace

void defineLocal(ActionContext& c, const String& name, const Value& value) {
    if (!inLocalScope(c.act) && hasPathSeparator(name)) {
        setVariable(c.vm, c.act, name, value);
        return;
    }
    if (Object* locals = localsObject(c.act)) c.vm.set(ObjectRef(locals), name, value);
}

Flow opGetVariable(ActionContext& c) {
    String name = c.vm.toString(c.pop());
    c.push(getVariable(c.vm, c.act, name));
    return Flow::Next;
}

Flow opSetVariable(ActionContext& c) {
    Value v = c.pop();
    String name = c.vm.toString(c.pop());
    setVariable(c.vm, c.act, name, v);
    return Flow::Next;
}

Flow opDefineLocal(ActionContext& c) {
    Value v = c.pop();
    String name = c.vm.toString(c.pop());
    defineLocal(c, name, v);
    return Flow::Next;
}

Flow opDefineLocal2(ActionContext& c) {
    String name = c.vm.toString(c.pop());
    if (!inLocalScope(c.act) && hasPathSeparator(name)) {
        if (getVariable(c.vm, c.act, name).isUndefined()) setVariable(c.vm, c.act, name, Value());
    } else if (Object* locals = localsObject(c.act)) {
        if (!c.vm.hasProperty(*locals, name)) c.vm.set(ObjectRef(locals), name, Value());
    }
    return Flow::Next;
}

Flow opDelete(ActionContext& c) {
    String name = c.vm.toString(c.pop());
    Value target = c.pop();
    bool done = false;
    if (target.isObject()) done = c.vm.deleteProperty(*target.object(), name);
    c.push(Value(done));
    return Flow::Next;
}

Flow opDelete2(ActionContext& c) {
    String name = c.vm.toString(c.pop());
    bool done = false;
    for (Scope* s = c.act.scope.get(); s; s = s->parent()) {
        if (s->object() && c.vm.hasProperty(*s->object(), name)) {
            done = c.vm.deleteProperty(*s->object(), name);
            break;
        }
    }
    c.push(Value(done));
    return Flow::Next;
}

Flow opGetMember(ActionContext& c) {
    String name = c.vm.toString(c.pop());
    Value target = c.pop();
    c.push(c.vm.get(target, name));
    return Flow::Next;
}

Flow opSetMember(ActionContext& c) {
    Value v = c.pop();
    String name = c.vm.toString(c.pop());
    ObjectRef target = c.vm.toObject(c.pop());
    if (target) c.vm.set(target, name, v);
    return Flow::Next;
}

Flow opInitArray(ActionContext& c) {
    std::optional<double> n = literalCount(c);
    if (!n) return c.pushUndefined();
    auto count = static_cast<std::size_t>(*n);
    c.vm.charge(count);  // every element is work, even the missing ones
    c.vm.checkRoomForSlots(count);
    std::vector<Value> elements;
    elements.reserve(std::min(count, Interpreter::stack(c.vm).size()));
    for (std::size_t i = 0; i < count; ++i) elements.push_back(c.pop());
    c.push(Value(ObjectRef(c.vm.newArray(std::move(elements)))));
    return Flow::Next;
}

Flow opInitObject(ActionContext& c) {
    std::optional<double> n = literalCount(c);
    if (!n) return c.pushUndefined();
    c.vm.charge(static_cast<std::uint64_t>(*n));
    c.vm.checkRoomForSlots(static_cast<std::size_t>(*n));
    ObjectRef object = c.vm.newObject();
    for (std::size_t i = 0; i < static_cast<std::size_t>(*n); ++i) {
        Value v = c.pop();
        String name = c.vm.toString(c.pop());
        c.vm.set(object, name, v);
    }
    c.push(Value(object));
    return Flow::Next;
}

Flow opEnumerate(ActionContext& c) {
    String name = c.vm.toString(c.pop());
    pushKeys(c, getVariable(c.vm, c.act, name));
    return Flow::Next;
}

Flow opEnumerate2(ActionContext& c) {
    pushKeys(c, c.pop());
    return Flow::Next;
}

Flow opGetProperty(ActionContext& c) {
    double index = c.vm.toNumber(c.pop());
    Value target = c.pop();
    DisplayObjectBinding* clip = propertyTarget(c, target);
    if (clip && index > -1 && index < kDisplayPropertyCount) {
        auto property = static_cast<DisplayProperty>(static_cast<int>(index));
        c.push(getDisplayProperty(c.vm, *clip, property));
    } else {
        c.push(Value());
    }
    return Flow::Next;
}

Flow opSetProperty(ActionContext& c) {
    Value v = c.pop();
    double index = c.vm.toNumber(c.pop());
    Value target = c.pop();
    DisplayObjectBinding* clip = propertyTarget(c, target);
    if (index > -1 && index < kDisplayPropertyCount) {
        auto p = static_cast<DisplayProperty>(static_cast<int>(index));
        if (clip) setDisplayProperty(c.vm, *clip, p, v);
        else convertForProperty(c.vm, p, v);  // the player converts the value even then
    }
    return Flow::Next;
}

Flow opTargetPath(ActionContext& c) {
    Value target = c.pop();
    DisplayObjectBinding* binding = c.vm.bindingOf(target);
    if (binding) c.push(Value(c.vm.targetPath(*binding)));
    else c.push(Value());
    return Flow::Next;
}

}  // namespace kinolux::avm1
