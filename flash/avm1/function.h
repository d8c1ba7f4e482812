// Callable objects: built-ins written in C++ and functions defined by
// DefineFunction / DefineFunction2.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "flash/avm1/host.h"
#include "flash/avm1/object.h"

namespace kinolux::avm1 {

class Vm;

using Args = std::span<const Value>;
// A built-in. `thisValue` is whatever the call supplied (undefined for a
// plain call); built-ins check it themselves.
using NativeFunction = Value (*)(Vm& vm, const Value& thisValue, Args args);

using ConstantPool = std::vector<String>;
using ConstantPoolRef = std::shared_ptr<const ConstantPool>;

// DefineFunction2 flags (the two bytes read little-endian).
namespace FunctionFlag {
constexpr std::uint16_t PreloadThis = 0x0001;
constexpr std::uint16_t SuppressThis = 0x0002;
constexpr std::uint16_t PreloadArguments = 0x0004;
constexpr std::uint16_t SuppressArguments = 0x0008;
constexpr std::uint16_t PreloadSuper = 0x0010;
constexpr std::uint16_t SuppressSuper = 0x0020;
constexpr std::uint16_t PreloadRoot = 0x0040;
constexpr std::uint16_t PreloadParent = 0x0080;
constexpr std::uint16_t PreloadGlobal = 0x0100;
}  // namespace FunctionFlag

// What a DefineFunction / DefineFunction2 action declares; shared by every
// function object made from the same definition.
struct FunctionCode {
    struct Param {
        String name;
        std::uint8_t reg = 0;  // 0: a named local variable
    };
    ActionBlock body;
    String name;
    std::vector<Param> params;
    std::uint8_t registerCount = 0;
    std::uint16_t flags = 0;
    bool isFunction2 = false;
};

class FunctionObject : public Object {
public:
    // A built-in; `construct` (may be null) runs for `new` and returns the
    // object `new` yields, given the fresh instance as `this`.
    FunctionObject(Heap& heap, Value proto, NativeFunction call, NativeFunction construct);
    // A script function closing over `scope`.
    FunctionObject(Heap& heap, Value proto, std::shared_ptr<const FunctionCode> code,
                   Ref<Scope> scope, ConstantPoolRef pool, ObjectRef baseClip);

    const char16_t* typeOf() const override { return u"function"; }
    bool isCallable() const override { return call_ || code_; }

    NativeFunction nativeCall() const { return call_; }
    NativeFunction nativeConstruct() const { return construct_; }
    const std::shared_ptr<const FunctionCode>& code() const { return code_; }
    Scope* scope() const { return scope_.get(); }
    const Ref<Scope>& scopeRef() const { return scope_; }
    const ConstantPoolRef& pool() const { return pool_; }
    Object* baseClip() const { return baseClip_.get(); }

    // A number some built-ins use to share one C++ function (ASnative
    // tables, TextField accessors...).
    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

protected:
    void trace(Tracer& tracer) const override;
    void clearReferences() override;

private:
    NativeFunction call_ = nullptr;
    NativeFunction construct_ = nullptr;
    std::shared_ptr<const FunctionCode> code_;
    Ref<Scope> scope_;
    ConstantPoolRef pool_;
    ObjectRef baseClip_;
    int tag_ = 0;
};

}  // namespace kinolux::avm1
