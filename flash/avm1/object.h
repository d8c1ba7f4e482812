// Script objects: named properties with attributes, a __proto__ link,
// getters and setters (addProperty), watchers, and the hooks through which
// native objects (arrays, display objects, boxed primitives) add their own
// properties. The lookup rules that involve running code (getters, setters,
// watchers, __resolve) are members of Vm (vm.h, property_access.cpp).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "flash/avm1/gc.h"
#include "flash/avm1/property_map.h"
#include "flash/avm1/value.h"

namespace kinolux::avm1 {

class Vm;

// The native shape of an object. A prototype also records which shape its
// instances need (`new` on a subclass of Array must make an array).
enum class ObjectKind : std::uint8_t {
    Plain, Function, Array, Boolean, Number, String, Date, Stage, Super, XmlNode, Sound, Color,
    SharedObject, TextFormat, Error, ColorTransform,
};

class Object : public GcCell {
public:
    explicit Object(Heap& heap, Value proto = {});
    Object(Heap& heap, ObjectKind kind, Value proto);
    ~Object() override;

    ObjectKind kind() const { return kind_; }
    virtual const char16_t* typeOf() const { return u"object"; }
    virtual bool isCallable() const { return false; }

    // ---- __proto__, which scripts see as a property ----
    const Value& protoValue() const { return proto_; }
    Object* proto() const { return proto_.isObject() ? proto_.object() : nullptr; }
    bool hasProtoProperty() const { return hasProto_; }
    void setProto(Value proto);
    void removeProtoProperty();

    // ---- stored properties, without getters, setters or watchers ----
    PropertyMap& properties() { return props_; }
    const PropertyMap& properties() const { return props_; }
    // Creates or replaces a data property (used to set up built-ins).
    void defineValue(const String& name, Value value, std::uint16_t flags = 0);
    void defineAccessor(const String& name, ObjectRef getter, ObjectRef setter,
                        std::uint16_t flags = 0);
    // The stored value of an own property (undefined when absent).
    Value ownValue(const String& name, bool caseSensitive) const;
    // Stores into an own property, bypassing setters and watchers (as the
    // built-ins that rearrange arrays do); read-only properties keep their
    // value.
    void setOwnData(const String& name, Value value, bool caseSensitive);

    // ---- hooks for native-backed objects ----
    // Own properties that are not stored (array length, a clip's _x and its
    // children...). get: consulted after the stored properties; set: before
    // them, returning true when the native side took the value.
    virtual bool getNative(Vm& vm, const String& name, Value& out);
    virtual bool setNative(Vm& vm, const String& name, const Value& value);
    virtual bool hasNative(Vm& vm, const String& name);
    // Extra keys a for..in loop lists after the stored ones.
    virtual void appendNativeKeys(Vm& vm, std::vector<String>& keys);

    // ---- watch / unwatch ----
    struct Watcher {
        String name;
        ObjectRef callback;
        Value userData;
    };
    const Watcher* findWatcher(const String& name, bool caseSensitive) const;
    void setWatcher(const String& name, ObjectRef callback, Value userData, bool caseSensitive);
    bool removeWatcher(const String& name, bool caseSensitive);

    // ---- interfaces (ImplementsOp), kept on prototypes ----
    const std::vector<ObjectRef>& interfaces() const;
    void setInterfaces(std::vector<ObjectRef> interfaces);

    // The shape `new` must give to instances whose prototype chain reaches
    // this object first among native prototypes.
    ObjectKind instanceKind() const { return instanceKind_; }
    void setInstanceKind(ObjectKind kind) { instanceKind_ = kind; }

    // Boxed primitives (Boolean, Number, String objects) keep their value.
    const Value& primitive() const { return primitive_; }
    void setPrimitive(Value v) { primitive_ = std::move(v); }

protected:
    void trace(Tracer& tracer) const override;
    void clearReferences() override;
    void addSlots(std::ptrdiff_t n);

private:
    struct Extras {
        std::vector<Watcher> watchers;
        std::vector<ObjectRef> interfaces;
    };
    Extras& extras();

    ObjectKind kind_;
    ObjectKind instanceKind_ = ObjectKind::Plain;
    bool hasProto_;
    Value proto_;
    Value primitive_;
    PropertyMap props_;
    std::unique_ptr<Extras> extras_;
};

inline Object* Value::object() const { return static_cast<Object*>(const_cast<GcCell*>(cell_)); }
inline ObjectRef Value::objectRef() const { return ObjectRef(isObject() ? object() : nullptr); }
inline Value::Value(Object* o) {
    if (o) {
        type_ = ValueType::Object;
        cell_ = o;
        o->retain();
    } else {
        type_ = ValueType::Undefined;
        n_ = 0;
    }
}

// One link of a scope chain.
enum class ScopeKind : std::uint8_t { Global, Target, Local, With };

class Scope : public GcCell {
public:
    Scope(Heap& heap, Ref<Scope> parent, ScopeKind kind, ObjectRef object)
        : GcCell(heap), parent_(std::move(parent)), kind_(kind), object_(std::move(object)) {}

    Scope* parent() const { return parent_.get(); }
    const Ref<Scope>& parentRef() const { return parent_; }
    ScopeKind kind() const { return kind_; }
    Object* object() const { return object_.get(); }
    const ObjectRef& objectRef() const { return object_; }

protected:
    void trace(Tracer& tracer) const override;
    void clearReferences() override;

private:
    Ref<Scope> parent_;
    ScopeKind kind_;
    ObjectRef object_;
};

// `super` inside a method: `this`, with lookups starting one prototype above
// the object the running method was found on.
class SuperObject : public Object {
public:
    SuperObject(Heap& heap, ObjectRef thisObject, ObjectRef home);
    Object* thisObject() const { return this_.get(); }
    // The prototype the running method came from; super(...) calls its
    // __constructor__.
    Object* home() const { return home_.get(); }
    // Where lookups through `super` start.
    Object* superProto() const { return home_ ? home_->proto() : nullptr; }

protected:
    void trace(Tracer& tracer) const override;
    void clearReferences() override;

private:
    ObjectRef this_;
    ObjectRef home_;
};

}  // namespace kinolux::avm1
