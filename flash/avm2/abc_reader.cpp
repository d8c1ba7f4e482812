#include <cstring>

#include "flash/avm2/abc_file.h"

namespace kinolux::avm2 {
namespace {

// Frames are allocated at their declared sizes on every call, up to the
// call depth limit deep: bounded so a file cannot ask for gigabytes.
constexpr std::uint32_t kMaxFrameEntries = 16384;

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    [[noreturn]] void fail(const std::string& what) const {
        throw AbcError("ABC: " + what + " at byte " + std::to_string(pos_));
    }
    void need(std::size_t n) {
        if (size_ - pos_ < n) fail("unexpected end of data");
    }
    std::uint8_t u8() {
        need(1);
        return data_[pos_++];
    }
    std::uint16_t u16() {
        need(2);
        std::uint16_t v = std::uint16_t(data_[pos_] | data_[pos_ + 1] << 8);
        pos_ += 2;
        return v;
    }
    std::uint32_t u32() {
        std::uint32_t v = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            std::uint8_t b = u8();
            v |= std::uint32_t(b & 0x7F) << shift;
            if (!(b & 0x80)) return v;
        }
        return v;
    }
    std::uint32_t u30() {
        std::uint32_t v = u32();
        if (v >= (1u << 30)) fail("number out of range");
        return v;
    }
    double d64() {
        need(8);
        double d;
        std::memcpy(&d, data_ + pos_, 8);
        pos_ += 8;
        return d;
    }
    std::string text(std::size_t n) {
        need(n);
        std::string s(reinterpret_cast<const char*>(data_ + pos_), n);
        pos_ += n;
        return s;
    }
    // A count of records, each at least `minBytes` long, so that a huge
    // count in a small file is refused before anything is allocated.
    std::uint32_t count(std::size_t minBytes = 1) {
        std::uint32_t n = u30();
        if (std::size_t(n) * minBytes > size_ - pos_) fail("count larger than the data");
        return n;
    }
    std::uint32_t index(std::size_t poolSize, const char* pool) {
        std::uint32_t i = u30();
        if (i >= poolSize) fail(std::string(pool) + " index " + std::to_string(i) + " out of range");
        return i;
    }
    bool atEnd() const { return pos_ == size_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

void readConstantPool(Reader& r, AbcFile& f) {
    for (std::uint32_t n = r.count(), i = 1; i < n; ++i) f.ints.push_back(std::int32_t(r.u32()));
    for (std::uint32_t n = r.count(), i = 1; i < n; ++i) f.uints.push_back(r.u32());
    for (std::uint32_t n = r.count(8), i = 1; i < n; ++i) f.doubles.push_back(r.d64());
    for (std::uint32_t n = r.count(), i = 1; i < n; ++i) f.strings.push_back(r.text(r.u30()));
    for (std::uint32_t n = r.count(2), i = 1; i < n; ++i) {
        AbcNamespace ns;
        std::uint8_t kind = r.u8();
        switch (kind) {
        case 0x08:
        case 0x16:
        case 0x17:
        case 0x18:
        case 0x19:
        case 0x1A:
        case 0x05: break;
        default: r.fail("unknown namespace kind " + std::to_string(kind));
        }
        ns.kind = NamespaceKind(kind);
        ns.name = r.index(f.strings.size(), "string");
        f.namespaces.push_back(ns);
    }
    for (std::uint32_t n = r.count(), i = 1; i < n; ++i) {
        std::vector<std::uint32_t> set(r.count());
        for (auto& ns : set) {
            ns = r.index(f.namespaces.size(), "namespace");
            if (ns == 0) r.fail("namespace set holds no namespace");
        }
        f.namespaceSets.push_back(std::move(set));
    }
    std::uint32_t multinameCount = r.count();
    for (std::uint32_t i = 1; i < multinameCount; ++i) {
        AbcMultiname m;
        std::uint8_t kind = r.u8();
        m.kind = MultinameKind(kind);
        switch (m.kind) {
        case MultinameKind::QName:
        case MultinameKind::QNameA: m.ns = r.index(f.namespaces.size(), "namespace"); [[fallthrough]];
        case MultinameKind::RTQName:
        case MultinameKind::RTQNameA: m.name = r.index(f.strings.size(), "string"); break;
        case MultinameKind::RTQNameL:
        case MultinameKind::RTQNameLA: break;
        case MultinameKind::Multiname:
        case MultinameKind::MultinameA: m.name = r.index(f.strings.size(), "string"); [[fallthrough]];
        case MultinameKind::MultinameL:
        case MultinameKind::MultinameLA:
            m.nsSet = r.index(f.namespaceSets.size(), "namespace set");
            if (m.nsSet == 0) r.fail("multiname without a namespace set");
            break;
        case MultinameKind::TypeName: {
            // Entries may name later ones; the machine follows a type
            // name one level only, so a type that contains itself is harmless.
            m.base = r.index(multinameCount, "multiname");
            m.params.resize(r.count());
            for (auto& p : m.params) p = r.index(multinameCount, "multiname");
            break;
        }
        default: r.fail("unknown multiname kind " + std::to_string(kind));
        }
        f.multinames.push_back(std::move(m));
    }
}

AbcConstant readConstant(Reader& r, const AbcFile& f, std::uint32_t index) {
    AbcConstant c;
    c.index = index;
    c.kind = r.u8();
    std::size_t pool = 0;
    switch (c.kind) {
    case ConstantKind::Int: pool = f.ints.size(); break;
    case ConstantKind::UInt: pool = f.uints.size(); break;
    case ConstantKind::Double: pool = f.doubles.size(); break;
    case ConstantKind::Utf8: pool = f.strings.size(); break;
    case ConstantKind::True:
    case ConstantKind::False:
    case ConstantKind::Null:
    case ConstantKind::Undefined: return c;
    case ConstantKind::Namespace:
    case ConstantKind::PackageNamespace:
    case ConstantKind::PackageInternalNs:
    case ConstantKind::ProtectedNamespace:
    case ConstantKind::ExplicitNamespace:
    case ConstantKind::StaticProtectedNs:
    case ConstantKind::PrivateNs: pool = f.namespaces.size(); break;
    default: r.fail("unknown constant kind " + std::to_string(c.kind));
    }
    if (index >= pool) r.fail("constant index " + std::to_string(index) + " out of range");
    return c;
}

void readMethods(Reader& r, AbcFile& f) {
    f.methods.resize(r.count(4));
    for (auto& m : f.methods) {
        m.paramTypes.resize(r.count());
        m.returnType = r.index(f.multinames.size(), "multiname");
        for (auto& t : m.paramTypes) t = r.index(f.multinames.size(), "multiname");
        m.name = r.index(f.strings.size(), "string");
        m.flags = r.u8();
        if (m.flags & MethodFlag::HasOptional) {
            std::uint32_t n = r.count(2);
            if (n > m.paramTypes.size()) r.fail("more defaults than parameters");
            for (std::uint32_t i = 0; i < n; ++i) m.optionals.push_back(readConstant(r, f, r.u30()));
        }
        if (m.flags & MethodFlag::HasParamNames)
            for (std::size_t i = 0; i < m.paramTypes.size(); ++i) r.u30();  // names are only for debuggers
    }
}

void readMetadata(Reader& r, AbcFile& f) {
    f.metadata.resize(r.count(2));
    for (auto& md : f.metadata) {
        md.name = r.index(f.strings.size(), "string");
        md.items.resize(r.count(2));
        for (auto& item : md.items) item.first = r.index(f.strings.size(), "string");
        for (auto& item : md.items) item.second = r.index(f.strings.size(), "string");
    }
}

// Class traits name classes, which are read after the traits that name
// them: their indices are checked once the class count is known.
std::vector<AbcTrait> readTraits(Reader& r, const AbcFile& f, std::uint32_t classCount) {
    std::vector<AbcTrait> traits(r.count(3));
    for (auto& t : traits) {
        t.name = r.index(f.multinames.size(), "multiname");
        const AbcMultiname& name = f.multinames[t.name];
        if (name.kind != MultinameKind::QName || t.name == 0) r.fail("trait name is not a qualified name");
        std::uint8_t kind = r.u8();
        if ((kind & 0x0F) > 6) r.fail("unknown trait kind " + std::to_string(kind & 0x0F));
        t.kind = TraitKind(kind & 0x0F);
        t.attributes = kind >> 4;
        t.slotId = r.u30();
        switch (t.kind) {
        case TraitKind::Slot:
        case TraitKind::Const:
            t.typeName = r.index(f.multinames.size(), "multiname");
            if (std::uint32_t vindex = r.u30()) t.value = readConstant(r, f, vindex);
            break;
        case TraitKind::Class: t.index = r.index(classCount, "class"); break;
        case TraitKind::Function:
        case TraitKind::Method:
        case TraitKind::Getter:
        case TraitKind::Setter: t.index = r.index(f.methods.size(), "method"); break;
        }
        if (t.attributes & 0x04) {
            t.metadata.resize(r.count());
            for (auto& m : t.metadata) m = r.index(f.metadata.size(), "metadata");
        }
    }
    return traits;
}

void readClasses(Reader& r, AbcFile& f) {
    std::uint32_t n = r.count(6);
    f.instances.resize(n);
    for (auto& in : f.instances) {
        in.name = r.index(f.multinames.size(), "multiname");
        if (in.name == 0 || f.multinames[in.name].kind != MultinameKind::QName)
            r.fail("class name is not a qualified name");
        in.superName = r.index(f.multinames.size(), "multiname");
        in.flags = r.u8();
        if (in.flags & InstanceFlag::ProtectedNs) in.protectedNs = r.index(f.namespaces.size(), "namespace");
        in.interfaces.resize(r.count());
        for (auto& i : in.interfaces) i = r.index(f.multinames.size(), "multiname");
        in.init = r.index(f.methods.size(), "method");
        in.traits = readTraits(r, f, n);
    }
    f.classes.resize(n);
    for (auto& c : f.classes) {
        c.init = r.index(f.methods.size(), "method");
        c.traits = readTraits(r, f, n);
    }
}

void readScripts(Reader& r, AbcFile& f) {
    f.scripts.resize(r.count(2));
    for (auto& s : f.scripts) {
        s.init = r.index(f.methods.size(), "method");
        s.traits = readTraits(r, f, std::uint32_t(f.classes.size()));
    }
}

void readBodies(Reader& r, AbcFile& f) {
    f.bodies.resize(r.count(7));
    for (std::size_t i = 0; i < f.bodies.size(); ++i) {
        auto& b = f.bodies[i];
        b.method = r.index(f.methods.size(), "method");
        if (f.methods[b.method].body >= 0) r.fail("method " + std::to_string(b.method) + " has two bodies");
        f.methods[b.method].body = int(i);
        b.maxStack = r.u30();
        b.localCount = r.u30();
        b.initScopeDepth = r.u30();
        b.maxScopeDepth = r.u30();
        if (b.maxScopeDepth < b.initScopeDepth) r.fail("scope depths reversed");
        if (b.localCount <= f.methods[b.method].paramTypes.size())
            b.localCount = std::uint32_t(f.methods[b.method].paramTypes.size()) + 1;
        if (b.localCount > kMaxFrameEntries || b.maxStack > kMaxFrameEntries || b.maxScopeDepth > kMaxFrameEntries)
            r.fail("method frame too large");
        std::uint32_t length = r.count();
        std::string code = r.text(length);
        b.code.assign(code.begin(), code.end());
        b.exceptions.resize(r.count(5));
        for (auto& e : b.exceptions) {
            e.from = r.u30();
            e.to = r.u30();
            e.target = r.u30();
            e.type = r.index(f.multinames.size(), "multiname");
            e.varName = r.index(f.multinames.size(), "multiname");
            if (e.from > e.to || e.to > length || e.target >= length) r.fail("exception range outside the code");
        }
        b.traits = readTraits(r, f, std::uint32_t(f.classes.size()));
    }
}

}  // namespace

AbcFile readAbc(const std::uint8_t* data, std::size_t size) {
    Reader r(data, size);
    AbcFile f;
    f.minorVersion = r.u16();
    f.majorVersion = r.u16();
    if (f.majorVersion != 46) r.fail("unsupported version " + std::to_string(f.majorVersion));
    readConstantPool(r, f);
    readMethods(r, f);
    readMetadata(r, f);
    readClasses(r, f);
    readScripts(r, f);
    readBodies(r, f);
    if (f.scripts.empty()) r.fail("no script");
    return f;
}

std::pair<const std::uint8_t*, std::size_t> abcOfDoAbc2(const std::uint8_t* data, std::size_t size) {
    if (size < 4) throw AbcError("DoABC: tag too short");
    const void* end = std::memchr(data + 4, 0, size - 4);
    if (!end) throw AbcError("DoABC: name not terminated");
    std::size_t offset = std::size_t(static_cast<const std::uint8_t*>(end) - data) + 1;
    return {data + offset, size - offset};
}

}  // namespace kinolux::avm2
