// AMF0 and AMF3 encoding and decoding of script values, with the object,
// string and traits reference tables the formats keep, and class aliases.
#include "flash/avm2/builtins/amf.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <unordered_map>

#include "flash/avm2/builtins/native.h"

namespace kinolux::avm2 {
namespace {

// Nesting deeper than this is refused as the player's stack overflow: a
// hostile stream nests arrays in two bytes each.
constexpr int kMaxDepth = 256;

namespace amf0 {
enum : std::uint8_t {
    Number = 0x00,
    Boolean = 0x01,
    String = 0x02,
    Object = 0x03,
    Null = 0x05,
    Undefined = 0x06,
    Reference = 0x07,
    EcmaArray = 0x08,
    ObjectEnd = 0x09,
    StrictArray = 0x0A,
    Date = 0x0B,
    LongString = 0x0C,
    XmlDocument = 0x0F,
    TypedObject = 0x10,
    Amf3 = 0x11
};
}  // namespace amf0

namespace amf3 {
enum : std::uint8_t {
    Undefined = 0x00,
    Null = 0x01,
    False = 0x02,
    True = 0x03,
    Integer = 0x04,
    Double = 0x05,
    String = 0x06,
    XmlDocument = 0x07,
    Date = 0x08,
    Array = 0x09,
    Object = 0x0A,
    Xml = 0x0B,
    ByteArray = 0x0C,
    VectorInt = 0x0D,
    VectorUint = 0x0E,
    VectorDouble = 0x0F,
    VectorObject = 0x10,
    Dictionary = 0x11
};
}  // namespace amf3

struct DepthGuard {
    int& depth;
    DepthGuard(Vm& vm, int& d) : depth(d) {
        if (++depth > kMaxDepth) {
            --depth;
            throwStackOverflow(vm);
        }
    }
    ~DepthGuard() { --depth; }
};

bool isFunction(const Value& v) { return v.object() && v.object()->kind == ObjectKind::Function; }

const String* aliasOf(Vm& vm, const Class* cls) {
    for (const auto& [alias, c] : vm.classAliases())
        if (c == cls) return &alias;
    return nullptr;
}

// The members AMF writes in an object's traits: public variables, and
// public properties with both a getter and a setter, in declaration order.
std::vector<const Trait*> sealedMembers(const Object* o) {
    std::vector<const Trait*> members;
    if (!o->traits) return members;
    for (const Trait& t : o->traits->list) {
        if (t.ns.kind != NamespaceKind::Package || !t.ns.uri.empty()) continue;
        if (t.type == TraitType::Slot || (t.type == TraitType::Accessor && t.method && t.setter))
            members.push_back(&t);
    }
    return members;
}

// The player's own classes other than Object are sealed in the player,
// though this machine lets scripts add to their instances.
bool declaredInScript(const Class* cls) { return cls->init && cls->init->unit; }

Multiname traitName(const Trait& t) {
    Multiname m;
    m.namespaces.push_back(t.ns);
    m.name = t.name;
    return m;
}

// The enumerable dynamic properties of an object, as for..in sees them
// (a Proxy answers through its own methods).
std::vector<std::pair<Value, Value>> dynamicProperties(Vm& vm, Object* o) {
    std::vector<std::pair<Value, Value>> out;
    if (const PropertyHooks* h = hooksOf(o)) {
        for (std::uint32_t i = h->nextIndex(vm, o, 0); i != 0; i = h->nextIndex(vm, o, i)) {
            Value name = h->nextName(vm, o, i);
            out.emplace_back(std::move(name), h->nextValue(vm, o, i));
        }
        return out;
    }
    for (const auto& p : o->dynamic.entries())
        if (p.enumerable) out.emplace_back(Value(p.name), p.value);
    return out;
}

// ---- writing ----

void putU8(std::string& out, std::uint8_t b) { out.push_back(char(b)); }
void putU16(std::string& out, std::uint16_t v) {
    putU8(out, std::uint8_t(v >> 8));
    putU8(out, std::uint8_t(v));
}
void putU32(std::string& out, std::uint32_t v) {
    putU16(out, std::uint16_t(v >> 16));
    putU16(out, std::uint16_t(v));
}
void putDouble(std::string& out, double d) {
    std::uint64_t bits = std::bit_cast<std::uint64_t>(d);
    putU32(out, std::uint32_t(bits >> 32));
    putU32(out, std::uint32_t(bits));
}

class Amf3Writer {
public:
    Amf3Writer(Vm& vm, std::string& out) : vm_(vm), out_(out) {}

    void value(const Value& v) {
        DepthGuard guard(vm_, depth_);
        switch (v.type()) {
        case Type::Undefined: putU8(out_, amf3::Undefined); return;
        case Type::Null: putU8(out_, amf3::Null); return;
        case Type::Boolean: putU8(out_, v.boolean() ? amf3::True : amf3::False); return;
        case Type::Number: number(v.number()); return;
        case Type::String:
            putU8(out_, amf3::String);
            string(v.string());
            return;
        case Type::Object: object(v); return;
        }
    }

private:
    void u29(std::uint32_t v) {
        v &= 0x1FFFFFFF;
        if (v < 0x80) {
            putU8(out_, std::uint8_t(v));
        } else if (v < 0x4000) {
            putU8(out_, std::uint8_t(v >> 7 | 0x80));
            putU8(out_, std::uint8_t(v & 0x7F));
        } else if (v < 0x200000) {
            putU8(out_, std::uint8_t(v >> 14 | 0x80));
            putU8(out_, std::uint8_t((v >> 7 & 0x7F) | 0x80));
            putU8(out_, std::uint8_t(v & 0x7F));
        } else {
            putU8(out_, std::uint8_t(v >> 22 | 0x80));
            putU8(out_, std::uint8_t((v >> 15 & 0x7F) | 0x80));
            putU8(out_, std::uint8_t((v >> 8 & 0x7F) | 0x80));
            putU8(out_, std::uint8_t(v));
        }
    }
    void number(double d) {
        // Whole numbers that fit 29 bits go as integers, negative zero not.
        if (d == std::trunc(d) && d >= -268435456.0 && d <= 268435455.0 && !(d == 0 && std::signbit(d))) {
            putU8(out_, amf3::Integer);
            u29(std::uint32_t(std::int32_t(d)));
        } else {
            putU8(out_, amf3::Double);
            putDouble(out_, d);
        }
    }
    void string(const String& s) {
        if (s.empty()) {
            u29(1);
            return;
        }
        std::u16string key(s.view());
        if (auto it = strings_.find(key); it != strings_.end()) {
            u29(it->second << 1);
            return;
        }
        strings_.emplace(std::move(key), std::uint32_t(strings_.size()));
        std::string utf8 = s.toUtf8();
        u29(std::uint32_t(utf8.size()) << 1 | 1);
        out_ += utf8;
    }
    // Writes a reference to an object already written, or notes it.
    bool reference(Object* o) {
        if (auto it = objects_.find(o); it != objects_.end()) {
            u29(it->second << 1);
            return true;
        }
        objects_.emplace(o, std::uint32_t(objects_.size()));
        return false;
    }
    void object(const Value& v) {
        Object* o = v.object();
        switch (o->kind) {
        case ObjectKind::Function: putU8(out_, amf3::Undefined); return;
        case ObjectKind::Date:
            putU8(out_, amf3::Date);
            if (reference(o)) return;
            u29(1);
            putDouble(out_, static_cast<BoxObject*>(o)->number);
            return;
        case ObjectKind::Xml:
        case ObjectKind::XmlList: {
            putU8(out_, amf3::Xml);
            if (reference(o)) return;
            std::string text = vm_.toString(vm_.callProperty(v, Multiname::publicName(String(u"toXMLString")), {})).toUtf8();
            u29(std::uint32_t(text.size()) << 1 | 1);
            out_ += text;
            return;
        }
        case ObjectKind::ByteArray: {
            putU8(out_, amf3::ByteArray);
            if (reference(o)) return;
            const std::string& bytes = static_cast<BoxObject*>(o)->bytes;
            u29(std::uint32_t(bytes.size()) << 1 | 1);
            out_ += bytes;
            return;
        }
        case ObjectKind::Array: array(static_cast<ArrayObject*>(o)); return;
        case ObjectKind::Vector: vector(static_cast<ArrayObject*>(o)); return;
        case ObjectKind::Dictionary: dictionary(static_cast<BoxObject*>(o)); return;
        default: plainObject(v); return;
        }
    }
    void array(ArrayObject* a) {
        putU8(out_, amf3::Array);
        if (reference(a)) return;
        vm_.denseArray(*a);
        // The dense part runs to the first hole; later elements go by name.
        std::size_t dense = 0;
        while (dense < a->elements.size() && !a->elements[dense].isUndefined() && !isFunction(a->elements[dense]))
            ++dense;
        u29(std::uint32_t(dense) << 1 | 1);
        for (std::size_t i = dense; i < a->elements.size(); ++i) {
            const Value& e = a->elements[i];
            if (e.isUndefined() || isFunction(e)) continue;
            string(numberToString(double(i)));
            value(e);
        }
        for (const auto& [name, val] : dynamicProperties(vm_, a)) {
            if (isFunction(val)) continue;
            string(vm_.toString(name));
            value(val);
        }
        string(String());
        for (std::size_t i = 0; i < dense; ++i) value(a->elements[i]);
    }
    void vector(ArrayObject* v) {
        Class* element = v->cls ? v->cls->vectorElement : nullptr;
        const auto& b = vm_.builtins();
        std::uint8_t marker = element == b.intClass      ? amf3::VectorInt
                              : element == b.uintClass   ? amf3::VectorUint
                              : element == b.number      ? amf3::VectorDouble
                                                         : amf3::VectorObject;
        putU8(out_, marker);
        if (reference(v)) return;
        u29(std::uint32_t(v->elements.size()) << 1 | 1);
        putU8(out_, v->fixed ? 1 : 0);
        if (marker == amf3::VectorObject) {
            const String* alias = element ? aliasOf(vm_, element) : nullptr;
            string(alias ? *alias : String());
        }
        for (const Value& e : v->elements) {
            if (marker == amf3::VectorDouble) putDouble(out_, vm_.toNumber(e));
            // A vector of objects holds no undefined: it writes null there.
            else if (marker == amf3::VectorObject) value(isFunction(e) ? Value() : e.isUndefined() ? Value::null() : e);
            else putU32(out_, toUint32(vm_.toNumber(e)));
        }
    }
    void dictionary(BoxObject* d) {
        putU8(out_, amf3::Dictionary);
        if (reference(d)) return;
        auto named = dynamicProperties(vm_, d);
        u29(std::uint32_t(d->pairs.size() + named.size()) << 1 | 1);
        putU8(out_, 0);
        for (const auto& [key, val] : d->pairs) {
            value(key);
            value(val);
        }
        for (const auto& [key, val] : named) {
            value(key);
            value(val);
        }
    }
    void plainObject(const Value& v) {
        Object* o = v.object();
        putU8(out_, amf3::Object);
        if (reference(o)) return;
        Class* cls = o->cls;
        const String* alias = cls ? aliasOf(vm_, cls) : nullptr;
        const bool scripted = !cls || cls == vm_.builtins().object || declaredInScript(cls);
        if (!scripted) {
            // The player's own classes keep their fields (a Point's x and y)
            // as properties here; the player writes them as its traits.
            auto fields = dynamicProperties(vm_, o);
            u29(std::uint32_t(fields.size()) << 4 | 0x03);
            string(alias ? *alias : String());
            for (const auto& field : fields) string(vm_.toString(field.first));
            for (const auto& field : fields) value(field.second);
            return;
        }
        const bool isDynamic = !o->sealed;
        std::vector<const Trait*> members = sealedMembers(o);
        // Instances of a class share one traits record; plain objects each
        // give theirs.
        auto known = cls && cls != vm_.builtins().object ? traits_.find(cls) : traits_.end();
        if (known != traits_.end()) {
            u29(known->second << 2 | 1);
        } else {
            if (cls && cls != vm_.builtins().object) traits_.emplace(cls, std::uint32_t(traits_.size()));
            u29(std::uint32_t(members.size()) << 4 | (isDynamic ? 0x08 : 0) | 0x03);
            string(alias ? *alias : String());
            for (const Trait* t : members) string(t->name);
        }
        for (const Trait* t : members) value(vm_.getProperty(v, traitName(*t)));
        if (!isDynamic) return;
        for (const auto& [name, val] : dynamicProperties(vm_, o)) {
            if (isFunction(val)) continue;
            string(vm_.toString(name));
            value(val);
        }
        string(String());
    }

    Vm& vm_;
    std::string& out_;
    int depth_ = 0;
    std::unordered_map<std::u16string, std::uint32_t> strings_;
    std::unordered_map<Object*, std::uint32_t> objects_;
    std::unordered_map<Class*, std::uint32_t> traits_;
};

class Amf0Writer {
public:
    Amf0Writer(Vm& vm, std::string& out) : vm_(vm), out_(out) {}

    void value(const Value& v) {
        DepthGuard guard(vm_, depth_);
        switch (v.type()) {
        case Type::Undefined: putU8(out_, amf0::Undefined); return;
        case Type::Null: putU8(out_, amf0::Null); return;
        case Type::Boolean:
            putU8(out_, amf0::Boolean);
            putU8(out_, v.boolean() ? 1 : 0);
            return;
        case Type::Number:
            putU8(out_, amf0::Number);
            putDouble(out_, v.number());
            return;
        case Type::String: string(v.string()); return;
        case Type::Object: object(v); return;
        }
    }

private:
    void name(const String& s) {
        std::string utf8 = s.toUtf8();
        if (utf8.size() > 0xFFFF) utf8.resize(0xFFFF);
        putU16(out_, std::uint16_t(utf8.size()));
        out_ += utf8;
    }
    void string(const String& s) {
        std::string utf8 = s.toUtf8();
        if (utf8.size() > 0xFFFF) {
            putU8(out_, amf0::LongString);
            putU32(out_, std::uint32_t(utf8.size()));
        } else {
            putU8(out_, amf0::String);
            putU16(out_, std::uint16_t(utf8.size()));
        }
        out_ += utf8;
    }
    bool reference(Object* o) {
        if (auto it = objects_.find(o); it != objects_.end() && it->second <= 0xFFFF) {
            putU8(out_, amf0::Reference);
            putU16(out_, std::uint16_t(it->second));
            return true;
        }
        objects_.emplace(o, std::uint32_t(objects_.size()));
        return false;
    }
    void end() {
        putU16(out_, 0);
        putU8(out_, amf0::ObjectEnd);
    }
    void object(const Value& v) {
        Object* o = v.object();
        switch (o->kind) {
        case ObjectKind::Function: putU8(out_, amf0::Undefined); return;
        case ObjectKind::Date:
            putU8(out_, amf0::Date);
            putDouble(out_, static_cast<BoxObject*>(o)->number);
            putU16(out_, 0);
            return;
        case ObjectKind::Xml:
        case ObjectKind::XmlList: {
            std::string text = vm_.toString(vm_.callProperty(v, Multiname::publicName(String(u"toXMLString")), {})).toUtf8();
            putU8(out_, amf0::XmlDocument);
            putU32(out_, std::uint32_t(text.size()));
            out_ += text;
            return;
        }
        case ObjectKind::ByteArray:
        case ObjectKind::Vector:
        case ObjectKind::Dictionary:
            // Kinds AMF0 has no marker for switch to AMF3.
            putU8(out_, amf0::Amf3);
            Amf3Writer(vm_, out_).value(v);
            return;
        case ObjectKind::Array: {
            if (reference(o)) return;
            auto* a = &vm_.denseArray(*static_cast<ArrayObject*>(o));
            putU8(out_, amf0::EcmaArray);
            putU32(out_, std::uint32_t(a->elements.size()));
            for (std::size_t i = 0; i < a->elements.size(); ++i) {
                const Value& e = a->elements[i];
                if (e.isUndefined() || isFunction(e)) continue;
                name(numberToString(double(i)));
                value(e);
            }
            members(a, false);
            end();
            return;
        }
        default: {
            if (reference(o)) return;
            const String* alias = o->cls ? aliasOf(vm_, o->cls) : nullptr;
            if (alias) {
                putU8(out_, amf0::TypedObject);
                name(*alias);
            } else {
                putU8(out_, amf0::Object);
            }
            members(o, true);
            end();
            return;
        }
        }
    }
    void members(Object* o, bool sealed) {
        if (sealed)
            for (const Trait* t : sealedMembers(o)) {
                name(t->name);
                value(vm_.getProperty(Value(o), traitName(*t)));
            }
        for (const auto& [key, val] : dynamicProperties(vm_, o)) {
            if (isFunction(val)) continue;
            name(vm_.toString(key));
            value(val);
        }
    }

    Vm& vm_;
    std::string& out_;
    int depth_ = 0;
    std::unordered_map<Object*, std::uint32_t> objects_;
};

// ---- reading ----

[[noreturn]] void throwNamed(Vm& vm, std::u16string_view cls, const char* message, int id) {
    Value args[] = {Value(String::fromAscii(message)), Value(id)};
    throw ScriptThrow{vm.constructValue(Value(static_cast<Object*>(vm.findClass(cls)->object)), args)};
}

class Source {
public:
    Source(Vm& vm, std::string_view bytes, std::size_t& position) : vm_(vm), bytes_(bytes), pos_(position) {}

    std::size_t remaining() const { return pos_ < bytes_.size() ? bytes_.size() - pos_ : 0; }
    std::string_view take(std::size_t n) {
        if (remaining() < n)
            throwNamed(vm_, u"flash.errors.EOFError", "Error #2030: End of file was encountered.", 2030);
        std::string_view s = bytes_.substr(pos_, n);
        pos_ += n;
        return s;
    }
    std::uint8_t u8() { return std::uint8_t(take(1)[0]); }
    std::uint16_t u16() {
        std::string_view s = take(2);
        return std::uint16_t(std::uint8_t(s[0]) << 8 | std::uint8_t(s[1]));
    }
    std::uint32_t u32() {
        std::string_view s = take(4);
        return std::uint32_t(std::uint8_t(s[0])) << 24 | std::uint32_t(std::uint8_t(s[1])) << 16 |
               std::uint32_t(std::uint8_t(s[2])) << 8 | std::uint32_t(std::uint8_t(s[3]));
    }
    double f64() {
        std::uint64_t hi = u32();
        return std::bit_cast<double>(hi << 32 | u32());
    }
    // A count of items of at least `itemSize` bytes each that the rest of
    // the stream cannot hold is malformed (and must not be allocated).
    std::size_t count(std::uint32_t n, std::size_t itemSize) {
        if (std::size_t(n) > remaining() / itemSize) malformed();
        return n;
    }
    [[noreturn]] void malformed() { throwOutOfBounds(vm_); }

private:
    Vm& vm_;
    std::string_view bytes_;
    std::size_t& pos_;
};

// Sets a member read from a stream: an error the object's setter throws is
// reported in the trace output and reading goes on, as the player does.
void setMember(Vm& vm, const Value& target, const Multiname& name, const Value& v) {
    try {
        vm.setProperty(target, name, v);
    } catch (const ScriptThrow& t) {
        vm.host().trace(vm.toString(t.value).toUtf8());
    }
}

Value newOf(Vm& vm, Class* cls, std::span<const Value> args = {}) {
    return vm.constructValue(Value(static_cast<Object*>(cls->object)), args);
}

Value newByteArray(Vm& vm, std::string_view bytes) {
    Value v = newOf(vm, vm.findClass(u"flash.utils.ByteArray"));
    vm.charge(bytes.size());
    static_cast<BoxObject*>(v.object())->bytes.assign(bytes);
    return v;
}

Value newXml(Vm& vm, std::string_view text) {
    Value args[] = {Value(String::fromUtf8(text))};
    return newOf(vm, vm.findClass(u"XML"), args);
}

Class* aliasedClass(Vm& vm, const String& alias) {
    if (alias.empty()) return nullptr;
    auto it = vm.classAliases().find(alias);
    return it == vm.classAliases().end() ? nullptr : it->second;
}

class Amf3Reader {
public:
    Amf3Reader(Vm& vm, Source& in) : vm_(vm), in_(in) {}

    Value value() {
        DepthGuard guard(vm_, depth_);
        std::uint8_t marker = in_.u8();
        switch (marker) {
        case amf3::Undefined: return Value();
        case amf3::Null: return Value::null();
        case amf3::False: return Value(false);
        case amf3::True: return Value(true);
        case amf3::Integer: {
            std::uint32_t v = u29();
            return Value(double(std::int32_t(v << 3) >> 3));
        }
        case amf3::Double: return Value(in_.f64());
        case amf3::String: return Value(string());
        case amf3::XmlDocument:
        case amf3::Xml: {
            std::uint32_t head = u29();
            if (!(head & 1)) return object(head >> 1);
            Value xml = newXml(vm_, in_.take(head >> 1));
            objects_.push_back(xml);
            return xml;
        }
        case amf3::Date: {
            std::uint32_t head = u29();
            if (!(head & 1)) return object(head >> 1);
            Value args[] = {Value(in_.f64())};
            Value date = newOf(vm_, vm_.builtins().date, args);
            objects_.push_back(date);
            return date;
        }
        case amf3::Array: return array();
        case amf3::Object: return plainObject();
        case amf3::ByteArray: {
            std::uint32_t head = u29();
            if (!(head & 1)) return object(head >> 1);
            Value bytes = newByteArray(vm_, in_.take(head >> 1));
            objects_.push_back(bytes);
            return bytes;
        }
        case amf3::VectorInt:
        case amf3::VectorUint:
        case amf3::VectorDouble:
        case amf3::VectorObject: return vector(marker);
        case amf3::Dictionary: return dictionary();
        default: in_.malformed();
        }
    }

private:
    std::uint32_t u29() {
        std::uint32_t v = 0;
        for (int i = 0; i < 3; ++i) {
            std::uint8_t b = in_.u8();
            v = v << 7 | (b & 0x7F);
            if (!(b & 0x80)) return v;
        }
        return v << 8 | in_.u8();
    }
    String string() {
        std::uint32_t head = u29();
        if (!(head & 1)) {
            if ((head >> 1) >= strings_.size()) in_.malformed();
            return strings_[head >> 1];
        }
        String s = String::fromUtf8(in_.take(head >> 1));
        if (!s.empty()) strings_.push_back(s);
        return s;
    }
    Value object(std::uint32_t index) {
        if (index >= objects_.size()) in_.malformed();
        return objects_[index];
    }
    Value array() {
        std::uint32_t head = u29();
        if (!(head & 1)) return object(head >> 1);
        std::size_t dense = in_.count(head >> 1, 1);
        Value result(static_cast<Object*>(vm_.newArray()));
        objects_.push_back(result);
        for (String key = string(); !key.empty(); key = string())
            setMember(vm_, result, Multiname::publicName(key), value());
        for (std::size_t i = 0; i < dense; ++i)
            setMember(vm_, result, Multiname::publicName(numberToString(double(i))), value());
        return result;
    }
    Value vector(std::uint8_t marker) {
        std::uint32_t head = u29();
        if (!(head & 1)) return object(head >> 1);
        const auto& b = vm_.builtins();
        std::size_t itemSize = marker == amf3::VectorDouble ? 8 : marker == amf3::VectorObject ? 1 : 4;
        std::size_t n = in_.count(head >> 1, itemSize);
        bool fixed = in_.u8() != 0;
        Class* element = marker == amf3::VectorInt    ? b.intClass
                         : marker == amf3::VectorUint ? b.uintClass
                         : marker == amf3::VectorDouble ? b.number
                                                        : nullptr;
        if (marker == amf3::VectorObject) {
            element = aliasedClass(vm_, string());
            if (!element) element = b.object;
        }
        Class& cls = vm_.vectorClassFor(Value(static_cast<Object*>(element->object)));
        Value result = newOf(vm_, &cls);
        objects_.push_back(result);
        auto* v = static_cast<ArrayObject*>(result.object());
        vm_.charge(n * sizeof(Value));
        v->elements.reserve(n);
        for (std::size_t i = 0; i < n; ++i) {
            Value e = marker == amf3::VectorInt      ? Value(double(std::int32_t(in_.u32())))
                      : marker == amf3::VectorUint   ? Value(double(in_.u32()))
                      : marker == amf3::VectorDouble ? Value(in_.f64())
                                                     : value();
            v->elements.push_back(vm_.coerceTo(e, element));
        }
        v->fixed = fixed;
        return result;
    }
    Value dictionary() {
        std::uint32_t head = u29();
        if (!(head & 1)) return object(head >> 1);
        std::size_t n = in_.count(head >> 1, 2);
        in_.u8();  // weak keys
        Value result = newOf(vm_, vm_.findClass(u"flash.utils.Dictionary"));
        objects_.push_back(result);
        for (std::size_t i = 0; i < n; ++i) {
            Value key = value();
            Multiname name = Multiname::publicName(vm_.toString(key));
            name.runtimeKey = key;
            setMember(vm_, result, name, value());
        }
        return result;
    }
    struct TraitsInfo {
        String className;
        std::vector<String> members;
        bool dynamic = false;
    };
    Value plainObject() {
        std::uint32_t head = u29();
        if (!(head & 1)) return object(head >> 1);
        TraitsInfo traits;
        if (!(head & 2)) {
            if ((head >> 2) >= traits_.size()) in_.malformed();
            traits = traits_[head >> 2];
        } else {
            // Externalizable objects read themselves, which no class here does.
            if (head & 4) in_.malformed();
            traits.dynamic = (head & 8) != 0;
            traits.className = string();
            std::size_t n = in_.count(head >> 4, 1);
            for (std::size_t i = 0; i < n; ++i) traits.members.push_back(string());
            traits_.push_back(traits);
        }
        Class* cls = aliasedClass(vm_, traits.className);
        Value result = cls ? newOf(vm_, cls) : Value(vm_.newObject());
        objects_.push_back(result);
        for (const String& member : traits.members) setMember(vm_, result, Multiname::publicName(member), value());
        if (traits.dynamic)
            for (String key = string(); !key.empty(); key = string())
                setMember(vm_, result, Multiname::publicName(key), value());
        return result;
    }

    Vm& vm_;
    Source& in_;
    int depth_ = 0;
    std::vector<String> strings_;
    std::vector<Value> objects_;
    std::vector<TraitsInfo> traits_;
};

class Amf0Reader {
public:
    Amf0Reader(Vm& vm, Source& in) : vm_(vm), in_(in) {}

    Value value() {
        DepthGuard guard(vm_, depth_);
        switch (in_.u8()) {
        case amf0::Number: return Value(in_.f64());
        case amf0::Boolean: return Value(in_.u8() != 0);
        case amf0::String: return Value(String::fromUtf8(in_.take(in_.u16())));
        case amf0::LongString: return Value(String::fromUtf8(in_.take(in_.u32())));
        case amf0::Object: return members(Value(vm_.newObject()));
        case amf0::TypedObject: {
            Class* cls = aliasedClass(vm_, name());
            return members(cls ? newOf(vm_, cls) : Value(vm_.newObject()));
        }
        case amf0::Null: return Value::null();
        case amf0::Undefined: return Value();
        case amf0::Reference: {
            std::uint16_t index = in_.u16();
            if (index >= objects_.size()) in_.malformed();
            return objects_[index];
        }
        case amf0::EcmaArray:
            in_.u32();  // the length the writer gave; the members say it again
            return members(Value(static_cast<Object*>(vm_.newArray())));
        case amf0::StrictArray: {
            std::size_t n = in_.count(in_.u32(), 1);
            Value result(static_cast<Object*>(vm_.newArray()));
            objects_.push_back(result);
            for (std::size_t i = 0; i < n; ++i)
                setMember(vm_, result, Multiname::publicName(numberToString(double(i))), value());
            return result;
        }
        case amf0::Date: {
            Value args[] = {Value(in_.f64())};
            in_.u16();  // time zone, unused
            return newOf(vm_, vm_.builtins().date, args);
        }
        case amf0::XmlDocument: return newXml(vm_, in_.take(in_.u32()));
        case amf0::Amf3: return Amf3Reader(vm_, in_).value();
        default: in_.malformed();
        }
    }

private:
    String name() { return String::fromUtf8(in_.take(in_.u16())); }
    Value members(Value target) {
        objects_.push_back(target);
        for (String key = name(); !key.empty(); key = name())
            setMember(vm_, target, Multiname::publicName(key), value());
        if (in_.u8() != amf0::ObjectEnd) in_.malformed();
        return target;
    }

    Vm& vm_;
    Source& in_;
    int depth_ = 0;
    std::vector<Value> objects_;
};

// ---- functions ----

Value registerClassAlias(Vm& vm, const Value&, std::span<const Value> args) {
    requireNonNull(vm, arg(args, 0), "aliasName");
    Object* c = arg(args, 1).object();
    if (!c || c->kind != ObjectKind::Class) throwNullParameter(vm, "classObject");
    vm.classAliases()[vm.toString(args[0])] = static_cast<ClassObject*>(c)->self;
    return Value();
}

Value getClassByAlias(Vm& vm, const Value&, std::span<const Value> args) {
    requireNonNull(vm, arg(args, 0), "aliasName");
    String alias = vm.toString(args[0]);
    Class* cls = aliasedClass(vm, alias);
    if (!cls)
        vm.throwError(ErrorType::ReferenceError, "Error #1014: Class " + alias.toUtf8() + " could not be found.", 1014);
    return Value(static_cast<Object*>(cls->object));
}

}  // namespace

void writeAmf(Vm& vm, std::string& out, const Value& v, int encoding) {
    if (encoding == 0) Amf0Writer(vm, out).value(v);
    else Amf3Writer(vm, out).value(v);
}

Value readAmf(Vm& vm, std::string_view bytes, std::size_t& position, int encoding) {
    Source in(vm, bytes, position);
    if (encoding == 0) return Amf0Reader(vm, in).value();
    return Amf3Reader(vm, in).value();
}

void installAmfFunctions(Vm& vm) {
    vm.defineFunction(u"flash.net", u"registerClassAlias", registerClassAlias, 2);
    vm.defineFunction(u"flash.net", u"getClassByAlias", getClassByAlias, 1);
    Class* encoding = vm.defineClass(u"flash.net", u"ObjectEncoding", vm.findClass(u"Object"), nullptr);
    vm.defineConstant(encoding, u"AMF0", Value(0));
    vm.defineConstant(encoding, u"AMF3", Value(3));
    vm.defineConstant(encoding, u"DEFAULT", Value(3));
}

}  // namespace kinolux::avm2
