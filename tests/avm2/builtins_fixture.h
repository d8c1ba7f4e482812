// A machine and helpers to call the built-in classes as scripts call them.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/avm2/machine.h"

namespace avm2test {

using kinolux::avm2::Multiname;
using kinolux::avm2::ScriptThrow;
using kinolux::avm2::String;
using kinolux::avm2::Value;

class Builtins : public ::testing::Test {
protected:
    Value global(const char16_t* dotted) {
        return Value(static_cast<kinolux::avm2::Object*>(vm().findClass(dotted)->object));
    }
    Value make(const char16_t* cls, std::vector<Value> args = {}) { return vm().constructValue(global(cls), args); }
    Value call(const Value& target, const char16_t* name, std::vector<Value> args = {}) {
        return vm().callProperty(target, Multiname::publicName(String(name)), args);
    }
    std::string text(const Value& v) { return vm().toString(v).toUtf8(); }
    // The message of what a call throws ("" when it returns).
    template <class F>
    std::string thrown(F f) {
        try {
            f();
        } catch (const ScriptThrow& t) {
            return text(t.value);
        }
        return "";
    }
    kinolux::avm2::Vm& vm() { return machine.vm; }
    Machine machine;
};

}  // namespace avm2test
