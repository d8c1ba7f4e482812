#include "tests/avm2/abc_builder.h"

#include <cstring>

namespace avm2test {
namespace {

void putU30(std::vector<std::uint8_t>& out, std::uint32_t v) {
    do {
        std::uint8_t b = v & 0x7F;
        v >>= 7;
        if (v) b |= 0x80;
        out.push_back(b);
    } while (v);
}

void putTraits(std::vector<std::uint8_t>& out, const std::vector<Trait>& traits) {
    putU30(out, std::uint32_t(traits.size()));
    for (const Trait& t : traits) {
        putU30(out, t.name);
        out.push_back(t.kind);
        putU30(out, t.slotId);
        putU30(out, t.index);
        if (t.kind == 0 || t.kind == 6) putU30(out, 0);  // no default value
    }
}

}  // namespace

Code& Code::u30(std::uint32_t v) {
    putU30(bytes, v);
    return *this;
}

Code& Code::append(const Code& more) {
    bytes.insert(bytes.end(), more.bytes.begin(), more.bytes.end());
    return *this;
}

Code& Code::s24(std::int32_t v) {
    bytes.push_back(std::uint8_t(v));
    bytes.push_back(std::uint8_t(v >> 8));
    bytes.push_back(std::uint8_t(v >> 16));
    return *this;
}

std::uint32_t AbcBuilder::string(const std::string& s) {
    for (std::size_t i = 0; i < strings_.size(); ++i)
        if (strings_[i] == s) return std::uint32_t(i + 1);
    strings_.push_back(s);
    return std::uint32_t(strings_.size());
}

std::uint32_t AbcBuilder::integer(std::int32_t v) {
    ints_.push_back(v);
    return std::uint32_t(ints_.size());
}

std::uint32_t AbcBuilder::number(double v) {
    doubles_.push_back(v);
    return std::uint32_t(doubles_.size());
}

std::uint32_t AbcBuilder::packageNamespace(const std::string& uri) {
    std::pair<std::uint8_t, std::uint32_t> ns{0x16, string(uri)};
    for (std::size_t i = 0; i < namespaces_.size(); ++i)
        if (namespaces_[i] == ns) return std::uint32_t(i + 1);
    namespaces_.push_back(ns);
    return std::uint32_t(namespaces_.size());
}

std::uint32_t AbcBuilder::privateNamespace(const std::string& uri) {
    namespaces_.push_back({0x05, string(uri)});
    return std::uint32_t(namespaces_.size());
}

std::uint32_t AbcBuilder::qname(std::uint32_t ns, const std::string& name) {
    std::pair<std::uint32_t, std::uint32_t> q{ns, string(name)};
    for (std::size_t i = 0; i < qnames_.size(); ++i)
        if (qnames_[i] == q) return std::uint32_t(i + 1);
    qnames_.push_back(q);
    return std::uint32_t(qnames_.size());
}

std::uint32_t AbcBuilder::method(std::uint32_t params, std::uint8_t flags) {
    methods_.push_back({params, flags});
    return std::uint32_t(methods_.size() - 1);
}

void AbcBuilder::body(std::uint32_t method, const Code& code, std::uint32_t maxStack, std::uint32_t locals,
                      std::vector<Exception> exceptions, std::vector<Trait> traits) {
    bodies_.push_back({method, maxStack, locals, code.bytes, std::move(exceptions), std::move(traits)});
}

std::uint32_t AbcBuilder::addClass(std::uint32_t name, std::uint32_t super, std::uint32_t init, std::uint32_t classInit,
                                   std::vector<Trait> instanceTraits, std::vector<Trait> classTraits,
                                   std::uint8_t flags) {
    classes_.push_back({name, super, init, classInit, flags, std::move(instanceTraits), std::move(classTraits), {}});
    return std::uint32_t(classes_.size() - 1);
}

void AbcBuilder::implement(std::uint32_t index, std::vector<std::uint32_t> interfaces) {
    classes_.at(index).interfaces = std::move(interfaces);
}

void AbcBuilder::script(std::uint32_t init, std::vector<Trait> traits) {
    scripts_.push_back({init, std::move(traits)});
}

std::vector<std::uint8_t> AbcBuilder::bytes() const {
    std::vector<std::uint8_t> out{16, 0, 46, 0};
    putU30(out, std::uint32_t(ints_.size() + 1));
    for (std::int32_t v : ints_) putU30(out, std::uint32_t(v));
    putU30(out, 0);  // uints
    putU30(out, std::uint32_t(doubles_.size() + 1));
    for (double d : doubles_) {
        std::uint8_t raw[8];
        std::memcpy(raw, &d, 8);
        out.insert(out.end(), raw, raw + 8);
    }
    putU30(out, std::uint32_t(strings_.size() + 1));
    for (const auto& s : strings_) {
        putU30(out, std::uint32_t(s.size()));
        out.insert(out.end(), s.begin(), s.end());
    }
    putU30(out, std::uint32_t(namespaces_.size() + 1));
    for (const auto& [kind, name] : namespaces_) {
        out.push_back(kind);
        putU30(out, name);
    }
    putU30(out, 0);  // namespace sets
    putU30(out, std::uint32_t(qnames_.size() + 1));
    for (const auto& [ns, name] : qnames_) {
        out.push_back(0x07);
        putU30(out, ns);
        putU30(out, name);
    }
    putU30(out, std::uint32_t(methods_.size()));
    for (const Method& m : methods_) {
        putU30(out, m.params);
        putU30(out, 0);
        for (std::uint32_t i = 0; i < m.params; ++i) putU30(out, 0);
        putU30(out, 0);
        out.push_back(m.flags);
    }
    putU30(out, 0);  // metadata
    putU30(out, std::uint32_t(classes_.size()));
    for (const ClassDef& c : classes_) {
        putU30(out, c.name);
        putU30(out, c.super);
        out.push_back(c.flags);
        putU30(out, std::uint32_t(c.interfaces.size()));
        for (std::uint32_t i : c.interfaces) putU30(out, i);
        putU30(out, c.init);
        putTraits(out, c.instanceTraits);
    }
    for (const ClassDef& c : classes_) {
        putU30(out, c.classInit);
        putTraits(out, c.classTraits);
    }
    putU30(out, std::uint32_t(scripts_.size()));
    for (const Script& s : scripts_) {
        putU30(out, s.init);
        putTraits(out, s.traits);
    }
    putU30(out, std::uint32_t(bodies_.size()));
    for (const Body& b : bodies_) {
        putU30(out, b.method);
        putU30(out, b.maxStack);
        putU30(out, b.locals);
        putU30(out, 0);
        putU30(out, 8);
        putU30(out, std::uint32_t(b.code.size()));
        out.insert(out.end(), b.code.begin(), b.code.end());
        putU30(out, std::uint32_t(b.exceptions.size()));
        for (const Exception& e : b.exceptions) {
            putU30(out, e.from);
            putU30(out, e.to);
            putU30(out, e.target);
            putU30(out, e.type);
            putU30(out, e.name);
        }
        putTraits(out, b.traits);
    }
    return out;
}

}  // namespace avm2test
