// Calls into the built-in classes straight from C++, for tests that are
// about one method rather than about bytecode:
//
//   Script s;
//   Value a = s.array({3, 1, 2});
//   s.call(a, u"sort");
//   EXPECT_EQ(s.text(a), "1,2,3");
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "tests/avm1/fake_host.h"

namespace kinolux::avm1::test {

class Script {
public:
    explicit Script(int swfVersion = 8) : m(swfVersion) {}

    // A value reached from _global by a dotted path ("Math.max").
    Value at(std::u16string_view path);
    // obj.method(args), run as the player runs its own calls.
    Value call(const Value& target, std::u16string_view method, std::vector<Value> args = {});
    // new Class(args) for a class on _global (dotted paths allowed).
    Value make(std::u16string_view className, std::vector<Value> args = {});
    Value array(std::vector<Value> elements);
    Value object(std::initializer_list<std::pair<std::u16string_view, Value>> properties);
    Value get(const Value& target, std::u16string_view name);
    void set(const Value& target, std::u16string_view name, const Value& value);
    // The script object of a display object, and of the root clip.
    Value scriptOf(DisplayObjectBinding& object) { return Value(m.vm.scriptObjectOf(object)); }
    Value root() { return scriptOf(m.host.root); }
    // The value as ActionScript's String() gives it, in UTF-8.
    std::string text(const Value& v);
    // The text of obj.method(args).
    std::string callText(const Value& target, std::u16string_view method, std::vector<Value> args = {}) {
        return text(call(target, method, std::move(args)));
    }
    // Runs assembled bytecode on the root, as Machine::run.
    std::string run(const std::string& source) { return m.run(source); }

    Machine m;
};

}  // namespace kinolux::avm1::test
