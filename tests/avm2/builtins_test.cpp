// The built-in classes, called through the machine as scripts call them.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/avm2/machine.h"

using namespace avm2test;
using kinolux::avm2::Multiname;
using kinolux::avm2::ScriptThrow;
using kinolux::avm2::String;
using kinolux::avm2::Value;

namespace {

class Builtins : public ::testing::Test {
protected:
    Value global(const char16_t* dotted) { return Value(static_cast<kinolux::avm2::Object*>(vm().findClass(dotted)->object)); }
    Value make(const char16_t* cls, std::vector<Value> args = {}) { return vm().constructValue(global(cls), args); }
    Value call(const Value& target, const char16_t* name, std::vector<Value> args = {}) {
        return vm().callProperty(target, Multiname::publicName(String(name)), args);
    }
    std::string text(const Value& v) { return vm().toString(v).toUtf8(); }
    // The message of what a call throws ("" when it returns).
    template <class F> std::string thrown(F f) {
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

}  // namespace

TEST_F(Builtins, NumbersPrintAsTheirShortestForm) {
    auto str = [&](double d) { return text(Value(d)); };
    EXPECT_EQ(str(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(str(1e21), "1e+21");
    EXPECT_EQ(str(123456789012345680000.0), "123456789012345680000");
    EXPECT_EQ(str(0.000001), "0.000001");
    EXPECT_EQ(str(1.5e-7), "1.5e-7");
    EXPECT_EQ(str(-0.0), "0");
    EXPECT_EQ(text(call(Value(255.0), u"toString", {Value(16)})), "ff");
    EXPECT_EQ(text(call(Value(3.14159), u"toFixed", {Value(2)})), "3.14");
    EXPECT_EQ(text(call(Value(123.456), u"toPrecision", {Value(4)})), "123.5");
    EXPECT_NE(thrown([&] { call(Value(1.0), u"toString", {Value(99)}); }).find("RangeError: Error #1003"), std::string::npos);
}

TEST_F(Builtins, ConversionsFollowTheLanguage) {
    EXPECT_EQ(vm().toNumber(Value(String(u" 0x1F "))), 31);
    EXPECT_TRUE(std::isnan(vm().toNumber(Value(String(u"12px")))));
    EXPECT_EQ(vm().toNumber(Value(String(u""))), 0);
    EXPECT_EQ(text(vm().add(Value(String(u"a")), Value(1.0))), "a1");
    EXPECT_EQ(text(vm().add(Value(true), Value(1.0))), "2");
    EXPECT_TRUE(vm().equals(Value(String(u"1")), Value(1.0)));
    EXPECT_FALSE(vm().strictEquals(Value(String(u"1")), Value(1.0)));
    EXPECT_EQ(text(vm().coerceTo(Value(-1.0), vm().builtins().uintClass)), "4294967295");
    EXPECT_EQ(text(vm().coerceTo(Value(3.9e9), vm().builtins().intClass)), "-394967296");
}

TEST_F(Builtins, ArraysSortJoinAndSplice) {
    Value a = make(u"Array", {Value(10.0), Value(9.0), Value(100.0)});
    EXPECT_EQ(text(call(a, u"sort")), "10,100,9");
    EXPECT_EQ(text(call(a, u"sort", {Value(16 | 2)})), "100,10,9");
    EXPECT_EQ(text(call(a, u"join", {Value(String(u"-"))})), "100-10-9");
    EXPECT_EQ(text(call(a, u"splice", {Value(1), Value(1), Value(String(u"x")), Value(String(u"y"))})), "10");
    EXPECT_EQ(text(a), "100,x,y,9");
    EXPECT_EQ(text(call(a, u"indexOf", {Value(String(u"y"))})), "2");
    EXPECT_EQ(text(make(u"Array", {Value(3)})), ",,");
    EXPECT_NE(thrown([&] { make(u"Array", {Value(-1.0)}); }).find("RangeError"), std::string::npos);
    Value withHoles = make(u"Array", {Value(), Value::null(), Value(1)});
    EXPECT_EQ(text(withHoles), ",,1");
}

TEST_F(Builtins, StringsSliceSplitAndCase) {
    Value s(String(u"Hello, World"));
    EXPECT_EQ(text(call(s, u"substr", {Value(-5), Value(3)})), "Wor");
    EXPECT_EQ(text(call(s, u"substring", {Value(5), Value(0)})), "Hello");
    EXPECT_EQ(text(call(s, u"slice", {Value(-5)})), "World");
    EXPECT_EQ(text(call(s, u"split", {Value(String(u", "))})), "Hello,World");
    EXPECT_EQ(text(call(s, u"toUpperCase")), "HELLO, WORLD");
    EXPECT_EQ(text(call(s, u"charCodeAt", {Value(1)})), "101");
    EXPECT_EQ(text(call(s, u"indexOf", {Value(String(u"o")), Value(5)})), "8");
    EXPECT_EQ(text(call(s, u"replace", {Value(String(u"World")), Value(String(u"There"))})), "Hello, There");
    EXPECT_EQ(text(vm().getPublic(s, u"length")), "12");
}

TEST_F(Builtins, ErrorsCarryNameMessageAndId) {
    Value e = make(u"RangeError", {Value(String(u"too far")), Value(7)});
    EXPECT_EQ(text(e), "RangeError: too far");
    EXPECT_EQ(text(vm().getPublic(e, u"errorID")), "7");
    EXPECT_TRUE(vm().isType(e, vm().builtins().error));
    EXPECT_EQ(text(make(u"Error")), "Error");
}

TEST_F(Builtins, FunctionsCallApplyAndClassNames) {
    Value join = vm().getPublic(make(u"Array"), u"join");
    Value target = make(u"Array", {Value(1), Value(2)});
    EXPECT_EQ(text(call(join, u"call", {target, Value(String(u"+"))})), "1+2");
    Value args = make(u"Array", {Value(String(u":"))});
    EXPECT_EQ(text(call(join, u"apply", {target, args})), "1:2");
    kinolux::avm2::Multiname utils;
    utils.namespaces.push_back({kinolux::avm2::NamespaceKind::Package, String(u"flash.utils"), 0});
    utils.name = String(u"getQualifiedClassName");
    Value fn = vm().getProperty(Value(vm().findGlobal(utils)), utils);
    std::vector<Value> one{global(u"flash.display.MovieClip")};
    EXPECT_EQ(text(vm().call(fn, Value(), one)), "flash.display::MovieClip");
    std::vector<Value> number{Value(1.5)};
    EXPECT_EQ(text(vm().call(fn, Value(), number)), "Number");
    std::vector<Value> integer{Value(2)};
    EXPECT_EQ(text(vm().call(fn, Value(), integer)), "int");
}

TEST_F(Builtins, MathAndVectors) {
    Value math = global(u"Math");
    EXPECT_EQ(text(call(math, u"max", {Value(1), Value(5), Value(3)})), "5");
    EXPECT_EQ(text(call(math, u"round", {Value(-2.5)})), "-2");
    EXPECT_EQ(text(call(math, u"pow", {Value(2), Value(10)})), "1024");
    auto& ints = vm().vectorClassFor(global(u"int"));
    Value v = vm().constructValue(Value(static_cast<kinolux::avm2::Object*>(ints.object)), {});
    call(v, u"push", {Value(1.7), Value(String(u"4"))});
    EXPECT_EQ(text(v), "1,4");
    EXPECT_NE(thrown([&] { vm().getPublic(v, u"5"); }).find("RangeError: Error #1125"), std::string::npos);
    EXPECT_EQ(ints.qualifiedName().toUtf8(), "__AS3__.vec::Vector.<int>");
}
