// The built-in classes, called directly: Array, String, Number, Math,
// Object, Function, Date, Error, XML, LoadVars, AsBroadcaster, timers,
// SharedObject and the global functions.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/avm1/assembler.h"
#include "tests/avm1/script.h"

namespace kinolux::avm1::test {
namespace {

// ---- MovieClipLoader ----

TEST(MovieClipLoaderClass, LoadClipAndGetProgressAnswerOnlyWhatTheirArgumentsAllow) {
    Script s;
    Value loader = s.make(u"MovieClipLoader");
    EXPECT_EQ(s.callText(loader, u"loadClip", {Value(u"a.swf")}), "undefined") << "both arguments or no answer";
    EXPECT_EQ(s.callText(loader, u"loadClip", {Value(0), Value(0)}), "false") << "an address must be a string";
    EXPECT_EQ(s.callText(loader, u"loadClip", {Value(u"a.swf"), Value(1.9)}), "true");
    ASSERT_FALSE(s.m.host.requests.empty());
    EXPECT_EQ(s.m.host.requests.back(), "loadClip a.swf level 1 with loader");
    EXPECT_EQ(s.callText(loader, u"getProgress"), "undefined");
    EXPECT_EQ(s.callText(loader, u"getProgress", {s.object({})}), "undefined") << "an object that is no clip";
    EXPECT_EQ(s.text(s.get(s.call(loader, u"getProgress", {Value(5)}), u"bytesTotal")), "undefined")
        << "an empty level still gets an answer";
    EXPECT_NE(s.text(s.get(s.call(loader, u"getProgress", {Value(0)}), u"bytesTotal")), "undefined");
}

// ---- Array ----

TEST(ArrayClass, DefaultSortComparesAsStringsAndFlagsChangeTheOrder) {
    Script s;
    Value a = s.array({3, 1, 10, 2});
    s.call(a, u"sort");
    EXPECT_EQ(s.text(a), "1,10,2,3");
    s.call(a, u"sort", {s.at(u"Array.NUMERIC")});
    EXPECT_EQ(s.text(a), "1,2,3,10");
    s.call(a, u"sort", {Value(16 | 2)});  // NUMERIC | DESCENDING
    EXPECT_EQ(s.text(a), "10,3,2,1");

    Value words = s.array({u"b", u"C", u"a"});
    s.call(words, u"sort");
    EXPECT_EQ(s.text(words), "C,a,b");
    s.call(words, u"sort", {s.at(u"Array.CASEINSENSITIVE")});
    EXPECT_EQ(s.text(words), "a,b,C");
}

TEST(ArrayClass, UniqueSortRefusesDuplicatesAndIndexedSortLeavesTheArray) {
    Script s;
    Value a = s.array({2, 1, 2});
    EXPECT_EQ(s.callText(a, u"sort", {s.at(u"Array.UNIQUESORT")}), "0");
    EXPECT_EQ(s.text(a), "2,1,2");
    Value b = s.array({30, 10, 20});
    EXPECT_EQ(s.callText(b, u"sort", {Value(8 | 16)}), "1,2,0");  // RETURNINDEXEDARRAY | NUMERIC
    EXPECT_EQ(s.text(b), "30,10,20");
}

TEST(ArrayClass, SortWithAComparatorFunction) {
    Script s;
    // function (a, b) { return b - a; }
    s.run(R"asm(
        push "byDescending"
        function2 (r1:a, r2:b) regs=3 {
            push r:2, r:1
            subtract
            return
        }
        setVariable
    )asm");
    Value a = s.array({5, 9, 1, 7});
    s.call(a, u"sort", {s.get(s.root(), u"byDescending")});
    EXPECT_EQ(s.text(a), "9,7,5,1");
}

TEST(ArrayClass, SortOnOrdersByFieldsInTurn) {
    Script s;
    Value people = s.array({
        s.object({{u"name", u"cy"}, {u"age", 30}}),
        s.object({{u"name", u"al"}, {u"age", 30}}),
        s.object({{u"name", u"bo"}, {u"age", 4}}),
    });
    s.call(people, u"sortOn", {u"name"});
    std::string order;
    for (int i = 0; i < 3; ++i) order += s.text(s.get(s.get(people, String::fromAscii(std::to_string(i)).view()), u"name"));
    EXPECT_EQ(order, "albocy");

    s.call(people, u"sortOn", {s.array({u"age", u"name"}), Value(16)});
    order.clear();
    for (int i = 0; i < 3; ++i) order += s.text(s.get(s.get(people, String::fromAscii(std::to_string(i)).view()), u"name"));
    EXPECT_EQ(order, "boalcy");
}

TEST(ArrayClass, SpliceSliceAndConcat) {
    Script s;
    Value a = s.array({1, 2, 3, 4, 5});
    EXPECT_EQ(s.callText(a, u"splice", {1, 2}), "2,3");
    EXPECT_EQ(s.text(a), "1,4,5");
    EXPECT_EQ(s.callText(a, u"splice", {-1, 0, u"x", u"y"}), "");
    EXPECT_EQ(s.text(a), "1,4,x,y,5");
    EXPECT_EQ(s.callText(a, u"splice", {3}), "y,5");
    EXPECT_EQ(s.text(a), "1,4,x");

    Value b = s.array({1, 2, 3, 4});
    EXPECT_EQ(s.callText(b, u"slice", {-2}), "3,4");
    EXPECT_EQ(s.callText(b, u"slice", {1, -1}), "2,3");
    EXPECT_EQ(s.callText(b, u"slice", {3, 1}), "");

    Value c = s.call(s.array({1}), u"concat", {2, s.array({3, s.array({4, 5})})});
    EXPECT_EQ(s.text(s.get(c, u"length")), "4");  // only one level is flattened
    EXPECT_EQ(s.text(c), "1,2,3,4,5");
}

TEST(ArrayClass, StackAndQueueMethodsReturnWhatThePlayerReturns) {
    Script s;
    Value a = s.array({});
    EXPECT_EQ(s.callText(a, u"push", {1, 2}), "2");
    EXPECT_EQ(s.callText(a, u"unshift", {0}), "3");
    EXPECT_EQ(s.callText(a, u"pop"), "2");
    EXPECT_EQ(s.callText(a, u"shift"), "0");
    EXPECT_EQ(s.text(a), "1");
    EXPECT_EQ(s.callText(s.array({}), u"pop"), "undefined");
    Value r = s.array({1, 2, 3});
    s.call(r, u"reverse");
    EXPECT_EQ(s.text(r), "3,2,1");
    EXPECT_EQ(s.callText(r, u"join", {u" - "}), "3 - 2 - 1");
}

TEST(ArrayClass, LengthFollowsIndexWritesAndTruncates) {
    Script s;
    Value a = s.array({u"a"});
    s.set(a, u"3", u"d");
    EXPECT_EQ(s.text(s.get(a, u"length")), "4");
    EXPECT_EQ(s.text(a), "a,undefined,undefined,d");
    s.set(a, u"length", 1);
    EXPECT_EQ(s.text(a), "a");
    EXPECT_EQ(s.text(s.get(a, u"3")), "undefined");
    // The constructor with one number makes that many empty slots.
    EXPECT_EQ(s.text(s.get(s.make(u"Array", {3}), u"length")), "3");
    EXPECT_EQ(s.text(s.make(u"Array", {u"3"})), "3");
}

// ---- String ----

TEST(StringClass, SearchingAndCutting) {
    Script s;
    Value hello(u"hello");
    EXPECT_EQ(s.callText(hello, u"charAt", {1}), "e");
    EXPECT_EQ(s.callText(hello, u"charAt", {10}), "");
    EXPECT_EQ(s.callText(hello, u"charCodeAt", {0}), "104");
    EXPECT_EQ(s.callText(hello, u"charCodeAt", {10}), "NaN");
    EXPECT_EQ(s.callText(hello, u"indexOf", {u"l"}), "2");
    EXPECT_EQ(s.callText(hello, u"indexOf", {u"l", 3}), "3");
    EXPECT_EQ(s.callText(hello, u"lastIndexOf", {u"l"}), "3");
    EXPECT_EQ(s.callText(hello, u"lastIndexOf", {u"l", 2}), "2");
    EXPECT_EQ(s.callText(hello, u"indexOf", {u"z"}), "-1");
    EXPECT_EQ(s.callText(hello, u"substr", {1, 3}), "ell");
    EXPECT_EQ(s.callText(hello, u"substr", {-3}), "llo");
    EXPECT_EQ(s.callText(hello, u"substring", {3, 1}), "el");
    EXPECT_EQ(s.callText(hello, u"slice", {-3, -1}), "ll");
    EXPECT_EQ(s.callText(hello, u"toUpperCase"), "HELLO");
    EXPECT_EQ(s.callText(Value(u"MiXeD"), u"toLowerCase"), "mixed");
    EXPECT_EQ(s.callText(hello, u"concat", {u" ", 1}), "hello 1");
    EXPECT_EQ(s.text(s.get(hello, u"length")), "5");
}

TEST(StringClass, Split) {
    Script s;
    Value csv(u"a,b,,c");
    EXPECT_EQ(s.text(s.get(s.call(csv, u"split", {u","}), u"length")), "4");
    EXPECT_EQ(s.text(s.get(s.call(csv, u"split", {u",", 2}), u"length")), "2");
    Value whole = s.call(csv, u"split");
    EXPECT_EQ(s.text(s.get(whole, u"length")), "1");
    EXPECT_EQ(s.text(whole), "a,b,,c");
    Value letters = s.call(Value(u"abc"), u"split", {u""});
    EXPECT_EQ(s.text(s.get(letters, u"length")), "3");
    EXPECT_EQ(s.text(s.get(letters, u"2")), "c");
}

TEST(StringClass, FromCharCodeAndConstruction) {
    Script s;
    EXPECT_EQ(s.text(s.call(s.at(u"String"), u"fromCharCode", {72, 105})), "Hi");
    Value boxed = s.make(u"String", {u"abc"});
    EXPECT_TRUE(boxed.isObject());
    EXPECT_EQ(s.text(s.get(boxed, u"length")), "3");
    EXPECT_EQ(s.callText(boxed, u"valueOf"), "abc");
}

// Appending in place must never change a string another value holds.
TEST(StringClass, AppendingKeepsEarlierStringsIntact) {
    String base = String::fromAscii(std::string(100, 'x'));
    String one = String::concat(base, String(u"1"));
    String two = String::concat(base, String(u"2"));
    String oneMore = String::concat(one, String(u"!"));
    String oneOther = String::concat(one, String(u"?"));
    EXPECT_EQ(base.size(), 100u);
    EXPECT_EQ(one.toUtf8(), std::string(100, 'x') + "1");
    EXPECT_EQ(two.toUtf8(), std::string(100, 'x') + "2");
    EXPECT_EQ(oneMore.toUtf8(), std::string(100, 'x') + "1!");
    EXPECT_EQ(oneOther.toUtf8(), std::string(100, 'x') + "1?");

    // A long chain of appends stays correct through buffer growth.
    String built;
    std::string expected;
    for (int i = 0; i < 2000; ++i) {
        std::string piece = std::to_string(i % 10);
        built = String::concat(built, String::fromAscii(piece));
        expected += piece;
        if (i == 1000) {
            EXPECT_EQ(String::concat(built, String(u"#")).size(), 1002u);
        }
    }
    EXPECT_EQ(built.toUtf8(), expected);
    EXPECT_EQ(built.foldedHash(), String(built.view()).foldedHash());
}

TEST(StringClass, AppendingInALoopThroughTheInterpreter) {
    Script s;
    EXPECT_EQ(s.run(R"asm(
        push "s", ""
        setVariable
        push "i", 0
        setVariable
      loop:
        push "s"
        push "s"
        getVariable
        push "ab"
        add2
        setVariable
        push "i"
        push "i"
        getVariable
        increment
        setVariable
        push "i"
        getVariable
        push 1000
        less2
        if loop
        push "t"
        push "s"
        getVariable
        push "!"
        add2
        setVariable
        push "s"
        getVariable
        push "length"
        getMember
        trace
        push 3, 1998, 2
        push "s"
        getVariable
        push "substr"
        callMethod
        trace
        push 3, 1998, 2
        push "t"
        getVariable
        push "substr"
        callMethod
        trace
    )asm"), "2000\nab\nab!");
}

// ---- Number, Math and the global functions ----

TEST(NumberClass, RadixAndConstruction) {
    Script s;
    EXPECT_EQ(s.callText(Value(255), u"toString", {16}), "ff");
    EXPECT_EQ(s.callText(Value(-255), u"toString", {2}), "-11111111");
    EXPECT_EQ(s.callText(Value(0.5), u"toString"), "0.5");
    EXPECT_EQ(s.text(s.call(s.m.vm.global() ? Value(s.m.vm.global()) : Value(), u"Number", {u"0x1F"})), "31");
    EXPECT_EQ(s.text(s.at(u"Number.MAX_VALUE")), "1.79769313486231e+308");
    EXPECT_EQ(s.text(s.at(u"Number.MIN_VALUE")), "4.94065645841247e-324");
    EXPECT_EQ(s.text(s.at(u"Number.NEGATIVE_INFINITY")), "-Infinity");
    Value boxed = s.make(u"Number", {u"12"});
    EXPECT_EQ(s.callText(boxed, u"valueOf"), "12");
}

TEST(GlobalFunctions, ParsingAndChecks) {
    Script s;
    Value g(s.m.vm.global());
    EXPECT_EQ(s.callText(g, u"parseInt", {u"12abc"}), "12");
    EXPECT_EQ(s.callText(g, u"parseInt", {u"ff", 16}), "255");
    EXPECT_EQ(s.callText(g, u"parseInt", {u"0x10"}), "16");
    EXPECT_EQ(s.callText(g, u"parseInt", {u"-0x10"}), "NaN");  // the sign only before octal and decimal
    EXPECT_EQ(s.callText(g, u"parseInt", {u"0x-10"}), "-16");
    EXPECT_EQ(s.callText(g, u"parseInt", {u"-0100"}), "-64");
    EXPECT_EQ(s.callText(g, u"parseInt", {u"z"}), "NaN");
    EXPECT_EQ(s.callText(g, u"parseFloat", {u"3.5e2x"}), "350");
    EXPECT_EQ(s.callText(g, u"parseFloat", {u"  -.5"}), "-0.5");
    EXPECT_EQ(s.callText(g, u"isNaN", {u"abc"}), "true");
    EXPECT_EQ(s.callText(g, u"isNaN", {u"12"}), "false");
    EXPECT_EQ(s.callText(g, u"isFinite", {Value(INFINITY)}), "false");
    EXPECT_EQ(s.callText(g, u"escape", {u"a b&c=d/é"}), "a%20b%26c%3Dd%2F%C3%A9");
    EXPECT_EQ(s.callText(g, u"unescape", {u"a%20b%C3%A9"}), "a bé");
    EXPECT_EQ(s.callText(g, u"unescape", {u"a+b"}), "a b");
    EXPECT_EQ(s.callText(g, u"String", {Value()}), "undefined");
    EXPECT_EQ(s.callText(g, u"Boolean", {u"false"}), "true");
}

TEST(MathClass, EdgesFollowThePlayer) {
    Script s;
    Value math = s.at(u"Math");
    EXPECT_EQ(s.callText(math, u"max"), "-Infinity");
    EXPECT_EQ(s.callText(math, u"min"), "Infinity");
    EXPECT_EQ(s.callText(math, u"max", {1, 5}), "5");
    EXPECT_EQ(s.callText(math, u"max", {1, u"x"}), "NaN");
    EXPECT_EQ(s.callText(math, u"round", {-2.5}), "-2");
    EXPECT_EQ(s.callText(math, u"round", {2.5}), "3");
    EXPECT_EQ(s.callText(math, u"floor", {-0.5}), "-1");
    EXPECT_EQ(s.callText(math, u"ceil", {0.2}), "1");
    EXPECT_EQ(s.callText(math, u"abs", {-3}), "3");
    EXPECT_EQ(s.callText(math, u"pow", {2, 10}), "1024");
    EXPECT_EQ(s.callText(math, u"sqrt", {-1}), "NaN");
    EXPECT_EQ(s.callText(math, u"atan2", {1, 1}), s.text(Value(std::atan2(1.0, 1.0))));
    EXPECT_EQ(s.text(s.get(math, u"PI")), "3.14159265358979");
    // random() stays in [0, 1) and follows the seed.
    for (int i = 0; i < 100; ++i) {
        double r = s.call(math, u"random").number();
        ASSERT_GE(r, 0.0);
        ASSERT_LT(r, 1.0);
    }
    Script a, b;
    EXPECT_EQ(a.callText(a.at(u"Math"), u"random"), b.callText(b.at(u"Math"), u"random"));
}

// ---- Object and Function ----

TEST(ObjectClass, OwnPropertiesAndHiding) {
    Script s;
    Value o = s.object({{u"a", 1}, {u"b", 2}});
    EXPECT_EQ(s.callText(o, u"hasOwnProperty", {u"a"}), "true");
    EXPECT_EQ(s.callText(o, u"hasOwnProperty", {u"toString"}), "false");
    EXPECT_EQ(s.callText(o, u"isPropertyEnumerable", {u"a"}), "true");
    EXPECT_EQ(s.text(o), "[object Object]");
    // ASSetPropFlags(o, "a", 1): hidden from for..in.
    s.call(Value(s.m.vm.global()), u"ASSetPropFlags", {o, u"a", 1});
    EXPECT_EQ(s.callText(o, u"isPropertyEnumerable", {u"a"}), "false");
    std::vector<String> keys = s.m.vm.enumerate(*o.object());
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].toUtf8(), "b");
    // Flag 4 makes it read-only.
    s.call(Value(s.m.vm.global()), u"ASSetPropFlags", {o, u"b", 4});
    s.set(o, u"b", 99);
    EXPECT_EQ(s.text(s.get(o, u"b")), "2");
    // A comma-separated list names several properties.
    Value three = s.object({{u"x", 1}, {u"y", 2}, {u"z", 3}});
    s.call(Value(s.m.vm.global()), u"ASSetPropFlags", {three, u"x,z", 1});
    keys = s.m.vm.enumerate(*three.object());
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].toUtf8(), "y");
}

TEST(ObjectClass, AddPropertyAndWatch) {
    Script s;
    s.run(R"asm(
        push "o"
        push 0
        push "Object"
        newObject
        setVariable
        push "getter"
        function2 () regs=1 {
            push 42
            return
        }
        setVariable
        push "log"
        function2 (r1:name, r2:old, r3:new) regs=4 {
            push r:1, ":", r:2, "->", r:3
            add2
            add2
            add2
            add2
            trace
            push r:3, 1
            add2
            return
        }
        setVariable
    )asm");
    Value root = s.root();
    Value o = s.get(root, u"o");
    EXPECT_EQ(s.callText(o, u"addProperty", {u"answer", s.get(root, u"getter"), Value::null()}), "true");
    EXPECT_EQ(s.text(s.get(o, u"answer")), "42");
    EXPECT_EQ(s.callText(o, u"addProperty", {u"bad", u"not a function", Value::null()}), "false");

    s.set(o, u"x", 1);
    EXPECT_EQ(s.callText(o, u"watch", {u"x", s.get(root, u"log")}), "true");
    s.m.host.traces.clear();
    s.call(Value(s.m.vm.global()), u"ASSetPropFlags", {o, u"x", 0});  // no effect on watching
    s.m.vm.set(o.objectRef(), String(u"x"), Value(5));
    EXPECT_EQ(s.m.host.output(), "x:1->5");
    EXPECT_EQ(s.text(s.get(o, u"x")), "6");
    EXPECT_EQ(s.callText(o, u"unwatch", {u"x"}), "true");
    s.set(o, u"x", 7);
    EXPECT_EQ(s.text(s.get(o, u"x")), "7");
}

TEST(FunctionClass, CallAndApplySetThisAndArguments) {
    Script s;
    // function describe(a, b) { return this.name + a + b; }   (this in r1)
    s.run(R"asm(
        push "describe"
        function2 (r2:a, r3:b) regs=4 flags=0x0001 {
            push r:1
            push "name"
            getMember
            push r:2
            add2
            push r:3
            add2
            return
        }
        setVariable
    )asm");
    Value root = s.root();
    Value fn = s.get(root, u"describe");
    Value self = s.object({{u"name", u"N"}});
    EXPECT_EQ(s.callText(fn, u"call", {self, u"p", u"q"}), "Npq");
    EXPECT_EQ(s.callText(fn, u"apply", {self, s.array({u"p", u"q"})}), "Npq");
    EXPECT_EQ(s.callText(fn, u"apply", {self}), "Nundefinedundefined");
    // A null `this` has no name: undefined + 1 + 2.
    EXPECT_EQ(s.callText(fn, u"call", {Value::null(), 1, 2}), "NaN");
    EXPECT_EQ(s.callText(fn, u"call", {Value::null(), u"1", 2}), "undefined12");
}

// ---- Date ----

TEST(DateClass, LocalTimeComesFromTheHost) {
    Script s;
    s.m.host.localOffset = 60;  // one hour east of UTC
    Value d = s.make(u"Date", {2000, 0, 31, 13, 5, 9, 250});
    EXPECT_EQ(s.callText(d, u"getFullYear"), "2000");
    EXPECT_EQ(s.callText(d, u"getMonth"), "0");
    EXPECT_EQ(s.callText(d, u"getDate"), "31");
    EXPECT_EQ(s.callText(d, u"getDay"), "1");
    EXPECT_EQ(s.callText(d, u"getHours"), "13");
    EXPECT_EQ(s.callText(d, u"getUTCHours"), "12");
    EXPECT_EQ(s.callText(d, u"getMilliseconds"), "250");
    EXPECT_EQ(s.callText(d, u"getTimezoneOffset"), "-60");
    EXPECT_EQ(s.text(d), "Mon Jan 31 13:05:09 GMT+0100 2000");
    // Months past the end roll into the next year.
    s.call(d, u"setMonth", {13});
    EXPECT_EQ(s.callText(d, u"getFullYear"), "2001");
    EXPECT_EQ(s.callText(d, u"getMonth"), "2");
    EXPECT_EQ(s.callText(d, u"getDate"), "3");  // Feb 31st 2001 is March 3rd
    EXPECT_EQ(s.callText(s.at(u"Date"), u"UTC", {1970, 0, 2}), "86400000");
}

TEST(DateClass, TheClockAndInvalidDates) {
    Script s;
    s.m.host.wallClock = 1234567890123.0;
    Value now = s.make(u"Date");
    EXPECT_EQ(s.callText(now, u"getTime"), "1234567890123");
    Value bad = s.make(u"Date", {Value(NAN)});
    EXPECT_EQ(s.callText(bad, u"getTime"), "NaN");
    EXPECT_EQ(s.callText(bad, u"getFullYear"), "NaN");
    EXPECT_EQ(s.text(bad), "Invalid Date");
    // Two-digit years mean the 1900s.
    EXPECT_EQ(s.callText(s.make(u"Date", {99, 0}), u"getFullYear"), "1999");
}

// ---- Error ----

TEST(ErrorClass, MessageAndName) {
    Script s;
    Value e = s.make(u"Error", {u"broken"});
    EXPECT_EQ(s.text(e), "broken");
    EXPECT_EQ(s.text(s.get(e, u"name")), "Error");
    EXPECT_EQ(s.text(s.make(u"Error")), "Error");
}

// ---- AsBroadcaster ----

TEST(AsBroadcasterClass, BroadcastsToListenersInOrder) {
    Script s;
    s.run(R"asm(
        push "a"
        push 0
        push "Object"
        newObject
        setVariable
        push "a"
        getVariable
        push "onPing"
        function2 (r1:x) regs=2 {
            push "a got ", r:1
            add2
            trace
        }
        setMember
        push "b"
        push 0
        push "Object"
        newObject
        setVariable
        push "b"
        getVariable
        push "onPing"
        function2 (r1:x) regs=2 {
            push "b got ", r:1
            add2
            trace
        }
        setMember
    )asm");
    Value root = s.root();
    Value source = s.object({});
    s.call(s.at(u"AsBroadcaster"), u"initialize", {source});
    EXPECT_EQ(s.callText(source, u"addListener", {s.get(root, u"a")}), "true");
    s.call(source, u"addListener", {s.get(root, u"b")});
    s.call(source, u"addListener", {s.get(root, u"a")});  // not twice: moves to the end
    EXPECT_EQ(s.text(s.get(s.get(source, u"_listeners"), u"length")), "2");
    s.m.host.traces.clear();
    EXPECT_EQ(s.callText(source, u"broadcastMessage", {u"onPing", 7}), "true");
    EXPECT_EQ(s.m.host.output(), "b got 7\na got 7");
    EXPECT_EQ(s.callText(source, u"removeListener", {s.get(root, u"a")}), "true");
    EXPECT_EQ(s.callText(source, u"removeListener", {s.get(root, u"a")}), "false");
    s.m.host.traces.clear();
    s.call(source, u"broadcastMessage", {u"onPing", 8});
    EXPECT_EQ(s.m.host.output(), "b got 8");
}

// ---- XML ----

TEST(XmlClass, ParsesAndWritesDocuments) {
    Script s;
    Value doc = s.make(u"XML", {u"<a b=\"1\" c='x &amp; y'><c>text &lt;here&gt;</c><d/></a>"});
    EXPECT_EQ(s.text(s.get(doc, u"status")), "0");
    Value a = s.get(doc, u"firstChild");
    EXPECT_EQ(s.text(s.get(a, u"nodeName")), "a");
    EXPECT_EQ(s.text(s.get(a, u"nodeType")), "1");
    EXPECT_EQ(s.text(s.get(s.get(a, u"attributes"), u"c")), "x & y");
    Value c = s.get(a, u"firstChild");
    EXPECT_EQ(s.text(s.get(s.get(c, u"firstChild"), u"nodeValue")), "text <here>");
    EXPECT_EQ(s.text(s.get(s.get(c, u"nextSibling"), u"nodeName")), "d");
    EXPECT_EQ(s.text(s.get(s.get(c, u"parentNode"), u"nodeName")), "a");
    EXPECT_EQ(s.text(s.get(s.get(a, u"childNodes"), u"length")), "2");
    EXPECT_EQ(s.text(doc), "<a b=\"1\" c=\"x &amp; y\"><c>text &lt;here&gt;</c><d /></a>");
}

TEST(XmlClass, ReportsMalformedDocumentsThroughStatus) {
    Script s;
    EXPECT_EQ(s.text(s.get(s.make(u"XML", {u"<a><b></a>"}), u"status")), "-9");
    EXPECT_EQ(s.text(s.get(s.make(u"XML", {u"<a>"}), u"status")), "-9");
    EXPECT_EQ(s.text(s.get(s.make(u"XML", {u"<a x=\"1></a>"}), u"status")), "-8");
    EXPECT_EQ(s.text(s.get(s.make(u"XML", {u"</a>"}), u"status")), "-10");
    EXPECT_EQ(s.text(s.get(s.make(u"XML", {u"<!-- open"}), u"status")), "-5");
}

TEST(XmlClass, IgnoreWhiteAndBuildingTrees) {
    Script s;
    Value doc = s.make(u"XML");
    s.set(doc, u"ignoreWhite", true);
    s.call(doc, u"parseXML", {u"<r>\n  <i>1</i>\n  <i>2</i>\n</r>"});
    EXPECT_EQ(s.text(s.get(s.get(s.get(doc, u"firstChild"), u"childNodes"), u"length")), "2");

    Value built = s.make(u"XML");
    Value root = s.call(built, u"createElement", {u"list"});
    Value item = s.call(built, u"createElement", {u"item"});
    s.call(item, u"appendChild", {s.call(built, u"createTextNode", {u"a&b"})});
    s.set(s.get(item, u"attributes"), u"id", 3);
    s.call(root, u"appendChild", {item});
    s.call(built, u"appendChild", {root});
    EXPECT_EQ(s.text(built), "<list><item id=\"3\">a&amp;b</item></list>");
    Value copy = s.call(root, u"cloneNode", {true});
    s.call(item, u"removeNode");
    EXPECT_EQ(s.text(built), "<list />");
    EXPECT_EQ(s.text(copy), "<list><item id=\"3\">a&amp;b</item></list>");
}

// ---- LoadVars and XML loading, answered by the player ----

class LoadingHost : public FakeHost {
public:
    using FakeHost::FakeHost;
    bool requestText(std::uint32_t id, const String& url, HttpMethod method, const std::string& body) override {
        ids.push_back(id);
        requests.push_back(url.toUtf8() + (method == HttpMethod::Post ? " POST " + body : ""));
        return true;
    }
    std::vector<std::uint32_t> ids;
};

TEST(LoadVarsClass, DecodesEncodesAndLoads) {
    MachineOn<LoadingHost> m(8);
    LoadingHost& host = m.host;
    Vm& vm = m.vm;
    ObjectRef vars = vm.toObject(vm.construct(vm.get(ObjectRef(vm.global()), String(u"LoadVars")), {}));
    Value decodeArgs[] = {Value(u"a=1&b=x%20y&c=%26")};
    vm.invoke(vars, u"decode", decodeArgs);
    EXPECT_EQ(vm.toString(vm.get(vars, String(u"b"))).toUtf8(), "x y");
    EXPECT_EQ(vm.toString(vm.get(vars, String(u"c"))).toUtf8(), "&");
    std::string encoded = vm.toString(vm.invoke(vars, u"toString")).toUtf8();
    EXPECT_NE(encoded.find("b=x%20y"), std::string::npos);
    EXPECT_NE(encoded.find("c=%26"), std::string::npos);

    // load() asks the player; the answer sets the variables and `loaded`.
    Value url[] = {Value(u"data.txt")};
    EXPECT_EQ(vm.toString(vm.invoke(vars, u"load", url)).toUtf8(), "true");
    ASSERT_EQ(host.ids.size(), 1u);
    EXPECT_EQ(host.requests.back(), "data.txt");
    EXPECT_EQ(vm.toString(vm.get(vars, String(u"loaded"))).toUtf8(), "false");
    vm.completeRequest(host.ids[0], std::string("score=12&name=ann"));
    EXPECT_EQ(vm.toString(vm.get(vars, String(u"score"))).toUtf8(), "12");
    EXPECT_EQ(vm.toString(vm.get(vars, String(u"loaded"))).toUtf8(), "true");
    // An unknown request id is ignored.
    vm.completeRequest(9999, std::string("x=1"));
    EXPECT_TRUE(host.errors.empty());
}

TEST(XmlClass, LoadFailureCallsOnLoadWithFalse) {
    MachineOn<LoadingHost> m(8);
    m.run(R"asm(
        push "doc"
        push 0
        push "XML"
        newObject
        setVariable
        push "doc"
        getVariable
        push "onLoad"
        function2 (r1:ok) regs=2 {
            push "onLoad ", r:1
            add2
            trace
        }
        setMember
        push "missing.xml"
        push 1
        push "doc"
        getVariable
        push "load"
        callMethod
        pop
    )asm");
    ASSERT_EQ(m.host.ids.size(), 1u);
    m.vm.completeRequest(m.host.ids[0], std::nullopt);
    EXPECT_EQ(m.host.output(), "onLoad false");
}

// ---- timers ----

TEST(Timers, IntervalsAndTimeoutsRunOnThePlayersClock) {
    Script s;
    s.run(R"asm(
        push "tick"
        function2 (r1:label) regs=2 {
            push "tick ", r:1
            add2
            trace
        }
        setVariable
        push "id"
        push "a"
        push 100
        push "tick"
        getVariable
        push 3
        push "setInterval"
        callFunction
        setVariable
        push "b"
        push 250
        push "tick"
        getVariable
        push 3
        push "setTimeout"
        callFunction
        pop
    )asm");
    ASSERT_TRUE(s.m.vm.nextTimerDue().has_value());
    EXPECT_EQ(*s.m.vm.nextTimerDue(), 100);
    s.m.host.traces.clear();
    s.m.host.now = 99;
    s.m.vm.runTimers();
    EXPECT_EQ(s.m.host.output(), "");
    s.m.host.now = 100;
    s.m.vm.runTimers();
    s.m.host.now = 200;
    s.m.vm.runTimers();
    s.m.host.now = 260;
    s.m.vm.runTimers();
    EXPECT_EQ(s.m.host.output(), "tick a\ntick a\ntick b");
    s.m.host.traces.clear();
    s.run(R"asm(
        push "id"
        getVariable
        push 1
        push "clearInterval"
        callFunction
        pop
    )asm");
    s.m.host.now = 1000;
    s.m.vm.runTimers();
    EXPECT_EQ(s.m.host.output(), "");
    EXPECT_FALSE(s.m.vm.nextTimerDue().has_value());
}

TEST(Timers, ShortIntervalsComeRoundEveryTenMillisecondsAndAStallIsNotMadeUp) {
    Script s;
    s.run(R"asm(
        push 1
        function2 () regs=1 {
            push "t"
            trace
        }
        push 2
        push "setInterval"
        callFunction
        pop
    )asm");
    s.m.host.traces.clear();
    s.m.host.now = 40;
    s.m.vm.runTimers();
    EXPECT_EQ(s.m.host.traces.size(), 4u) << "due at 1, 11, 21 and 31";
    s.m.host.traces.clear();
    s.m.host.now = 10000;
    s.m.vm.runTimers();
    EXPECT_EQ(s.m.host.traces.size(), 10u);
    s.m.host.traces.clear();
    s.m.host.now = 10001;
    s.m.vm.runTimers();
    EXPECT_TRUE(s.m.host.traces.empty()) << "after a stall the interval starts again from now";
}

TEST(Timers, DueTimersRunInTheOrderTheirTimesCameRound) {
    Script s;
    s.run(R"asm(
        push "a", 10
        function2 (r1:who) regs=2 {
            push r:1
            trace
        }
        push 3
        push "setInterval"
        callFunction
        pop
        push "b", 15
        function2 (r1:who) regs=2 {
            push r:1
            trace
        }
        push 3
        push "setTimeout"
        callFunction
        pop
    )asm");
    s.m.host.traces.clear();
    s.m.host.now = 40;
    s.m.vm.runTimers();
    EXPECT_EQ(s.m.host.output(), "a\nb\na\na\na");
    EXPECT_EQ(*s.m.vm.nextTimerDue(), 50) << "the timeout that ran is gone";
}

// ---- SharedObject ----

TEST(SharedObjectClass, DataLivesForTheRun) {
    Script s;
    Value so = s.call(s.at(u"SharedObject"), u"getLocal", {u"prefs"});
    ASSERT_TRUE(so.isObject());
    s.set(s.get(so, u"data"), u"volume", 7);
    s.call(so, u"flush");
    Value again = s.call(s.at(u"SharedObject"), u"getLocal", {u"prefs"});
    EXPECT_EQ(s.text(s.get(s.get(again, u"data"), u"volume")), "7");
}

// ---- flash.geom ----

TEST(GeomClasses, MatrixArithmetic) {
    Script s(8);
    Value m = s.make(u"flash.geom.Matrix");
    EXPECT_EQ(s.text(m), "(a=1, b=0, c=0, d=1, tx=0, ty=0)");
    s.call(m, u"scale", {2, 3});
    s.call(m, u"translate", {10, 20});
    EXPECT_EQ(s.text(m), "(a=2, b=0, c=0, d=3, tx=10, ty=20)");
    Value p = s.call(m, u"transformPoint", {s.make(u"flash.geom.Point", {1, 1})});
    EXPECT_EQ(s.text(p), "(x=12, y=23)");
    s.call(m, u"invert");
    EXPECT_EQ(s.text(s.call(m, u"transformPoint", {p})), "(x=1, y=1)");
    // A rotation by a quarter turn swaps the axes.
    Value r = s.make(u"flash.geom.Matrix");
    s.call(r, u"rotate", {M_PI / 2});
    Value q = s.call(r, u"deltaTransformPoint", {s.make(u"flash.geom.Point", {1, 0})});
    EXPECT_NEAR(s.get(q, u"x").number(), 0, 1e-12);
    EXPECT_NEAR(s.get(q, u"y").number(), 1, 1e-12);
    // A singular matrix inverts to the identity.
    Value z = s.make(u"flash.geom.Matrix", {1, 2, 2, 4, 5, 6});
    s.call(z, u"invert");
    EXPECT_EQ(s.text(z), "(a=1, b=0, c=0, d=1, tx=0, ty=0)");
    // A gradient box is 1638.4 units wide at scale 1.
    Value g = s.make(u"flash.geom.Matrix");
    s.call(g, u"createGradientBox", {1638.4, 819.2, 0, 10, 20});
    EXPECT_EQ(s.text(g), "(a=1, b=0, c=0, d=0.5, tx=829.2, ty=429.6)");
}

TEST(GeomClasses, RectangleEdgesAndSetOperations) {
    Script s(8);
    Value r = s.make(u"flash.geom.Rectangle", {10, 20, 30, 40});
    EXPECT_EQ(s.text(s.get(r, u"right")), "40");
    EXPECT_EQ(s.text(s.get(r, u"bottomRight")), "(x=40, y=60)");
    s.set(r, u"left", 0);
    EXPECT_EQ(s.text(r), "(x=0, y=20, w=40, h=40)");
    EXPECT_EQ(s.callText(r, u"contains", {0, 20}), "true");
    EXPECT_EQ(s.callText(r, u"contains", {40, 20}), "false");
    Value other = s.make(u"flash.geom.Rectangle", {20, 50, 100, 100});
    EXPECT_EQ(s.callText(r, u"intersection", {other}), "(x=20, y=50, w=20, h=10)");
    EXPECT_EQ(s.callText(r, u"union", {other}), "(x=0, y=20, w=120, h=130)");
    EXPECT_EQ(s.callText(r, u"intersects", {s.make(u"flash.geom.Rectangle", {100, 100, 5, 5})}), "false");
    EXPECT_EQ(s.callText(s.make(u"flash.geom.Rectangle"), u"isEmpty"), "true");
    EXPECT_EQ(s.callText(r, u"equals", {s.call(r, u"clone")}), "true");
    EXPECT_EQ(s.callText(r, u"equals", {s.object({{u"x", 0}, {u"y", 20}, {u"width", 40}, {u"height", 40}})}), "false");
    s.call(r, u"inflate", {5, 1});
    EXPECT_EQ(s.text(r), "(x=-5, y=19, w=50, h=42)");
}

TEST(GeomClasses, ColorTransformKeepsItsNumbers) {
    Script s(8);
    Value ct = s.make(u"flash.geom.ColorTransform", {0.5, 1, 1, 1, 10});
    EXPECT_EQ(s.text(ct), "(redMultiplier=0.5, greenMultiplier=1, blueMultiplier=1, alphaMultiplier=1, "
                          "redOffset=10, greenOffset=0, blueOffset=0, alphaOffset=0)");
    s.set(ct, u"rgb", 0x102030);
    EXPECT_EQ(s.text(s.get(ct, u"redMultiplier")), "0");
    EXPECT_EQ(s.text(s.get(ct, u"rgb")), std::to_string(0x102030));
    Value half = s.make(u"flash.geom.ColorTransform", {0.5, 0.5, 0.5, 0.5, 0, 0, 0, 100});
    s.call(half, u"concat", {s.make(u"flash.geom.ColorTransform", {1, 1, 1, 1, 0, 0, 0, 50})});
    EXPECT_EQ(s.text(s.get(half, u"alphaOffset")), "125");
    // Not in SWF 7.
    Script s7(7);
    EXPECT_TRUE(s7.at(u"flash").isUndefined());
}

TEST(AsNative, ReachesTheOriginalBuiltInsByNumber) {
    Script s(7);
    Value g(s.m.vm.global());
    Value hasOwn = s.call(g, u"ASnative", {101, 5});
    Value object = s.object({{u"a", 1}});
    EXPECT_EQ(s.callText(hasOwn, u"call", {object, u"a"}), "true");
    // Math's table converts two arguments whatever the entry.
    EXPECT_EQ(s.callText(s.call(g, u"ASnative", {200, 17}), u"call", {Value::null(), 2, 10}), "1024");
    EXPECT_EQ(s.callText(s.call(g, u"ASnative", {200, 99}), u"call", {Value::null(), 1}), "NaN");
    EXPECT_TRUE(s.call(g, u"ASnative", {12345, 0}).isUndefined());
}

TEST(ErrorClass, WithoutNewMakesNothingAndToStringKeepsTheMessage) {
    Script s(6);
    Value g(s.m.vm.global());
    EXPECT_TRUE(s.call(g, u"Error", {u"x"}).isUndefined());
    Value e = s.make(u"Error");
    Value message = s.object({});
    s.set(e, u"message", message);
    EXPECT_TRUE(s.call(e, u"toString").isObject());
}

TEST(SystemClass, CapabilitiesAndTheServerString) {
    Script s(8);
    std::string server = s.text(s.at(u"System.capabilities.serverString"));
    EXPECT_NE(server.find("V=LNX%208%2C0%2C0%2C0"), std::string::npos);
    EXPECT_NE(server.find("R=1024x768"), std::string::npos);
    EXPECT_EQ(s.text(s.at(u"System.exactSettings")), "true");
    EXPECT_EQ(s.callText(s.at(u"System.security"), u"allowDomain"), "false");
    EXPECT_EQ(s.callText(s.at(u"System.security"), u"allowDomain", {u"example.com"}), "true");
    // Each level's root carries the version as $version.
    EXPECT_EQ(s.text(s.get(s.root(), u"$version")), "LNX 8,0,0,0");
    // _global is SWF 6 and later.
    Script s5(5);
    EXPECT_EQ(s5.run("push \"_global\"\ngetVariable\ntypeOf\ntrace"), "undefined");
}

}  // namespace
}  // namespace kinolux::avm1::test
