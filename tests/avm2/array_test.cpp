// Arrays: missing elements, huge lengths and the order sort leaves.
#include <gtest/gtest.h>

#include <cmath>

#include "flash/avm1/limits.h"
#include "tests/avm2/builtins_fixture.h"

using namespace avm2test;
using kinolux::avm2::ArrayObject;
using kinolux::avm2::Multiname;
using kinolux::avm2::String;
using kinolux::avm2::Value;

namespace {

class Arrays : public Builtins {
protected:
    bool has(const Value& a, const char16_t* name) {
        return vm().hasProperty(a, Multiname::publicName(String(name)));
    }
    ArrayObject& storage(const Value& a) { return *static_cast<ArrayObject*>(a.object()); }
};

TEST_F(Arrays, HugeLengthsHoldOnlyTheElementsSet) {
    Value a = make(u"Array", {Value(4294967295.0)});
    EXPECT_EQ(text(vm().getPublic(a, u"length")), "4294967295");
    EXPECT_TRUE(storage(a).elements.empty());

    Value b = make(u"Array");
    vm().setPublic(b, u"4294967294", Value(String(u"hi")));
    vm().setPublic(b, u"2", Value(1));
    EXPECT_EQ(text(vm().getPublic(b, u"length")), "4294967295");
    EXPECT_EQ(text(vm().getPublic(b, u"4294967294")), "hi");
    EXPECT_LE(storage(b).elements.size(), 3u);

    // Cutting the length drops what lies past it.
    vm().setPublic(b, u"length", Value(3));
    EXPECT_FALSE(has(b, u"4294967294"));
    EXPECT_EQ(text(b), ",,1");
    vm().setPublic(b, u"length", Value(4000000000.0));
    EXPECT_EQ(text(vm().getPublic(b, u"3999999999")), "undefined");
}

TEST_F(Arrays, MissingElementsAreNoPropertiesButReadAsUndefined) {
    Value a = make(u"Array", {Value(3)});
    EXPECT_FALSE(has(a, u"0"));
    vm().setPublic(a, u"1", Value());
    EXPECT_TRUE(has(a, u"1"));  // undefined set is still an element
    Value b = make(u"Array", {Value(1), Value(2), Value(3)});
    EXPECT_TRUE(vm().deleteProperty(b, Multiname::publicName(String(u"1"))));
    EXPECT_FALSE(has(b, u"1"));
    EXPECT_EQ(text(vm().getPublic(b, u"length")), "3");
    EXPECT_EQ(text(call(b, u"hasOwnProperty", {Value(String(u"1"))})), "false");
    // What a method takes out of a gap is plain undefined: put back, it is an element.
    Value c = make(u"Array");
    call(c, u"push", {call(make(u"Array", {Value(1)}), u"pop")});
    EXPECT_TRUE(has(c, u"0"));
}

TEST_F(Arrays, WalkingAHugeArrayStopsTheScript) {
    Value a = make(u"Array", {Value(4294967295.0)});
    EXPECT_THROW(call(a, u"join"), kinolux::avm1::ScriptAbort);
    // A few elements far apart are walked as a short array.
    Value b = make(u"Array");
    vm().setPublic(b, u"5000", Value(String(u"x")));
    EXPECT_EQ(text(call(b, u"indexOf", {Value(String(u"x"))})), "5000");
}

TEST_F(Arrays, CopiesReadMissingElementsThroughThePrototype) {
    Value proto = vm().getPublic(global(u"Array"), u"prototype");
    vm().setPublic(proto, u"1", Value(String(u"p")));
    Value a = make(u"Array", {Value(3)});
    vm().setPublic(a, u"0", Value(String(u"a")));
    Value copy = call(a, u"slice");
    vm().deleteProperty(proto, Multiname::publicName(String(u"1")));
    // The copy holds what the read gave; the original still has a gap.
    EXPECT_EQ(text(copy), "a,p,");
    EXPECT_EQ(text(a), "a,,");
    EXPECT_TRUE(has(copy, u"2"));
}

TEST_F(Arrays, VectorsKeepTheirElementTypeThroughMapAndSplice) {
    auto& ints = vm().vectorClassFor(global(u"uint"));
    Value v = vm().constructValue(Value(static_cast<kinolux::avm2::Object*>(ints.object)), {});
    call(v, u"push", {Value(1), Value(2), Value(3), Value(4)});
    call(v, u"splice", {Value(1), Value(0), Value(-1)});
    EXPECT_EQ(text(v), "1,4294967295,2,3,4");
    // A negative count is where to stop, from the end.
    EXPECT_EQ(text(call(v, u"splice", {Value(1), Value(-2)})), "4294967295,2");
    EXPECT_EQ(text(v), "1,3,4");
    Value roots = call(v, u"map", {vm().getPublic(global(u"Math"), u"sqrt")});
    EXPECT_EQ(text(roots), "1,1,2");
}

TEST_F(Arrays, SortPutsUndefinedThenMissingElementsLast) {
    Value a = make(u"Array", {Value(3), Value(), Value(std::nan("")), Value(1)});
    vm().setPublic(a, u"5", Value(2));  // index 4 is missing
    EXPECT_EQ(text(call(a, u"sort", {Value(16)})), "1,2,3,NaN,,");
    EXPECT_TRUE(has(a, u"4"));
    EXPECT_FALSE(has(a, u"5"));
    EXPECT_EQ(text(call(a, u"sort", {Value(16 | 2)})), "NaN,3,2,1,,");
    // Unique sort looks only at the elements that are there.
    Value b = make(u"Array", {Value(2), Value(), Value(1), Value()});
    EXPECT_EQ(text(call(b, u"sort", {Value(4 | 16)})), "1,2,,");
}

TEST_F(Arrays, OldMoviesSortSmallNegativeIntegersAfterPositiveOnes) {
    // The player of SWF 10 and before compared numbers it held as 29-bit
    // integers by their bits; movies rely on the order that gave.
    Value a = make(u"Array", {Value(287000000), Value(-273000000), Value(-270000000), Value(87000000),
                              Value(-245000000)});
    EXPECT_EQ(text(call(a, u"sort", {Value(16)})), "-273000000,-270000000,87000000,-245000000,287000000");
}

TEST_F(Arrays, NewOfWhatMakesNoObjectsNamesItInOldMovies) {
    vm().setSwfVersion(10);
    EXPECT_NE(thrown([&] { vm().constructValue(Value(1), {}); }).find("Error #1115: value is not a constructor"),
              std::string::npos);
    vm().setSwfVersion(11);
    EXPECT_NE(thrown([&] { vm().constructValue(Value(1), {}); }).find("Error #1007"), std::string::npos);
}

}  // namespace
