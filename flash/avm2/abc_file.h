// An ABC file (the bytecode of ActionScript 3) as read from a DoABC tag:
// constant pools, methods, metadata, classes, scripts and method bodies.
// Every index a record holds has been checked against its pool, so the
// machine may follow them without checking again.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace kinolux::avm2 {

// A file the reader refuses, with what was wrong and where.
class AbcError : public std::runtime_error {
public:
    explicit AbcError(const std::string& message) : std::runtime_error(message) {}
};

enum class NamespaceKind : std::uint8_t {
    Namespace = 0x08,
    Package = 0x16,
    PackageInternal = 0x17,
    Protected = 0x18,
    Explicit = 0x19,
    StaticProtected = 0x1A,
    Private = 0x05,
};

struct AbcNamespace {
    NamespaceKind kind = NamespaceKind::Package;
    std::uint32_t name = 0;  // string index
};

enum class MultinameKind : std::uint8_t {
    QName = 0x07,
    QNameA = 0x0D,
    RTQName = 0x0F,
    RTQNameA = 0x10,
    RTQNameL = 0x11,
    RTQNameLA = 0x12,
    Multiname = 0x09,
    MultinameA = 0x0E,
    MultinameL = 0x1B,
    MultinameLA = 0x1C,
    TypeName = 0x1D,
};

struct AbcMultiname {
    MultinameKind kind = MultinameKind::QName;
    std::uint32_t ns = 0;               // QName: namespace index
    std::uint32_t name = 0;             // string index (0: any)
    std::uint32_t nsSet = 0;            // Multiname(L): namespace set index
    std::uint32_t base = 0;             // TypeName: the generic's multiname
    std::vector<std::uint32_t> params;  // TypeName: parameter multinames

    bool needsRuntimeName() const {
        return kind == MultinameKind::RTQNameL || kind == MultinameKind::RTQNameLA ||
               kind == MultinameKind::MultinameL || kind == MultinameKind::MultinameLA;
    }
    bool needsRuntimeNamespace() const {
        return kind == MultinameKind::RTQName || kind == MultinameKind::RTQNameA || kind == MultinameKind::RTQNameL ||
               kind == MultinameKind::RTQNameLA;
    }
    bool isAttribute() const {
        return kind == MultinameKind::QNameA || kind == MultinameKind::RTQNameA || kind == MultinameKind::RTQNameLA ||
               kind == MultinameKind::MultinameA || kind == MultinameKind::MultinameLA;
    }
};

// A constant: its pool kind and its index in that pool.
struct AbcConstant {
    std::uint8_t kind = 0;  // 0: none
    std::uint32_t index = 0;
};

namespace ConstantKind {
constexpr std::uint8_t Int = 0x03, UInt = 0x04, Double = 0x06, Utf8 = 0x01, True = 0x0B, False = 0x0A, Null = 0x0C,
                       Undefined = 0x00, Namespace = 0x08, PackageNamespace = 0x16, PackageInternalNs = 0x17,
                       ProtectedNamespace = 0x18, ExplicitNamespace = 0x19, StaticProtectedNs = 0x1A, PrivateNs = 0x05;
}

namespace MethodFlag {
constexpr std::uint8_t NeedArguments = 0x01, NeedActivation = 0x02, NeedRest = 0x04, HasOptional = 0x08, SetDxns = 0x40,
                       HasParamNames = 0x80;
}

struct AbcMethod {
    std::vector<std::uint32_t> paramTypes;  // multinames (0: any)
    std::uint32_t returnType = 0;
    std::uint32_t name = 0;  // string
    std::uint8_t flags = 0;
    std::vector<AbcConstant> optionals;  // defaults of the last parameters
    int body = -1;                       // index into bodies, -1 for native or abstract methods
};

struct AbcMetadata {
    std::uint32_t name = 0;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> items;  // key, value strings
};

enum class TraitKind : std::uint8_t {
    Slot = 0,
    Method = 1,
    Getter = 2,
    Setter = 3,
    Class = 4,
    Function = 5,
    Const = 6
};

struct AbcTrait {
    std::uint32_t name = 0;  // a QName multiname
    TraitKind kind = TraitKind::Slot;
    std::uint8_t attributes = 0;  // final 1, override 2, metadata 4
    std::uint32_t slotId = 0;     // slots, consts, classes, functions (0: assigned)
    std::uint32_t typeName = 0;   // slots and consts
    AbcConstant value;            // slots and consts
    std::uint32_t index = 0;      // the method, or the class
    std::vector<std::uint32_t> metadata;
};

namespace InstanceFlag {
constexpr std::uint8_t Sealed = 0x01, Final = 0x02, Interface = 0x04, ProtectedNs = 0x08;
}

struct AbcInstance {
    std::uint32_t name = 0;       // QName
    std::uint32_t superName = 0;  // 0: none
    std::uint8_t flags = 0;
    std::uint32_t protectedNs = 0;
    std::vector<std::uint32_t> interfaces;  // multinames
    std::uint32_t init = 0;                 // method
    std::vector<AbcTrait> traits;
};

struct AbcClass {
    std::uint32_t init = 0;  // static initialiser method
    std::vector<AbcTrait> traits;
};

struct AbcScript {
    std::uint32_t init = 0;
    std::vector<AbcTrait> traits;
};

struct AbcException {
    std::uint32_t from = 0, to = 0, target = 0;  // code offsets
    std::uint32_t type = 0;                      // multiname (0: any)
    std::uint32_t varName = 0;                   // multiname
};

struct AbcMethodBody {
    std::uint32_t method = 0;
    std::uint32_t maxStack = 0, localCount = 0, initScopeDepth = 0, maxScopeDepth = 0;
    std::vector<std::uint8_t> code;
    std::vector<AbcException> exceptions;
    std::vector<AbcTrait> traits;  // of the activation
};

struct AbcFile {
    std::uint16_t minorVersion = 0, majorVersion = 0;
    // Entry 0 of every pool is the "none" value the format reserves.
    std::vector<std::int32_t> ints{0};
    std::vector<std::uint32_t> uints{0};
    std::vector<double> doubles{0};
    std::vector<std::string> strings{std::string()};
    std::vector<AbcNamespace> namespaces{AbcNamespace{}};
    std::vector<std::vector<std::uint32_t>> namespaceSets{{}};
    std::vector<AbcMultiname> multinames{AbcMultiname{}};
    std::vector<AbcMethod> methods;
    std::vector<AbcMetadata> metadata;
    std::vector<AbcInstance> instances;
    std::vector<AbcClass> classes;  // one per instance
    std::vector<AbcScript> scripts;
    std::vector<AbcMethodBody> bodies;
};

// Reads a whole ABC file. Throws AbcError for anything malformed: a record
// past the end, an index outside its pool, a method with two bodies, a body
// whose exception ranges leave the code.
AbcFile readAbc(const std::uint8_t* data, std::size_t size);

// The ABC of a DoABC2 tag body (flags, a name, then the file); throws
// AbcError when the name is not terminated.
std::pair<const std::uint8_t*, std::size_t> abcOfDoAbc2(const std::uint8_t* data, std::size_t size);

}  // namespace kinolux::avm2
