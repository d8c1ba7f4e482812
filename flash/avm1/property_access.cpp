// Property lookup as scripts see it: the prototype chain, getters and
// setters made by addProperty, watchers, __resolve, and the properties
// native objects add.
#include "flash/avm1/array_object.h"
#include "flash/avm1/stage_object.h"
#include "flash/avm1/interpreter.h"
#include "flash/avm1/vm.h"

namespace kinolux::avm1 {

namespace {

// Longest prototype chain a lookup follows. A lookup that needs more (a
// circular chain) stops the script, as in the player; the other walks just
// stop there.
constexpr int kMaxChain = 255;

constexpr const char* kChainMessage = "A prototype chain is circular; the script was stopped.";

bool isProtoName(const Vm& vm, const String& name, bool caseSensitive) {
    return name.size() == 9 && name.equals(vm.names().proto.view(), caseSensitive);
}

// The live object a reference stands for: a display object that left the
// stage is found again by its path, as references in the player are.
ObjectRef liveObject(Vm& vm, Object* object) {
    if (object->kind() != ObjectKind::Stage) return ObjectRef(object);
    auto* stage = static_cast<StageObject*>(object);
    if (stage->binding()) return ObjectRef(object);
    DisplayObjectBinding* again = vm.resolveTarget(Value(stage->path()), false);
    if (again) return vm.scriptObjectOf(*again);
    return ObjectRef(object);
}

bool isRemovedStageObject(const Object& object) {
    return object.kind() == ObjectKind::Stage && !static_cast<const StageObject&>(object).binding();
}

}  // namespace

Value Vm::get(const Value& target, const String& name) {
    if (target.isNullish()) return Value();
    return get(toObject(target), name);
}

Value Vm::get(const ObjectRef& objectIn, const String& name) {
    if (!objectIn) return Value();
    ObjectRef object = liveObject(*this, objectIn.get());
    if (isRemovedStageObject(*object)) return Value();
    const bool cs = caseSensitive();
    const int version = swfVersion();

    ObjectRef thisObject = object;
    Object* start = object.get();
    if (object->kind() == ObjectKind::Super) {
        auto* super = static_cast<SuperObject*>(object.get());
        thisObject = ObjectRef(super->thisObject());
        start = super->superProto();
    }
    if (isProtoName(*this, name, cs)) {
        return start && start->hasProtoProperty() ? start->protoValue() : Value();
    }

    int depth = 0;
    for (ObjectRef p(start); p; p = ObjectRef(p->proto()), ++depth) {
        if (depth == kMaxChain) abort(kChainMessage);
        int i = p->properties().find(name, cs);
        if (i != PropertyMap::kNone) {
            const Property& prop = p->properties().at(i);
            if (visibleToVersion(prop.flags, version)) {
                if (!prop.isVirtual()) return prop.value;
                // A getter too deep to run leaves the value last stored.
                ObjectRef getter = prop.getter;
                Value stored = prop.value;
                return callSpecial(Value(getter), Value(thisObject), {}).value_or(stored);
            }
        }
        Value out;
        if (p->getNative(*this, name, out)) return out;
    }

    // Nothing found: an object (or its prototypes) may answer with __resolve.
    // Only an object there counts (a clip does not); anything else lets the
    // search go on up the chain.
    depth = 0;
    for (ObjectRef p(start); p && depth < kMaxChain; p = ObjectRef(p->proto()), ++depth) {
        int i = p->properties().find(names_.resolve, cs);
        if (i == PropertyMap::kNone) continue;
        const Value& resolver = p->properties().at(i).value;
        if (!resolver.isObject() || resolver.object()->kind() == ObjectKind::Stage) continue;
        Value keep = resolver;
        Value arg(name);
        return call(keep, Value(thisObject), Args(&arg, 1));
    }
    return Value();
}

void Vm::set(const ObjectRef& objectIn, const String& name, const Value& valueIn) {
    if (!objectIn || name.empty()) return;
    ObjectRef object = liveObject(*this, objectIn.get());
    if (isRemovedStageObject(*object) || object->kind() == ObjectKind::Super) return;
    const bool cs = caseSensitive();
    Value value = valueIn;

    std::optional<ScriptThrow> watcherThrow;
    if (const Object::Watcher* w = object->findWatcher(name, cs)) {
        ObjectRef callback = w->callback;
        Value userData = w->userData;
        Value old;
        for (Object* p = object.get(); p; p = p->proto()) {
            int i = p->properties().find(name, cs);
            if (i != PropertyMap::kNone) {
                old = p->properties().at(i).value;
                break;
            }
        }
        Value args[] = {Value(name), old, value, userData};
        try {
            value = callSpecial(Value(callback), Value(object), args).value_or(Value());
        } catch (ScriptThrow& thrown) {
            value = Value();
            watcherThrow = std::move(thrown);
        }
    }

    if (isProtoName(*this, name, cs)) {
        object->setProto(value);
    } else if (!hasOwnProperty(*object, name)) {
        // An inherited addProperty setter takes the value instead.
        bool handled = false;
        int depth = 0;
        for (ObjectRef p(object->proto()); p && depth < kMaxChain; p = ObjectRef(p->proto()), ++depth) {
            int i = p->properties().find(name, cs);
            if (i == PropertyMap::kNone || !p->properties().at(i).isVirtual()) continue;
            ObjectRef setter = p->properties().at(i).setter;
            if (setter) {
                Value arg = value;
                try {
                    callSpecial(Value(setter), Value(object), Args(&arg, 1));
                } catch (ScriptThrow&) {
                    // The player ignores what an inherited setter throws.
                }
            }
            handled = true;
            break;
        }
        if (!handled && !object->setNative(*this, name, value)) {
            object->properties().append(Property{name, value, nullptr, nullptr, 0});
            heap_.addSlots(1);
            if (heap_.estimatedBytes() > limits_.maxMemoryBytes && !heap_.withinBudget(limits_.maxMemoryBytes))
                abort(LimitMessage::kMemory, true);
        }
    } else if (!object->setNative(*this, name, value)) {
        int i = object->properties().find(name, cs);
        if (i != PropertyMap::kNone) {
            Property& prop = object->properties().at(i);
            if (prop.isVirtual()) {
                ObjectRef setter = prop.setter;
                if (setter) {
                    Value arg = value;
                    callSpecial(Value(setter), Value(object), Args(&arg, 1));
                    // The player also keeps the value, once the setter is
                    // done, for a getter that runs too deep to be called.
                    int again = object->properties().find(name, cs);
                    if (again != PropertyMap::kNone && object->properties().at(again).setter == setter)
                        object->properties().at(again).value = value;
                }
            } else if (!(prop.flags & PropertyFlag::ReadOnly)) {
                prop.value = value;
            }
        }
    }
    if (watcherThrow) throw *watcherThrow;
}

bool Vm::hasOwnProperty(Object& object, const String& name) {
    const bool cs = caseSensitive();
    if (object.kind() == ObjectKind::Super) {
        Object* self = static_cast<SuperObject&>(object).thisObject();
        return self && hasOwnProperty(*self, name);
    }
    int i = object.properties().find(name, cs);
    if (i != PropertyMap::kNone && visibleToVersion(object.properties().at(i).flags, swfVersion()))
        return true;
    if (isProtoName(*this, name, cs)) return object.hasProtoProperty();
    return object.kind() == ObjectKind::Array && name.equals(names_.length.view(), cs);
}

bool Vm::hasProperty(Object& objectIn, const String& name) {
    Object* start = &objectIn;
    if (objectIn.kind() == ObjectKind::Super) start = static_cast<SuperObject&>(objectIn).thisObject();
    const bool cs = caseSensitive();
    const int version = swfVersion();
    if (start && isProtoName(*this, name, cs)) return start->hasProtoProperty();
    int depth = 0;
    for (ObjectRef p(start); p && depth < kMaxChain; p = ObjectRef(p->proto()), ++depth) {
        int i = p->properties().find(name, cs);
        if (i != PropertyMap::kNone && visibleToVersion(p->properties().at(i).flags, version)) return true;
        if (p->hasNative(*this, name)) return true;
    }
    return false;
}

bool Vm::deleteProperty(Object& object, const String& name) {
    if (object.kind() == ObjectKind::Super) return false;
    int i = object.properties().find(name, caseSensitive());
    if (i == PropertyMap::kNone) return false;
    if (object.properties().at(i).flags & PropertyFlag::DontDelete) return false;
    object.properties().erase(i);
    heap_.addSlots(-1);
    return true;
}

std::vector<String> Vm::enumerate(Object& object) {
    std::vector<Object*> chain;
    for (Object* p = &object; p && chain.size() < kMaxChain; p = p->proto()) chain.push_back(p);
    const bool cs = caseSensitive();

    // Inherited keys first (each level hiding what a nearer one has), then
    // the object's own keys newest first, then a clip's children.
    std::vector<String> keys;
    for (auto level = chain.rbegin(); level != chain.rend(); ++level) {
        Object* p = *level;
        std::vector<String> mine;
        const auto& entries = p->properties().entries();
        for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
            // Properties of later versions are listed to older movies too,
            // which read them as undefined.
            if (it->enumerable()) mine.push_back(it->name);
        }
        std::vector<String> kept;
        kept.reserve(keys.size() + mine.size());
        for (const String& k : keys) {
            if (p->properties().find(k, cs) == PropertyMap::kNone) kept.push_back(k);
        }
        for (String& k : mine) kept.push_back(std::move(k));
        keys = std::move(kept);
    }
    object.appendNativeKeys(*this, keys);
    return keys;
}

bool Vm::isInstanceOf(Object& object, Object& constructor) {
    ObjectRef prototype = toObject(get(ObjectRef(&constructor), names_.prototype));
    if (!prototype) return false;
    std::vector<ObjectRef> pending;
    if (object.proto()) pending.push_back(ObjectRef(object.proto()));
    int steps = 0;
    while (!pending.empty() && ++steps < 10000) {
        ObjectRef p = pending.back();
        pending.pop_back();
        if (p == prototype) return true;
        if (p->proto()) pending.push_back(ObjectRef(p->proto()));
        if (swfVersion() >= 7) {
            for (const ObjectRef& iface : p->interfaces()) {
                if (iface.get() == &constructor) return true;
                ObjectRef ifaceProto = toObject(get(iface, names_.prototype));
                if (ifaceProto) pending.push_back(ifaceProto);
            }
        }
    }
    return false;
}

Value Vm::callMethod(const Value& target, const String& name, Args args) {
    ObjectRef object = toObject(target);
    if (!object) return Value();
    object = liveObject(*this, object.get());
    if (isRemovedStageObject(*object)) return Value();

    Value thisValue(object);
    Object* start = object.get();
    if (object->kind() == ObjectKind::Super) {
        auto* super = static_cast<SuperObject*>(object.get());
        thisValue = Value(super->thisObject());
        start = super->superProto();
    }
    const bool cs = caseSensitive();
    const int version = swfVersion();
    int depth = 0;
    for (ObjectRef p(start); p; p = ObjectRef(p->proto()), ++depth) {
        if (depth == kMaxChain) abort(kChainMessage);
        Value method;
        bool found = false;
        int i = p->properties().find(name, cs);
        if (i != PropertyMap::kNone && visibleToVersion(p->properties().at(i).flags, version)) {
            const Property& prop = p->properties().at(i);
            if (prop.isVirtual()) {
                ObjectRef getter = prop.getter;
                method = callSpecial(Value(getter), thisValue, {}).value_or(Value());
            } else {
                method = prop.value;
            }
            found = true;
        } else if (isProtoName(*this, name, cs) && p->hasProtoProperty()) {
            method = p->protoValue();
            found = true;
        } else {
            found = p->getNative(*this, name, method);
        }
        if (!found) continue;
        if (!method.isObject()) return Value();
        // A method found on the object itself runs as if found one level up,
        // so that `super` in it means the prototype's prototype.
        Object* home = p.get() == object.get() ? object->proto() : p.get();
        return callWithHome(method, thisValue, args, home);
    }
    Value method = get(object, name);  // __resolve
    if (!method.isObject()) return Value();
    return callWithHome(method, thisValue, args, object->proto());
}

}  // namespace kinolux::avm1
