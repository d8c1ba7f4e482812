// The built-in classes, called through the machine as scripts call them.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/avm2/builtins_fixture.h"

using namespace avm2test;
using kinolux::avm2::String;
using kinolux::avm2::Value;


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
    EXPECT_NE(thrown([&] { call(Value(1.0), u"toString", {Value(99)}); }).find("RangeError: Error #1003"),
              std::string::npos);
}

TEST_F(Builtins, NumbersFrom1e21PrintFifteenDigitsCut) {
    auto str = [&](double d) { return text(Value(d)); };
    EXPECT_EQ(str(1.2315987654321987e21), "1.23159876543219e+21");
    EXPECT_EQ(str(-1.7976931348623157e308), "-1.79769313486231e+308");
    EXPECT_EQ(str(1.2315987654321988e-8), "1.2315987654321988e-8");
    EXPECT_EQ(str(123159876543219880000.0), "123159876543219880000");
}

TEST_F(Builtins, AddingToAStringTakesAnObjectsStringNotItsValue) {
    Value o = vm().constructValue(global(u"Object"), {});
    vm().setPublic(o, u"valueOf", vm().getPublic(global(u"Math"), u"random"));
    EXPECT_EQ(text(vm().add(Value(String(u"<")), o)), "<[object Object]");
    EXPECT_EQ(text(vm().add(o, Value(String(u">")))), "[object Object]>");
}

TEST_F(Builtins, ExponentialFormCutsDigitsAndPrecisionKeepsSmallNumbersFixed) {
    auto exponential = [&](double d, int digits) { return text(call(Value(d), u"toExponential", {Value(digits)})); };
    // 1.2315e-8 is held as 1.23149999...e-8, and 123.15 as 123.15000000000000568.
    EXPECT_EQ(exponential(1.2315e-8, 4), "1.2314e-8");
    EXPECT_EQ(exponential(123.15, 3), "1.231e+2");
    EXPECT_EQ(exponential(123.15, 0), "1e+2");
    EXPECT_EQ(exponential(0, 5), "0.00000e-16");
    auto precision = [&](double d, int digits) { return text(call(Value(d), u"toPrecision", {Value(digits)})); };
    EXPECT_EQ(precision(1.2315e-8, 3), "0.0000000123");
    EXPECT_EQ(precision(1.2315e19, 4), "1.232e+19");
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

TEST_F(Builtins, TheEmptyStringSplitsIntoItselfAndDatesHaveNoGmtString) {
    EXPECT_EQ(text(vm().getPublic(call(Value(String(u"")), u"split", {Value(String(u""))}), u"length")), "1");
    EXPECT_EQ(text(vm().getPublic(call(Value(String(u"ab")), u"split", {Value(String(u""))}), u"length")), "2");
    EXPECT_TRUE(vm().getPublic(vm().getPublic(global(u"Date"), u"prototype"), u"toGMTString").isUndefined());
}

TEST_F(Builtins, DeletingFromASealedObjectDeletesNothing) {
    kinolux::avm2::Object* instance = vm().newObject();
    instance->sealed = true;  // as an instance of a class not declared dynamic
    Value sealed(instance);
    EXPECT_FALSE(vm().deleteProperty(sealed, Multiname::publicName(String(u"nothing"))));
    EXPECT_TRUE(vm().deleteProperty(make(u"Object"), Multiname::publicName(String(u"nothing"))));
}

TEST_F(Builtins, SubstrCountsANegativeLengthBackFromTheEnd) {
    Value s(String(u"abcdefg"));
    auto substr = [&](double start, double length) { return text(call(s, u"substr", {Value(start), Value(length)})); };
    EXPECT_EQ(substr(0, -2), "abcde");
    EXPECT_EQ(substr(1, -2), "bcdef");
    EXPECT_EQ(substr(2, -2), "");
    EXPECT_EQ(substr(1, -INFINITY), "");
    EXPECT_EQ(substr(2, 9), "cdefg");
}

TEST_F(Builtins, ObjectOfAPrimitiveIsThatPrimitive) {
    Value made = make(u"Object", {Value(String(u"text"))});
    EXPECT_EQ(vm().typeOf(made).toUtf8(), "string");
    EXPECT_EQ(text(vm().add(make(u"Object", {Value(true)}), make(u"Object", {Value(false)}))), "1");
    EXPECT_TRUE(make(u"Object", {Value::null()}).isObject());
    Value stringPrototype = vm().getPublic(global(u"String"), u"prototype");
    EXPECT_TRUE(call(stringPrototype, u"isPrototypeOf", {Value(String(u"s"))}).boolean());
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

TEST_F(Builtins, FunctionPrototypeIsAFunctionAndMisuseThrowsThePlayersErrors) {
    Value prototype = vm().getPublic(global(u"Function"), u"prototype");
    EXPECT_EQ(vm().typeOf(prototype).toUtf8(), "function");
    EXPECT_TRUE(vm().call(prototype, Value(), {}).isUndefined());
    EXPECT_EQ(text(prototype), "function Function() {}");
    Value objectToString = vm().getPublic(vm().getPublic(global(u"Object"), u"prototype"), u"toString");
    EXPECT_EQ(text(call(objectToString, u"call", {prototype})).rfind("[object Function-", 0), 0u);
    EXPECT_NE(thrown([&] {
                  call(prototype, u"apply", {Value(1), Value(1)});
              }).find("TypeError: Error #1116"),
              std::string::npos);
    EXPECT_EQ(thrown([&] { make(u"Math"); }), "TypeError: Error #1076: Math is not a constructor.");
    EXPECT_EQ(thrown([&] { make(u"JSON"); }), "ArgumentError: Error #2012: JSON class cannot be instantiated.");
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
    call(v, u"unshift", {Value(2.5), Value(String(u"3"))});
    EXPECT_EQ(text(v), "2,3,1,4");
}

TEST_F(Builtins, AnEmptyVectorGivesUpUndefinedUnlessItHoldsNumbers) {
    auto emptyOf = [&](const char16_t* element) {
        auto& cls = vm().vectorClassFor(global(element));
        return vm().constructValue(Value(static_cast<kinolux::avm2::Object*>(cls.object)), {});
    };
    EXPECT_EQ(text(call(emptyOf(u"int"), u"shift")), "0");
    EXPECT_TRUE(std::isnan(call(emptyOf(u"Number"), u"pop").number()));
    EXPECT_TRUE(call(emptyOf(u"Boolean"), u"shift").isUndefined());
    EXPECT_TRUE(call(emptyOf(u"String"), u"pop").isUndefined());
}

TEST_F(Builtins, DatesReadAndWriteFieldsInTheHostsTimeZone) {
    machine.host.zoneMinutes = -480;  // UTC-8
    Value epoch = make(u"Date", {Value(0)});
    EXPECT_EQ(text(epoch), "Wed Dec 31 16:00:00 GMT-0800 1969");
    EXPECT_EQ(text(call(epoch, u"toUTCString")), "Thu Jan 1 00:00:00 1970 UTC");
    EXPECT_EQ(text(call(epoch, u"getTimezoneOffset")), "480");
    Value d = make(u"Date", {Value(2024), Value(1), Value(29), Value(23), Value(30)});
    EXPECT_EQ(text(call(d, u"getDate")), "29");
    EXPECT_EQ(text(call(d, u"getUTCDate")), "1");
    call(d, u"setMonth", {Value(12)});
    EXPECT_EQ(text(call(d, u"getFullYear")), "2025");
    EXPECT_EQ(text(call(d, u"getMonth")), "0");
    EXPECT_EQ(text(vm().getPublic(global(u"Date"), u"length")), "7");
    EXPECT_EQ(text(call(global(u"Date"), u"UTC", {Value(1970), Value(0), Value(2)})), "86400000");
    EXPECT_EQ(text(call(make(u"Date", {Value(String(u"Thu Jan 1 00:00:01 GMT+0000 1970"))}), u"getTime")), "1000");
    EXPECT_EQ(text(make(u"Date", {Value(NAN)})), "Invalid Date");
    machine.host.date = 86400000;
    EXPECT_EQ(text(call(make(u"Date"), u"getTime")), "86400000");
}

TEST_F(Builtins, RegularExpressionsMatchReplaceAndSplit) {
    Value re = make(u"RegExp", {Value(String(u"(\\d+)-(\\d+)")), Value(String(u"g"))});
    Value s(String(u"a 1-2 b 30-40"));
    EXPECT_EQ(text(call(s, u"match", {re})), "1-2,30-40");
    // A global match ends at the end of the subject, without an empty match there.
    Value maybeEmpty = make(u"RegExp", {Value(String(u"A*")), Value(String(u"g"))});
    EXPECT_EQ(text(call(Value(String(u"AAA")), u"match", {maybeEmpty})), "AAA");
    EXPECT_EQ(text(call(s, u"replace", {re, Value(String(u"[$2:$1]"))})), "a [2:1] b [40:30]");
    EXPECT_EQ(text(call(s, u"search", {re})), "2");
    Value first = call(re, u"exec", {s});
    EXPECT_EQ(text(first), "1-2,1,2");
    EXPECT_EQ(text(vm().getPublic(re, u"lastIndex")), "5");
    EXPECT_EQ(text(call(Value(String(u"a1b22c")), u"split", {make(u"RegExp", {Value(String(u"\\d+"))})})), "a,b,c");
    EXPECT_EQ(text(re), "/(\\d+)-(\\d+)/g");
    // A pattern that backtracks without end is cut off by the match limit.
    Value evil = make(u"RegExp", {Value(String(u"(a+)+$"))});
    std::u16string subject(5000, u'a');
    subject += u'!';
    EXPECT_EQ(text(call(evil, u"test", {Value(String(subject))})), "false");
}

TEST_F(Builtins, ARegExpCopiedFromAnotherTakesNoFlags) {
    Value re = make(u"RegExp", {Value(String(u"a")), Value(String(u"g"))});
    EXPECT_EQ(text(make(u"RegExp", {re})), "/a/g");
    EXPECT_NE(thrown([&] { make(u"RegExp", {re, Value(String(u""))}); }).find("TypeError: Error #1100"),
              std::string::npos);
}

TEST_F(Builtins, ADictionarysKeysStayEnumerable) {
    Value d = make(u"flash.utils.Dictionary");
    vm().setPublic(d, u"5", Value(2));
    call(d, u"setPropertyIsEnumerable", {Value(5), Value(false)});
    EXPECT_EQ(text(call(d, u"propertyIsEnumerable", {Value(5)})), "true");
}

TEST_F(Builtins, EventsReachTheirListenersInPriorityOrder) {
    AbcBuilder abc;
    scriptOf(abc, Code());
    machine.run(abc);
    Value dispatcher = make(u"flash.events.EventDispatcher");
    Value event = make(u"flash.events.Event", {Value(String(u"ping")), Value(false), Value(true)});
    EXPECT_EQ(text(event), "[Event type=\"ping\" bubbles=false cancelable=true eventPhase=2]");
    static std::vector<std::string>* heard;
    std::vector<std::string> log;
    heard = &log;
    Value low(static_cast<kinolux::avm2::Object*>(vm().newNativeFunction(
        [](kinolux::avm2::Vm&, const Value&, std::span<const Value>) {
            heard->push_back("low");
            return Value();
        },
        String(u"low"))));
    Value high(static_cast<kinolux::avm2::Object*>(vm().newNativeFunction(
        [](kinolux::avm2::Vm& vm, const Value&, std::span<const Value> args) {
            heard->push_back("high");
            vm.callProperty(args[0], Multiname::publicName(String(u"preventDefault")), {});
            return Value();
        },
        String(u"high"))));
    call(dispatcher, u"addEventListener", {Value(String(u"ping")), low});
    call(dispatcher, u"addEventListener", {Value(String(u"ping")), high, Value(false), Value(5)});
    call(dispatcher, u"addEventListener", {Value(String(u"ping")), low});  // once only
    EXPECT_EQ(text(call(dispatcher, u"dispatchEvent", {event})), "false");
    EXPECT_EQ(log, (std::vector<std::string>{"high", "low"}));
    call(dispatcher, u"removeEventListener", {Value(String(u"ping")), low});
    EXPECT_EQ(text(call(dispatcher, u"hasEventListener", {Value(String(u"ping"))})), "true");
    EXPECT_NE(thrown([&] {
                  call(dispatcher, u"addEventListener", {Value(String(u"ping")), Value::null()});
              }).find("#2007"),
              std::string::npos);
}
