// The language itself: operators, variables, functions and their scopes,
// objects and prototypes, exceptions.
#include <gtest/gtest.h>

#include "tests/avm1/fake_host.h"

namespace kinolux::avm1::test {
namespace {

TEST(Language, ArithmeticAndConcatenation) {
    Machine m;
    EXPECT_EQ(m.run(R"asm(
        push 1, 2
        add2
        trace
        push "1", 2
        add2
        trace
        push 1, "2"
        add2
        trace
        push 7, 2
        modulo
        trace
        push 1, 0
        divide
        trace
        push "abc"
        push 1
        subtract
        trace
    )asm"), "3\n12\n12\n1\nInfinity\nNaN");
}

TEST(Language, Swf4DivisionByZeroAndUndefinedVariables) {
    Machine m(4);
    EXPECT_EQ(m.run(R"asm(
        push 1, 0
        divide
        trace
        push "x", "nothing"
        getVariable
        push 1
        add
        trace
    )asm"), "#ERROR#\n1");
}

TEST(Language, EqualityAndComparisonFollowTheRulesOfEachAction) {
    Machine m(7);
    EXPECT_EQ(m.run(R"asm(
        push "1", 1
        equals2
        trace
        push "1", 1
        strictEquals
        trace
        push NaN, NaN
        equals2
        trace
        push null, undefined
        equals2
        trace
        push NaN, 1
        less2
        trace
        push "b", "a"
        greater
        trace
        push "10", "9"
        less2
        trace
    )asm"), "true\nfalse\ntrue\ntrue\nundefined\ntrue\ntrue");
}

TEST(Language, TraceAndTypeOf) {
    Machine m(6);
    EXPECT_EQ(m.run(R"asm(
        push undefined
        trace
        push "a\rb"
        trace
        push null
        typeOf
        trace
        push 0
        push "Object"
        newObject
        typeOf
        trace
        push "_root"
        getVariable
        typeOf
        trace
    )asm"), "undefined\na\nb\nnull\nobject\nmovieclip");
}

TEST(Language, LoopsWithJumps) {
    Machine m;
    EXPECT_EQ(m.run(R"asm(
        push "i", 0
        setVariable
        push "s", ""
        setVariable
      loop:
        push "i"
        getVariable
        push 5
        less2
        not
        if done
        push "s"
        push "s"
        getVariable
        push "i"
        getVariable
        add2
        setVariable
        push "i"
        push "i"
        getVariable
        increment
        setVariable
        jump loop
      done:
        push "s"
        getVariable
        trace
    )asm"), "01234");
}

TEST(Language, FunctionsArgumentsAndReturn) {
    Machine m;
    EXPECT_EQ(m.run(R"asm(
        function add(a, b) {
          push "a"
          getVariable
          push "b"
          getVariable
          add2
          return
        }
        push 2, 3, 2, "add"
        callFunction
        trace
        function count() {
          push "arguments"
          getVariable
          push "length"
          getMember
          return
        }
        push 9, 8, 7, 3, "count"
        callFunction
        trace
    )asm"), "5\n3");
}

TEST(Language, DefineFunction2PreloadsRegisters) {
    Machine m;
    // this -> r1, arguments -> r2, _root -> r3, _global -> r4; x in r5.
    EXPECT_EQ(m.run(R"asm(
        function2 f(r5:x) regs=6 flags=0x0145 {
          push r:2
          push "length"
          getMember
          trace
          push r:5
          trace
          push r:4
          push "Math"
          getMember
          typeOf
          trace
          push r:3
          typeOf
          trace
        }
        push "hello", 1, "f"
        callFunction
        pop
    )asm"), "1\nhello\nobject\nmovieclip");
}

TEST(Language, ClosuresKeepTheirScopeFromSwf6) {
    Machine m(6);
    EXPECT_EQ(m.run(R"asm(
        function makeCounter() {
          push "n", 0
          defineLocal
          function () {
            push "n"
            push "n"
            getVariable
            increment
            setVariable
            push "n"
            getVariable
            return
          }
          return
        }
        push "c"
        push 0, "makeCounter"
        callFunction
        setVariable
        push 0, "c"
        callFunction
        pop
        push 0, "c"
        callFunction
        trace
        push "n"
        getVariable
        trace
    )asm"), "2\nundefined");
}

TEST(Language, WithScopesAndDefineLocal) {
    Machine m(7);
    EXPECT_EQ(m.run(R"asm(
        push "o", "x", 5, 1
        initObject
        setVariable
        push "o"
        getVariable
        with {
          push "x"
          getVariable
          trace
          push "x", 6
          setVariable
        }
        push "o"
        getVariable
        push "x"
        getMember
        trace
        push null
        with {
          push "never"
          trace
        }
    )asm"), "5\n6");
}

TEST(Language, TryCatchFinally) {
    Machine m(7);
    EXPECT_EQ(m.run(R"asm(
        try "e" {
          push "boom"
          throw
        } catch {
          push "caught "
          push "e"
          getVariable
          add2
          trace
        } finally {
          push "finally"
          trace
        }
        function f() {
          try r0 {
            push 1
            return
          } finally {
            push "cleanup"
            trace
          }
        }
        push 0, "f"
        callFunction
        trace
        try "e" {
          try "inner" {
            push "deep"
            throw
          } finally {
            push "inner finally"
            trace
          }
        } catch {
          push "e"
          getVariable
          trace
        }
    )asm"), "caught boom\nfinally\ncleanup\n1\ninner finally\ndeep");
}

TEST(Language, UncaughtThrowEndsTheScriptAndIsNamedInTheTrace) {
    Machine m(7);
    EXPECT_EQ(m.run(R"asm(
        push "before"
        trace
        push "oops"
        throw
        push "after"
        trace
    )asm"), "before\nWarning: Uncaught exception, oops");
    EXPECT_TRUE(m.host.errors.empty());
    EXPECT_EQ(m.run("push \"next script runs\"\ntrace"), "next script runs");
}

TEST(Language, CaseSensitivityFollowsTheVersion) {
    Machine six(6), seven(7);
    const char* source = R"asm(
        push "Value", 1
        setVariable
        push "value"
        getVariable
        trace
    )asm";
    EXPECT_EQ(six.run(source), "1");
    EXPECT_EQ(seven.run(source), "undefined");
}

TEST(Language, EnumerationListsNewestFirstAndSkipsHidden) {
    Machine m(7);
    EXPECT_EQ(m.run(R"asm(
        push "o", 0
        push "Object"
        newObject
        setVariable
        push "o"
        getVariable
        push "a", 1
        setMember
        push "o"
        getVariable
        push "b", 2
        setMember
        push "o"
        getVariable
        push "c", 3
        setMember
        push "ASSetPropFlags"
        getVariable
        pop
        push 1, "b", "o"
        getVariable
        push 3, "ASSetPropFlags"
        callFunction
        pop
        push "o"
        enumerate
      next:
        store 0
        push null
        equals2
        if end
        push r:0
        trace
        jump next
      end:
    )asm"), "c\na");
}

TEST(Language, PrototypesConstructorsAndInstanceOf) {
    Machine m(7);
    EXPECT_EQ(m.run(R"asm(
        function Animal(name) {
          push "this"
          getVariable
          push "name"
          push "name"
          getVariable
          setMember
        }
        push "Animal"
        getVariable
        push "prototype"
        getMember
        push "speak"
        function () {
          push "this"
          getVariable
          push "name"
          getMember
          push " speaks"
          add2
          return
        }
        setMember
        push "a"
        push "Rex", 1, "Animal"
        newObject
        setVariable
        push 0, "a"
        getVariable
        push "speak"
        callMethod
        trace
        push "a"
        getVariable
        push "Animal"
        getVariable
        instanceOf
        trace
        push "a"
        getVariable
        push "Array"
        getVariable
        instanceOf
        trace
    )asm"), "Rex speaks\ntrue\nfalse");
}

TEST(Language, ExtendsAndSuper) {
    Machine m(7);
    EXPECT_EQ(m.run(R"asm(
        function Base() {
          push "Base()"
          trace
        }
        push "Base"
        getVariable
        push "prototype"
        getMember
        push "hello"
        function () {
          push "base hello"
          return
        }
        setMember
        function2 Derived() regs=2 flags=0x0010 {
          push 0, r:1, undefined
          callMethod
          pop
          push "Derived()"
          trace
        }
        push "Derived"
        getVariable
        push "Base"
        getVariable
        extends
        push "Derived"
        getVariable
        push "prototype"
        getMember
        push "hello"
        function2 () regs=2 flags=0x0010 {
          push 0, r:1, "hello"
          callMethod
          push " via derived"
          add2
          return
        }
        setMember
        push "d"
        push 0, "Derived"
        newObject
        setVariable
        push 0, "d"
        getVariable
        push "hello"
        callMethod
        trace
        push "d"
        getVariable
        push "Base"
        getVariable
        instanceOf
        trace
    )asm"), "Base()\nDerived()\nbase hello via derived\ntrue");
}

TEST(Language, GettersSettersAndWatchers) {
    Machine m(7);
    EXPECT_EQ(m.run(R"asm(
        push "o", 0
        push "Object"
        newObject
        setVariable
        function getter() {
          push "got"
          return
        }
        function setter(v) {
          push "set "
          push "v"
          getVariable
          add2
          trace
        }
        push "setter"
        getVariable
        push "getter"
        getVariable
        push "p", 3, "o"
        getVariable
        push "addProperty"
        callMethod
        pop
        push "o"
        getVariable
        push "p"
        getMember
        trace
        push "o"
        getVariable
        push "p", 42
        setMember
        function watcher(prop, old, nv) {
          push "prop"
          getVariable
          push ":"
          add2
          push "old"
          getVariable
          add2
          push "->"
          add2
          push "nv"
          getVariable
          add2
          trace
          push "nv"
          getVariable
          push 10
          multiply
          return
        }
        push "watcher"
        getVariable
        push "w", 2, "o"
        getVariable
        push "watch"
        callMethod
        pop
        push "o"
        getVariable
        push "w", 1
        setMember
        push "o"
        getVariable
        push "w"
        getMember
        trace
    )asm"), "got\nset 42\nw:undefined->1\n10");
}

TEST(Language, ResolveAnswersMissingProperties) {
    Machine m(7);
    EXPECT_EQ(m.run(R"asm(
        push "o", 0
        push "Object"
        newObject
        setVariable
        push "o"
        getVariable
        push "__resolve"
        function (name) {
          push "missing "
          push "name"
          getVariable
          add2
          return
        }
        setMember
        push "o"
        getVariable
        push "foo"
        getMember
        trace
    )asm"), "missing foo");
}

TEST(Language, SlashAndDotPaths) {
    Machine m(6);
    FakeClip& a = m.host.root.addChild(u"a", 1);
    a.addChild(u"b", 1);
    EXPECT_EQ(m.run(R"asm(
        push "/a/b:v", 7
        setVariable
        push "_root.a.b.v"
        getVariable
        trace
        push "a.b:v"
        getVariable
        trace
        push "/a/b"
        getVariable
        push "_name"
        getMember
        trace
        push "/a/b"
        targetPath
        trace
        push "/a/b"
        getVariable
        targetPath
        trace
        push "a"
        getVariable
        push "b"
        getMember
        push "_parent"
        getMember
        push "_target"
        getMember
        trace
    )asm"), "7\n7\nb\nundefined\n_level0.a.b\n/a");
}

TEST(Language, TellTargetRedirectsTimelineActions) {
    Machine m(6);
    FakeClip& a = m.host.root.addChild(u"a", 1);
    a.totalFrames_ = 5;
    m.run(R"asm(
        setTarget "a"
        gotoFrame 2
        setTarget ""
        push "a"
        setTarget2
        play
    )asm");
    EXPECT_EQ(a.currentFrame_, 3);
    EXPECT_TRUE(a.playing_);
    ASSERT_FALSE(a.log().empty());
    EXPECT_EQ(a.log().front(), "goto a 3 stop");
}

TEST(Language, ScriptsShareOneStackWithinAFrame) {
    Machine m(6);
    // What one script leaves, the next one of the frame takes.
    m.run(R"asm(
        push "left", "over"
    )asm");
    EXPECT_EQ(m.run(R"asm(
        setVariable
        push "left"
        getVariable
        trace
    )asm"), "over");
    // A function's leftovers stay for its caller.
    EXPECT_EQ(m.run(R"asm(
        push "f"
        function2 () regs=1 {
            push "junk"
        }
        setVariable
        push 0, "f"
        callFunction
        pop
        trace
    )asm"), "junk");
    // The next frame starts afresh.
    m.run("push \"stale\"");
    m.vm.endFrame();
    EXPECT_EQ(m.run("trace"), "undefined");
}

}  // namespace
}  // namespace kinolux::avm1::test
