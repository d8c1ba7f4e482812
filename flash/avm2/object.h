// Script objects, their traits and classes. Objects are owned by the
// machine that made them and live as long as it does.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "flash/avm2/names.h"
#include "flash/avm2/value.h"

namespace kinolux::avm2 {

class Vm;
struct AbcUnit;
struct Class;

using NativeFunction = Value (*)(Vm& vm, const Value& thisValue, std::span<const Value> args);

struct Scope;
using ScopeChain = std::shared_ptr<const std::vector<Scope>>;

// A method of an ABC file, or one of the player's own.
struct Method {
    AbcUnit* unit = nullptr;
    std::uint32_t index = 0;
    NativeFunction native = nullptr;
    String name;
    // What a stack trace calls it ("Test/get size", "Test$cinit"); empty
    // until the class or script that holds it names it.
    String traceName;
    int nativeLength = 0;    // natives: the parameter count scripts see
    Class* owner = nullptr;  // the class whose trait it is (for super)
    ScopeChain scope;        // where a trait method runs
};

enum class TraitType : std::uint8_t { Slot, Const, Method, Accessor, Class };

struct Trait {
    Namespace ns;
    String name;
    TraitType type = TraitType::Slot;
    std::uint32_t slot = 0;      // slots, consts and classes: index in the object's slots
    Method* method = nullptr;    // methods; getters for accessors
    Method* setter = nullptr;    // accessors
    Class* slotClass = nullptr;  // slots whose type is a primitive class coerce to it
};

// The traits of one kind of object (a class's instances, a class object,
// a script's global, an activation), inherited ones included.
struct Traits {
    std::vector<Trait> list;
    std::unordered_map<std::u16string, std::vector<std::uint32_t>> byName;
    std::vector<Value> slotDefaults;

    const Trait* find(const Multiname& m) const;
    const Trait* findQualified(const Namespace& ns, const String& name) const;
    const Trait* findByName(std::u16string_view name) const;
    // Adds or replaces (an override) a trait.
    Trait& put(Trait t);
};

// A dynamic property.
struct DynamicProperty {
    String name;
    Value value;
    bool enumerable = true;
};

class PropertyList {
public:
    const Value* get(std::u16string_view name) const;
    DynamicProperty* find(std::u16string_view name);
    void set(const String& name, Value v, bool enumerable = true);
    bool erase(std::u16string_view name);
    const std::vector<DynamicProperty>& entries() const { return entries_; }
    std::size_t size() const { return entries_.size(); }

private:
    std::vector<DynamicProperty> entries_;
    std::unordered_map<std::u16string, std::uint32_t> index_;
};

enum class ObjectKind : std::uint8_t {
    Plain,
    Array,
    Function,
    Class,
    Global,
    Activation,
    Error,
    Namespace,
    Date,
    Vector,
    Dictionary,
    ByteArray,
    RegExp,
    Boxed,
    Xml,
    XmlList,
    QName
};

class Object {
public:
    Object(ObjectKind kind, const Traits* traits, Class* cls, Object* proto)
        : kind(kind), traits(traits), cls(cls), proto(proto) {
        if (traits) slotValues = traits->slotDefaults;
    }
    virtual ~Object() = default;

    ObjectKind kind;
    const Traits* traits;
    Class* cls;
    Object* proto;
    std::vector<Value> slotValues;
    PropertyList dynamic;
    bool sealed = false;
};

// Elements of an Array or a Vector, and the extra state of other built-ins.
// An Array keeps its elements from index 0 in `elements` (a missing one as
// a hole) and, once its length runs far past what it holds (new
// Array(4294967295), a[4000000000] = x), the ones past `elements` apart, so
// that a huge length never costs memory.
class ArrayObject : public Object {
public:
    using Object::Object;
    std::vector<Value> elements;
    std::map<std::uint32_t, Value> sparse;  // Arrays: indexes from elements.size() up
    std::uint32_t sparseLength = 0;         // Arrays: the length while it is more than elements.size()
    bool fixed = false;                     // Vectors: the length may not change
    Class* elementClass = nullptr;          // Vectors

    std::uint32_t length() const { return sparseLength ? sparseLength : std::uint32_t(elements.size()); }
    bool isSparse() const { return sparseLength != 0; }
    const Value* element(std::uint32_t i) const;  // null for a missing one
    // Whether an index is a property of the Array or Vector.
    bool hasIndex(std::uint32_t i) const {
        return kind == ObjectKind::Array ? element(i) != nullptr : i < elements.size();
    }
    // Stores an element, keeping it apart when it lies far past the others.
    void setElement(std::uint32_t i, Value v);
    void eraseElement(std::uint32_t i);
    // Cuts or extends (with missing elements) an Array.
    void setArrayLength(std::uint32_t n);
    // Moves every element into `elements` (the caller has checked the length).
    void makeDense();
    // for-in over the elements kept apart: the one at a position in index order.
    const std::pair<const std::uint32_t, Value>& sparseAt(std::size_t position) const;

private:
    void growDense(std::size_t n);
    // Where the last sparseAt was, so that a walk goes on from there.
    mutable std::size_t walkPosition_ = SIZE_MAX;
    mutable std::uint32_t walkIndex_ = 0;
};

struct Scope {
    Value object;
    bool with = false;
};

class FunctionObject : public Object {
public:
    using Object::Object;
    Method* method = nullptr;
    ScopeChain scope;
    Value boundThis;  // method closures keep the object they came from
    bool bound = false;
};

class ClassObject : public Object {
public:
    using Object::Object;
    Class* self = nullptr;
};

// Boxed values of other built-ins: the Date's time, a Namespace's URI, an
// Error's message, a ByteArray's bytes.
class BoxObject : public Object {
public:
    using Object::Object;
    double number = 0;
    Value value;
    std::string bytes;
    std::uint32_t position = 0;
    bool littleEndian = false;
    int encoding = 3;                            // a ByteArray's object encoding: AMF0 or AMF3
    std::vector<std::pair<Value, Value>> pairs;  // Dictionary entries keyed by identity
    Value prefix;                                // a Namespace's prefix (undefined when it has none)
};

// Classes whose instances answer property access themselves (XML, Proxy):
// the machine asks them after the instance's traits. Each returns false
// when it leaves the name to the ordinary lookup.
class PropertyHooks {
public:
    virtual ~PropertyHooks() = default;
    virtual bool get(Vm&, Object*, const Multiname&, Value&) const { return false; }
    virtual bool set(Vm&, Object*, const Multiname&, const Value&) const { return false; }
    virtual bool has(Vm&, Object*, const Multiname&, bool&) const { return false; }
    virtual bool erase(Vm&, Object*, const Multiname&, bool&) const { return false; }
    virtual bool call(Vm&, Object*, const Multiname&, std::span<const Value>, Value&) const { return false; }
    // for-in: the index after `index` that has a property (0 when none),
    // and the name and value at an index.
    virtual std::uint32_t nextIndex(Vm& vm, Object* o, std::uint32_t index) const;
    virtual Value nextName(Vm& vm, Object* o, std::uint32_t index) const;
    virtual Value nextValue(Vm& vm, Object* o, std::uint32_t index) const;
    // The descendants operator (x..name); false when the object has none.
    virtual bool descendants(Vm&, Object*, const Multiname&, Value&) const { return false; }
};

// Makes a new instance of a native class (its Object subtype).
using NativeConstructor = Object* (*)(Vm& vm, Class* cls);

struct Class {
    String name;
    Namespace ns;
    Class* super = nullptr;
    std::vector<Class*> interfaces;
    bool isInterface = false;
    bool sealed = true;
    Traits instanceTraits;
    Traits staticTraits;
    Method* init = nullptr;  // instance initialiser
    Method* classInit = nullptr;
    Object* prototype = nullptr;
    ClassObject* object = nullptr;
    ScopeChain scope;
    NativeConstructor makeInstance = nullptr;
    const PropertyHooks* hooks = nullptr;  // inherited by subclasses
    // A native class's constructor when called as a function (String(x)),
    // and its `new` (new Array(3)) that sets up what makeInstance made.
    NativeFunction callAsFunction = nullptr;
    NativeFunction construct = nullptr;
    ObjectKind instanceKind = ObjectKind::Plain;
    Class* vectorElement = nullptr;  // Vector.<T>: T (null for *)

    String qualifiedName() const;    // "flash.display::MovieClip"
    std::string dottedName() const;  // "flash.display.MovieClip", as error messages name it
    bool isSubclassOf(const Class* other) const;
};

inline const PropertyHooks* hooksOf(const Object* o) { return o && o->cls ? o->cls->hooks : nullptr; }

}  // namespace kinolux::avm2
