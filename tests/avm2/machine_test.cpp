// The bytecode machine: opcodes, scopes, traits and classes, exceptions,
// frame checks and limits, on hand-built ABC.
#include <gtest/gtest.h>

#include <functional>

#include "tests/avm2/machine.h"

using namespace avm2test;

namespace {

std::vector<std::string> traceOf(AbcBuilder& abc, const Code& body, std::vector<Trait> traits = {}) {
    scriptOf(abc, body, std::move(traits));
    Machine m;
    EXPECT_TRUE(m.run(abc));
    for (const auto& e : m.host.errors) ADD_FAILURE() << e;
    return m.host.traces;
}

// A class statement of the script: class number `index`, built with its
// base on the scope chain, is stored under `name` on the script's global.
void defineClass(Code& c, std::uint32_t base, std::uint32_t index, std::uint32_t name) {
    c.op(op::GetScopeObject)
        .u8(0)
        .op(op::GetLex, base)
        .op(op::PushScope)
        .op(op::GetLex, base)
        .op(op::NewClass, index)
        .op(op::PopScope)
        .op(op::InitProperty, name);
}

// o = {a: 1, b: 2} in local 1.
void objectInLocal1(Code& c, AbcBuilder& abc) {
    c.op(op::PushString, abc.string("a"))
        .op(op::PushByte)
        .u8(1)
        .op(op::PushString, abc.string("b"))
        .op(op::PushByte)
        .u8(2);
    c.op(op::NewObject, 2).op(op::SetLocal1);
}

}  // namespace

TEST(Opcodes, ArithmeticFollowsTheNumberRules) {
    AbcBuilder abc;
    Code c;
    traced(c, abc, [&](Code& c) { c.op(op::PushByte).u8(7).op(op::PushByte).u8(2).op(op::Divide); });
    traced(c, abc, [&](Code& c) { c.op(op::PushInt, abc.integer(2147483647)).op(op::PushByte).u8(1).op(op::AddI); });
    traced(c, abc, [&](Code& c) { c.op(op::PushByte).u8(0xF9).op(op::PushByte).u8(3).op(op::Modulo); });
    traced(c, abc, [&](Code& c) { c.op(op::PushByte).u8(0xFF).op(op::PushByte).u8(28).op(op::URShift); });
    traced(c, abc, [&](Code& c) { c.op(op::PushString, abc.string("4")).op(op::PushByte).u8(1).op(op::Add); });
    traced(c, abc,
           [&](Code& c) { c.op(op::PushDouble, abc.number(0.1)).op(op::PushDouble, abc.number(0.2)).op(op::Add); });
    traced(c, abc, [&](Code& c) { c.op(op::PushNaN).op(op::PushNaN).op(op::Equals); });
    traced(c, abc, [&](Code& c) { c.op(op::PushNull).op(op::PushUndefined).op(op::Equals); });
    traced(c, abc, [&](Code& c) { c.op(op::PushNull).op(op::TypeOf); });
    EXPECT_EQ(traceOf(abc, c), (std::vector<std::string>{"3.5", "-2147483648", "-1", "15", "41", "0.30000000000000004",
                                                         "false", "true", "object"}));
}

TEST(Opcodes, BranchesLoopsAndLocals) {
    AbcBuilder abc;
    Code c;
    // local1 = 0; do { local1 += 3 } while (local1 < 10); trace(local1)
    c.op(op::PushByte).u8(0).op(op::SetLocal1);
    std::size_t loop = c.size();
    c.op(op::Label).op(op::GetLocal1).op(op::PushByte).u8(3).op(op::Add).op(op::SetLocal1);
    c.op(op::GetLocal1).op(op::PushByte).u8(10).op(op::IfLt);
    c.s24(std::int32_t(loop) - std::int32_t(c.size() + 3));
    traced(c, abc, [&](Code& c) { c.op(op::GetLocal1); });
    // lookupswitch on 1 picks the second case
    c.op(op::PushByte).u8(1);
    std::size_t sw = c.size();
    c.op(op::LookupSwitch).s24(0).u30(1).s24(0).s24(0);
    std::size_t afterSwitch = c.size();
    // patch: default and case 0 jump past both traces; case 1 to the "one" trace
    Code one;
    traced(one, abc, [&](Code& t) { t.op(op::PushString, abc.string("one")); });
    std::int32_t toOne = std::int32_t(afterSwitch - sw);
    std::int32_t toEnd = std::int32_t(afterSwitch + one.size() - sw);
    auto put = [&](std::size_t at, std::int32_t v) {
        c.bytes[at] = std::uint8_t(v);
        c.bytes[at + 1] = std::uint8_t(v >> 8);
        c.bytes[at + 2] = std::uint8_t(v >> 16);
    };
    put(sw + 1, toEnd);
    put(sw + 5, toEnd);
    put(sw + 8, toOne);
    c.append(one);
    EXPECT_EQ(traceOf(abc, c), (std::vector<std::string>{"12", "one"}));
}

TEST(Opcodes, ObjectsArraysAndEnumeration) {
    AbcBuilder abc;
    Code c;
    objectInLocal1(c, abc);
    // for (k in o) trace(k + "=" + o[k]) with hasnext2 on locals 2 (object) and 3 (index)
    c.op(op::GetLocal1).op(op::SetLocal2).op(op::PushByte).u8(0).op(op::SetLocal3);
    std::size_t test = c.size();
    c.op(op::HasNext2, 2, 3).op(op::IfFalse).s24(0);
    std::size_t exitPatch = c.size() - 3;
    traced(c, abc, [&](Code& t) {
        t.op(op::GetLocal2).op(op::GetLocal3).op(op::NextName).op(op::PushString, abc.string("=")).op(op::Add);
        t.op(op::GetLocal2).op(op::GetLocal3).op(op::NextValue).op(op::Add);
    });
    c.op(op::Jump).s24(std::int32_t(test) - std::int32_t(c.size() + 3));
    std::int32_t exit = std::int32_t(c.size() - (exitPatch + 3));
    c.bytes[exitPatch] = std::uint8_t(exit);
    c.bytes[exitPatch + 1] = std::uint8_t(exit >> 8);
    c.bytes[exitPatch + 2] = 0;
    traced(c, abc, [&](Code& t) {
        t.op(op::PushByte).u8(5).op(op::PushByte).u8(6).op(op::NewArray, 2).op(op::GetProperty, abc.name("length"));
    });
    EXPECT_EQ(traceOf(abc, c), (std::vector<std::string>{"a=1", "b=2", "2"}));
}

TEST(Opcodes, EnumerationGivesWholeNumberNamesAsNumbers) {
    AbcBuilder abc;
    Code c;
    // for (k in {"7": 0, "-3": 0}) trace(k + 1)
    c.op(op::PushString, abc.string("7")).op(op::PushByte).u8(0);
    c.op(op::PushString, abc.string("-3")).op(op::PushByte).u8(0);
    c.op(op::NewObject, 2).op(op::SetLocal2).op(op::PushByte).u8(0).op(op::SetLocal3);
    for (int i = 0; i < 2; ++i) {
        c.op(op::HasNext2, 2, 3).op(op::Pop);
        traced(c, abc, [&](Code& t) {
            t.op(op::GetLocal2).op(op::GetLocal3).op(op::NextName).op(op::PushByte).u8(1).op(op::Add);
        });
    }
    EXPECT_EQ(traceOf(abc, c), (std::vector<std::string>{"8", "-31"}));
}

TEST(Opcodes, HasNextStepsOverWhatIsNotEnumerable) {
    AbcBuilder abc;
    Code c;
    objectInLocal1(c, abc);
    c.op(op::GetLocal1)
        .op(op::PushString, abc.string("a"))
        .op(op::PushFalse)
        .op(op::CallPropVoid, abc.name("setPropertyIsEnumerable"), 2);
    // hasnext, the older form, from index 0, 1 and 2
    for (std::uint8_t from : {0, 1, 2})
        traced(c, abc, [&](Code& t) { t.op(op::GetLocal1).op(op::PushByte).u8(from).op(op::HasNext); });
    EXPECT_EQ(traceOf(abc, c), (std::vector<std::string>{"2", "2", "0"}));
}

TEST(Traits, ClassesInheritOverrideAndCallSuper) {
    AbcBuilder abc;
    std::uint32_t baseName = abc.name("Base"), derivedName = abc.name("Derived"), speak = abc.name("speak"),
                  object = abc.name("Object");
    // Base.speak() returns "base"; Derived.speak() returns "derived+" + super.speak()
    std::uint32_t baseInit = abc.method(), baseCinit = abc.method(), baseSpeak = abc.method();
    abc.body(baseInit, Code().op(op::GetLocal0).op(op::ConstructSuper, 0).op(op::ReturnVoid));
    abc.body(baseCinit, Code().op(op::ReturnVoid));
    abc.body(baseSpeak, Code().op(op::PushString, abc.string("base")).op(op::ReturnValue));
    std::uint32_t dInit = abc.method(), dCinit = abc.method(), dSpeak = abc.method();
    abc.body(dInit, Code().op(op::GetLocal0).op(op::ConstructSuper, 0).op(op::ReturnVoid));
    abc.body(dCinit, Code().op(op::ReturnVoid));
    abc.body(dSpeak, Code()
                         .op(op::PushString, abc.string("derived+"))
                         .op(op::GetLocal0)
                         .op(op::CallSuper, speak, 0)
                         .op(op::Add)
                         .op(op::ReturnValue));
    abc.addClass(baseName, object, baseInit, baseCinit, {{speak, 1, 0, baseSpeak}});
    abc.addClass(derivedName, baseName, dInit, dCinit, {{speak, 1, 0, dSpeak}});
    Code c;
    defineClass(c, object, 0, baseName);
    defineClass(c, baseName, 1, derivedName);
    traced(c, abc, [&](Code& t) {
        t.op(op::FindPropStrict, derivedName).op(op::ConstructProp, derivedName, 0).op(op::CallProperty, speak, 0);
    });
    traced(c, abc, [&](Code& t) {
        t.op(op::FindPropStrict, derivedName)
            .op(op::ConstructProp, derivedName, 0)
            .op(op::GetLex, baseName)
            .op(op::IsTypeLate);
    });
    EXPECT_EQ(traceOf(abc, c, {{baseName, 4, 1, 0}, {derivedName, 4, 2, 1}}),
              (std::vector<std::string>{"derived+base", "true"}));
}

TEST(Traits, SealedInstancesRefuseNewPropertiesAndSlotsCoerce) {
    AbcBuilder abc;
    std::uint32_t name = abc.name("Sealed"), object = abc.name("Object"), count = abc.name("count"),
                  intType = abc.name("int");
    std::uint32_t init = abc.method(), cinit = abc.method();
    abc.body(init, Code().op(op::GetLocal0).op(op::ConstructSuper, 0).op(op::ReturnVoid));
    abc.body(cinit, Code().op(op::ReturnVoid));
    abc.addClass(name, object, init, cinit, {{count, 0, 0, intType}}, {}, 0x01);
    Code c;
    c.op(op::GetScopeObject).u8(0).op(op::GetLex, object).op(op::NewClass, 0).op(op::InitProperty, name);
    c.op(op::FindPropStrict, name).op(op::ConstructProp, name, 0).op(op::SetLocal1);
    c.op(op::GetLocal1).op(op::PushDouble, abc.number(2.75)).op(op::SetProperty, count);
    traced(c, abc, [&](Code& t) { t.op(op::GetLocal1).op(op::GetProperty, count); });
    c.op(op::GetLocal1).op(op::PushTrue).op(op::SetProperty, abc.name("other"));
    scriptOf(abc, c, {{name, 4, 1, 0}});
    Machine m;
    m.run(abc);
    EXPECT_EQ(m.host.traces, (std::vector<std::string>{"2"}));
    ASSERT_EQ(m.host.errors.size(), 1u);
    EXPECT_NE(m.host.errors[0].find("Error #1056: Cannot create property other on Sealed."), std::string::npos)
        << m.host.errors[0];
}

TEST(Traits, SealedInstancesHaveNoDefaultForNamesTheyLack) {
    for (auto reading : {op::GetProperty, op::CallProperty}) {
        AbcBuilder abc;
        std::uint32_t name = abc.name("Sealed"), object = abc.name("Object"), toString = abc.name("toString"),
                      other = abc.name("other");
        std::uint32_t init = abc.method(), cinit = abc.method();
        abc.body(init, Code().op(op::GetLocal0).op(op::ConstructSuper, 0).op(op::ReturnVoid));
        abc.body(cinit, Code().op(op::ReturnVoid));
        abc.addClass(name, object, init, cinit, {}, {}, 0x01);
        Code c;
        defineClass(c, object, 0, name);
        c.op(op::FindPropStrict, name).op(op::ConstructProp, name, 0).op(op::SetLocal1);
        // What the prototype has is found; a name nothing has is an error.
        traced(c, abc, [&](Code& t) { t.op(op::GetLocal1).op(op::CallProperty, toString, 0); });
        c.op(op::GetLocal1);
        if (reading == op::GetProperty) c.op(op::GetProperty, other);
        else c.op(op::CallProperty, other, 0);
        c.op(op::Pop);
        scriptOf(abc, c, {{name, 4, 1, 0}});
        Machine m;
        m.run(abc);
        EXPECT_EQ(m.host.traces, (std::vector<std::string>{"[object Sealed]"}));
        ASSERT_EQ(m.host.errors.size(), 1u);
        EXPECT_NE(m.host.errors[0].find("ReferenceError: Error #1069: Property other not found on Sealed and there "
                                        "is no default value."),
                  std::string::npos)
            << m.host.errors[0];
    }
}

TEST(Exceptions, HandlerCatchesByTypeAndScriptGoesOn) {
    AbcBuilder abc;
    std::uint32_t rangeError = abc.name("RangeError"), typeError = abc.name("TypeError"), message = abc.name("message");
    Code c;
    std::size_t from = c.size() + 2;  // after getlocal0; pushscope
    c.op(op::FindPropStrict, typeError)
        .op(op::PushString, abc.string("boom"))
        .op(op::ConstructProp, typeError, 1)
        .op(op::Throw);
    std::size_t to = c.size() + 2;
    std::size_t rangeHandler = c.size() + 2;
    c.op(op::Pop).op(op::Jump).s24(0);
    std::size_t skip = c.size() - 3;
    std::size_t typeHandler = c.size() + 2;
    c.op(op::GetLocal0).op(op::PushScope).op(op::SetLocal1);
    traced(c, abc, [&](Code& t) { t.op(op::GetLocal1).op(op::GetProperty, message); });
    c.bytes[skip] = std::uint8_t(c.size() - skip - 3);
    traced(c, abc, [&](Code& t) { t.op(op::PushString, abc.string("after")); });
    Code body;
    body.op(op::GetLocal0).op(op::PushScope);
    body.append(c);
    body.op(op::ReturnVoid);
    std::uint32_t init = abc.method();
    abc.body(init, body, 16, 4,
             {{std::uint32_t(from), std::uint32_t(to), std::uint32_t(rangeHandler), rangeError},
              {std::uint32_t(from), std::uint32_t(to), std::uint32_t(typeHandler), typeError}});
    abc.script(init);
    Machine m;
    m.run(abc);
    EXPECT_TRUE(m.host.errors.empty()) << m.host.errors[0];
    EXPECT_EQ(m.host.traces, (std::vector<std::string>{"boom", "after"}));
}

TEST(Exceptions, UncaughtErrorIsReportedWithItsMessage) {
    AbcBuilder abc;
    Code c;
    c.op(op::PushNull).op(op::GetProperty, abc.name("x"));
    scriptOf(abc, c);
    Machine m;
    m.run(abc);
    ASSERT_EQ(m.host.errors.size(), 1u);
    EXPECT_NE(m.host.errors[0].find("TypeError: Error #1009"), std::string::npos) << m.host.errors[0];
}

TEST(FrameChecks, HostileMethodsCannotLeaveTheirFrame) {
    auto errorOf = [](auto build) {
        AbcBuilder abc;
        Code c;
        build(c, abc);
        std::uint32_t init = abc.method();
        abc.body(init, c, 2, 2);
        abc.script(init);
        Machine m;
        m.run(abc);
        return m.host.errors.empty() ? std::string() : m.host.errors[0];
    };
    EXPECT_NE(errorOf([](Code& c, AbcBuilder&) { c.op(op::GetLocal, 9).op(op::ReturnVoid); }).find("Local register"),
              std::string::npos);
    EXPECT_NE(errorOf([](Code& c, AbcBuilder&) { c.op(op::Pop).op(op::ReturnVoid); }).find("Stack underflow"),
              std::string::npos);
    EXPECT_NE(errorOf([](Code& c, AbcBuilder&) {
                  c.op(op::PushTrue).op(op::PushTrue).op(op::PushTrue);
              }).find("Stack overflow"),
              std::string::npos);
    EXPECT_NE(errorOf([](Code& c, AbcBuilder&) { c.op(op::GetScopeObject).u8(3); }).find("Scope index"),
              std::string::npos);
    EXPECT_NE(errorOf([](Code& c, AbcBuilder&) { c.op(op::Jump).s24(1000); }).find("Branch target"), std::string::npos);
    EXPECT_NE(errorOf([](Code& c, AbcBuilder&) { c.op(op::PushString, 77); }).find("Constant pool"), std::string::npos);
    EXPECT_NE(errorOf([](Code& c, AbcBuilder&) { c.op(op::PushTrue); }).find("past its end"), std::string::npos);
    EXPECT_NE(errorOf([](Code& c, AbcBuilder&) { c.op(0xFE); }).find("Unknown opcode"), std::string::npos);
    EXPECT_NE(errorOf([](Code& c, AbcBuilder&) { c.op(op::GetLocal0).op(op::GetSlot, 40); }).find("Slot index"),
              std::string::npos);
}

// Error.getStackTrace: the script methods an error was made in, innermost
// first, named as the player names them; null in a movie made for a SWF
// version before 18.
TEST(Exceptions, StackTracesNameTheMethodsAnErrorWasMadeIn) {
    for (int version : {17, 18}) {
        AbcBuilder abc;
        std::uint32_t thingName = abc.name("Thing"), where = abc.name("where"), size = abc.name("size"),
                      object = abc.name("Object"), error = abc.name("Error"), stack = abc.name("getStackTrace");
        std::uint32_t init = abc.method(), cinit = abc.method(), whereMethod = abc.method(), sizeGetter = abc.method(),
                      anonymous = abc.method();
        abc.body(init, Code().op(op::GetLocal0).op(op::ConstructSuper, 0).op(op::ReturnVoid));
        abc.body(cinit, Code().op(op::ReturnVoid));
        Code made;
        made.op(op::FindPropStrict, error).op(op::ConstructProp, error, 0).op(op::CallProperty, stack, 0);
        abc.body(anonymous, Code(made).op(op::ReturnValue));
        // where() traces the size getter's trace, which comes from an anonymous function
        abc.body(sizeGetter,
                 Code().op(op::NewFunction, anonymous).op(op::PushNull).op(op::Call, 0).op(op::ReturnValue));
        Code w;
        traced(w, abc, [&](Code& t) { t.op(op::GetLocal0).op(op::GetProperty, size); });
        abc.body(whereMethod, w.op(op::ReturnVoid));
        abc.addClass(thingName, object, init, cinit, {{where, 1, 0, whereMethod}, {size, 2, 0, sizeGetter}});
        Code c;
        defineClass(c, object, 0, thingName);
        c.op(op::FindPropStrict, thingName).op(op::ConstructProp, thingName, 0).op(op::CallPropVoid, where, 0);
        traced(c, abc, [&](Code& t) { t.append(made); });
        scriptOf(abc, c, {{thingName, 4, 1, 0}});
        Machine m;
        m.vm.setSwfVersion(version);
        m.run(abc);
        EXPECT_TRUE(m.host.errors.empty()) << m.host.errors[0];
        if (version < 18) {
            EXPECT_EQ(m.host.traces, (std::vector<std::string>{"null", "null"}));
            continue;
        }
        EXPECT_EQ(m.host.traces, (std::vector<std::string>{"Error\n\tat MethodInfo-4()\n\tat Thing/get size()\n"
                                                           "\tat Thing/where()\n\tat global$init()",
                                                           "Error\n\tat global$init()"}));
    }
}

// The domain memory opcodes read and write the ByteArray the domain holds,
// little-endian, and refuse addresses outside it.
TEST(Opcodes, DomainMemoryLoadsAndStoresStayInsideTheirBytes) {
    AbcBuilder abc;
    Code c;
    c.op(op::PushInt, abc.integer(0x1234)).op(op::PushByte).u8(0).op(op::Si16);
    c.op(op::PushDouble, abc.number(1.5)).op(op::PushByte).u8(4).op(op::Sf32);
    traced(c, abc, [&](Code& t) { t.op(op::PushByte).u8(1).op(op::Li8); });
    traced(c, abc, [&](Code& t) { t.op(op::PushByte).u8(0).op(op::Li16); });
    traced(c, abc, [&](Code& t) { t.op(op::PushByte).u8(4).op(op::Lf32); });
    traced(c, abc, [&](Code& t) { t.op(op::PushShort).u30(200).op(op::Sxi8); });
    traced(c, abc, [&](Code& t) { t.op(op::PushByte).u8(6).op(op::Li32); });
    scriptOf(abc, c);
    Machine m;
    kinolux::avm2::Object* bytes = m.vm.construct(m.vm.findClass(u"flash.utils.ByteArray"), {});
    m.vm.setPublic(kinolux::avm2::Value(bytes), u"length", kinolux::avm2::Value(8));
    m.vm.setDomainMemory(bytes);
    m.run(abc);
    EXPECT_EQ(m.host.traces, (std::vector<std::string>{"18", "4660", "1.5", "-56"}));
    ASSERT_EQ(m.host.errors.size(), 1u);
    EXPECT_NE(m.host.errors[0].find("RangeError: Error #1506"), std::string::npos) << m.host.errors[0];
}

// Vector.<T>(list) is a conversion: a new vector whose elements are coerced
// to T.
TEST(Traits, VectorConversionCoercesEachElement) {
    AbcBuilder abc;
    std::uint32_t vector = abc.name("__AS3__.vec", "Vector"), intName = abc.name("int");
    Code c;
    traced(c, abc, [&](Code& t) {
        t.op(op::GetLex, vector)
            .op(op::GetLex, intName)
            .op(op::ApplyType, 1)
            .op(op::PushNull)
            .op(op::PushDouble, abc.number(2.7))
            .op(op::PushString, abc.string("5"))
            .op(op::NewArray, 2)
            .op(op::Call, 1);
    });
    EXPECT_EQ(traceOf(abc, c), (std::vector<std::string>{"2,5"}));
}

TEST(Limits, EndlessLoopStopsAndScriptsStayOff) {
    AbcBuilder abc;
    Code c;
    c.op(op::Label).op(op::Jump).s24(-5);
    scriptOf(abc, c);
    kinolux::avm1::ScriptLimits limits;
    limits.timeLimitSeconds = 1;
    limits.actionsPerSecond = 10000;
    Machine m(limits);
    m.run(abc);
    ASSERT_EQ(m.host.errors.size(), 1u);
    EXPECT_EQ(m.host.errors[0], kinolux::avm1::LimitMessage::kTimeout);
    EXPECT_TRUE(m.vm.disabled());
}

TEST(Limits, EndlessRecursionIsACatchableStackOverflow) {
    AbcBuilder abc;
    std::uint32_t f = abc.name("f");
    std::uint32_t fn = abc.method();
    abc.body(fn, Code().op(op::FindPropStrict, f).op(op::CallPropVoid, f, 0).op(op::ReturnVoid));
    Code c;
    c.op(op::FindPropStrict, f).op(op::CallPropVoid, f, 0);
    scriptOf(abc, c, {{f, 1, 0, fn}});
    Machine m;
    m.run(abc);
    ASSERT_EQ(m.host.errors.size(), 1u);
    EXPECT_NE(m.host.errors[0].find("Error #1023"), std::string::npos) << m.host.errors[0];
    EXPECT_EQ(m.vm.callDepth(), 0);
}

TEST(Limits, MemoryBudgetStopsAGrowingScript) {
    AbcBuilder abc;
    Code c;
    c.op(op::Label).op(op::NewObject, 0).op(op::Pop).op(op::Jump).s24(-8);
    scriptOf(abc, c);
    kinolux::avm1::ScriptLimits limits;
    limits.maxMemoryBytes = 4 << 20;
    Machine m(limits);
    m.run(abc);
    ASSERT_EQ(m.host.errors.size(), 1u);
    EXPECT_EQ(m.host.errors[0], kinolux::avm1::LimitMessage::kMemory);
    EXPECT_LE(m.vm.memoryUsed(), (4u << 20) + 4096);
}

TEST(Traits, InterfacesDeclaredLaterBindTheirMethodsAndCirclesEnd) {
    AbcBuilder abc;
    std::uint32_t object = abc.name("Object"), implName = abc.name("Impl"), ifaceName = abc.name("IFace"),
                  circleA = abc.name("CircleA"), circleB = abc.name("CircleB"), speak = abc.name("speak"),
                  viaIface = abc.name("IFace", "speak");
    auto trivial = [&] {
        std::uint32_t m = abc.method();
        abc.body(m, Code().op(op::ReturnVoid));
        return m;
    };
    std::uint32_t implInit = abc.method(), implSpeak = abc.method(), ifaceSpeak = abc.method();
    abc.body(implInit, Code().op(op::GetLocal0).op(op::ConstructSuper, 0).op(op::ReturnVoid));
    abc.body(implSpeak, Code().op(op::PushString, abc.string("spoke")).op(op::ReturnValue));
    // Impl comes first in the file and names IFace, which the script makes after it.
    abc.addClass(implName, object, implInit, trivial(), {{speak, 1, 0, implSpeak}});
    abc.implement(0, {ifaceName, circleA});
    abc.addClass(ifaceName, 0, trivial(), trivial(), {{viaIface, 1, 0, ifaceSpeak}}, {}, 0x04);
    abc.addClass(circleA, 0, trivial(), trivial(), {}, {}, 0x04);
    abc.implement(2, {circleB});
    abc.addClass(circleB, 0, trivial(), trivial(), {}, {}, 0x04);
    abc.implement(3, {circleA});
    Code c;
    defineClass(c, object, 0, implName);
    c.op(op::GetScopeObject).u8(0).op(op::PushNull).op(op::NewClass, 1).op(op::InitProperty, ifaceName);
    traced(c, abc, [&](Code& t) {
        t.op(op::FindPropStrict, implName).op(op::ConstructProp, implName, 0).op(op::CallProperty, viaIface, 0);
    });
    traced(c, abc, [&](Code& t) {
        t.op(op::FindPropStrict, implName)
            .op(op::ConstructProp, implName, 0)
            .op(op::GetLex, ifaceName)
            .op(op::IsTypeLate);
    });
    EXPECT_EQ(traceOf(abc, c, {{implName, 4, 1, 0}, {ifaceName, 4, 2, 1}, {circleA, 4, 3, 2}, {circleB, 4, 4, 3}}),
              (std::vector<std::string>{"spoke", "true"}));
}

namespace {
// What the player reports about the error `code` throws and nothing catches.
std::string uncaughtErrorOf(const std::function<void(AbcBuilder&, Code&)>& code) {
    AbcBuilder abc;
    Code c;
    code(abc, c);
    scriptOf(abc, c);
    Machine m;
    m.run(abc);
    return m.host.errors.empty() ? "no error" : m.host.errors[0];
}
}  // namespace

TEST(Exceptions, MisusedValuesThrowThePlayersErrors) {
    struct Case {
        const char* expected;
        std::function<void(AbcBuilder&, Code&)> code;
    };
    const Case cases[] = {
        {"TypeError: Error #1040: The right-hand side of instanceof must be a class or function.",
         [](AbcBuilder&, Code& c) { c.op(op::PushByte).u8(0).op(op::PushByte).u8(0).op(op::InstanceOf); }},
        {"TypeError: Error #1010",
         [](AbcBuilder& abc, Code& c) {
             c.op(op::PushUndefined).op(op::GetLex, abc.name("Object")).op(op::InstanceOf);
         }},
        {"ReferenceError: Error #1120: Cannot delete property length on String.",
         [](AbcBuilder& abc, Code& c) {
             c.op(op::PushString, abc.string("s")).op(op::DeleteProperty, abc.name("length"));
         }},
        {"TypeError: Error #1009",
         [](AbcBuilder& abc, Code& c) { c.op(op::PushNull).op(op::DeleteProperty, abc.name("x")); }},
        {"ReferenceError: Error #1069: Property nothing not found on String and there is no default value.",
         [](AbcBuilder& abc, Code& c) {
             c.op(op::PushString, abc.string("s")).op(op::GetProperty, abc.name("nothing"));
         }},
        {"TypeError: Error #1006: nothing is not a function.",
         [](AbcBuilder& abc, Code& c) {
             c.op(op::PushString, abc.string("s")).op(op::CallProperty, abc.name("nothing"), 0);
         }},
        {"TypeError: Error #1009",
         [](AbcBuilder&, Code& c) { c.op(op::PushNull).op(op::PushByte).u8(1).op(op::AsTypeLate); }},
        {"TypeError: Error #1010",
         [](AbcBuilder& abc, Code& c) { c.op(op::PushString, abc.string("x")).op(op::PushUndefined).op(op::In); }},
    };
    for (const Case& test : cases) {
        std::string error = uncaughtErrorOf(test.code);
        EXPECT_NE(error.find(test.expected), std::string::npos) << error;
    }
}

TEST(Traits, ANewClassRunTwiceMakesTwoClassObjects) {
    AbcBuilder abc;
    std::uint32_t object = abc.name("Object"), name = abc.name("Twice"), again = abc.name("Again");
    std::uint32_t init = abc.method(), cinit = abc.method();
    abc.body(init, Code().op(op::GetLocal0).op(op::ConstructSuper, 0).op(op::ReturnVoid));
    Code classInit;
    traced(classInit, abc, [&](Code& t) { t.op(op::PushString, abc.string("class initialised")); });
    abc.body(cinit, classInit.op(op::ReturnVoid));
    abc.addClass(name, object, init, cinit);
    Code c;
    defineClass(c, object, 0, name);
    defineClass(c, object, 0, again);
    traced(c, abc, [&](Code& t) { t.op(op::GetLex, name).op(op::GetLex, again).op(op::StrictEquals); });
    traced(c, abc, [&](Code& t) {
        t.op(op::FindPropStrict, again).op(op::ConstructProp, again, 0).op(op::GetLex, again).op(op::IsTypeLate);
    });
    EXPECT_EQ(traceOf(abc, c, {{name, 4, 1, 0}, {again, 4, 2, 0}}),
              (std::vector<std::string>{"class initialised", "class initialised", "false", "true"}));
}
