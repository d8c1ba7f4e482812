// Builds small ABC files by hand for the machine's tests: pools, methods
// with bodies, classes and one script whose initialiser is the test code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace avm2test {

// Bytecode: opcodes and their operands, as the file stores them.
class Code {
public:
    Code& op(std::uint8_t opcode) {
        bytes.push_back(opcode);
        return *this;
    }
    Code& u8(std::uint8_t v) {
        bytes.push_back(v);
        return *this;
    }
    Code& u30(std::uint32_t v);
    Code& s24(std::int32_t v);
    // An opcode with one u30 operand, or two.
    Code& op(std::uint8_t opcode, std::uint32_t a) { return op(opcode).u30(a); }
    Code& op(std::uint8_t opcode, std::uint32_t a, std::uint32_t b) { return op(opcode).u30(a).u30(b); }
    Code& append(const Code& more);
    std::size_t size() const { return bytes.size(); }
    std::vector<std::uint8_t> bytes;
};

struct Exception {
    std::uint32_t from, to, target, type = 0, name = 0;
};

struct Trait {
    std::uint32_t name;  // multiname
    std::uint8_t kind;   // 0 slot, 1 method, 2 getter, 3 setter, 4 class, 6 const
    std::uint32_t slotId = 0;
    std::uint32_t index = 0;  // method or class; slots: type multiname
};

class AbcBuilder {
public:
    std::uint32_t string(const std::string& s);
    std::uint32_t integer(std::int32_t v);
    std::uint32_t number(double v);
    std::uint32_t packageNamespace(const std::string& uri);
    std::uint32_t privateNamespace(const std::string& uri);
    std::uint32_t qname(std::uint32_t ns, const std::string& name);
    // A public name (in the package namespace "").
    std::uint32_t name(const std::string& local) { return qname(packageNamespace(""), local); }
    // A name in a package, as the player's classes have.
    std::uint32_t name(const std::string& package, const std::string& local) {
        return qname(packageNamespace(package), local);
    }
    // A method with `params` untyped parameters; flags as the file stores them.
    std::uint32_t method(std::uint32_t params = 0, std::uint8_t flags = 0);
    void body(std::uint32_t method, const Code& code, std::uint32_t maxStack = 16, std::uint32_t locals = 8,
              std::vector<Exception> exceptions = {}, std::vector<Trait> traits = {});
    // A class (name and super are multinames, super 0 for none).
    std::uint32_t addClass(std::uint32_t name, std::uint32_t super, std::uint32_t init, std::uint32_t classInit,
                           std::vector<Trait> instanceTraits = {}, std::vector<Trait> classTraits = {},
                           std::uint8_t flags = 0);
    // The interfaces (multinames) class number `index` declares it implements.
    void implement(std::uint32_t index, std::vector<std::uint32_t> interfaces);
    void script(std::uint32_t init, std::vector<Trait> traits = {});
    std::vector<std::uint8_t> bytes() const;

private:
    struct Method {
        std::uint32_t params;
        std::uint8_t flags;
    };
    struct Body {
        std::uint32_t method, maxStack, locals;
        std::vector<std::uint8_t> code;
        std::vector<Exception> exceptions;
        std::vector<Trait> traits;
    };
    struct ClassDef {
        std::uint32_t name, super, init, classInit;
        std::uint8_t flags;
        std::vector<Trait> instanceTraits, classTraits;
        std::vector<std::uint32_t> interfaces;
    };
    struct Script {
        std::uint32_t init;
        std::vector<Trait> traits;
    };

    std::vector<std::int32_t> ints_;
    std::vector<double> doubles_;
    std::vector<std::string> strings_;
    std::vector<std::pair<std::uint8_t, std::uint32_t>> namespaces_;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> qnames_;
    std::vector<Method> methods_;
    std::vector<Body> bodies_;
    std::vector<ClassDef> classes_;
    std::vector<Script> scripts_;
};

}  // namespace avm2test
