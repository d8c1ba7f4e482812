// ByteArray and JSON, called as scripts call them.
#include <cmath>

#include "tests/avm2/builtins_fixture.h"

using namespace avm2test;

namespace {

class ByteArrays : public Builtins {
protected:
    Value bytes() { return make(u"flash.utils.ByteArray"); }
    void setPublic(const Value& target, const char16_t* name, Value v) { vm().setPublic(target, name, v); }
};

using Json = Builtins;

}  // namespace

TEST_F(ByteArrays, NumbersRoundTripInBothByteOrders) {
    Value b = bytes();
    call(b, u"writeInt", {Value(-10)});
    call(b, u"writeShort", {Value(40)});
    call(b, u"writeDouble", {Value(6.5)});
    call(b, u"writeFloat", {Value(3)});
    call(b, u"writeByte", {Value(255)});
    EXPECT_EQ(text(vm().getPublic(b, u"length")), "19");
    EXPECT_EQ(text(vm().getPublic(b, u"0")), "255");  // big endian: the sign byte first
    setPublic(b, u"position", Value(0));
    EXPECT_EQ(text(call(b, u"readInt")), "-10");
    EXPECT_EQ(text(call(b, u"readUnsignedShort")), "40");
    EXPECT_EQ(text(call(b, u"readDouble")), "6.5");
    EXPECT_EQ(text(call(b, u"readFloat")), "3");
    EXPECT_EQ(text(call(b, u"readByte")), "-1");
    EXPECT_NE(thrown([&] { call(b, u"readByte"); }).find("Error #2030"), std::string::npos);

    Value little = bytes();
    setPublic(little, u"endian", Value(String(u"littleEndian")));
    call(little, u"writeShort", {Value(0x0102)});
    EXPECT_EQ(text(vm().getPublic(little, u"0")), "2");
    EXPECT_NE(thrown([&] { setPublic(little, u"endian", Value(String(u"middle"))); }).find("Error #2008"),
              std::string::npos);
}

TEST_F(ByteArrays, TextReadsStopAtTheirLengthAndSkipAByteOrderMark) {
    Value b = bytes();
    call(b, u"writeUTF", {Value(String(u"h\u00e9llo"))});
    EXPECT_EQ(text(vm().getPublic(b, u"length")), "8");
    setPublic(b, u"position", Value(0));
    EXPECT_EQ(text(call(b, u"readUTF")), "h\xc3\xa9llo");
    Value bom = bytes();
    for (int c : {0xEF, 0xBB, 0xBF, int('h'), int('i'), 0, int('x')}) call(bom, u"writeByte", {Value(c)});
    EXPECT_EQ(text(bom), "hi");
    setPublic(bom, u"position", Value(3));
    EXPECT_EQ(text(call(bom, u"readUTFBytes", {Value(2)})), "hi");
    EXPECT_EQ(text(vm().getPublic(bom, u"bytesAvailable")), "2");
}

TEST_F(ByteArrays, CompressionRoundTripsAndRefusesGarbage) {
    Value b = bytes();
    for (int i = 0; i < 100; ++i) call(b, u"writeByte", {Value(i % 7)});
    for (const char16_t* algorithm : {u"zlib", u"deflate"}) {
        call(b, u"compress", {Value(String(algorithm))});
        EXPECT_LT(vm().toNumber(vm().getPublic(b, u"length")), 100);
        call(b, u"uncompress", {Value(String(algorithm))});
        EXPECT_EQ(text(vm().getPublic(b, u"length")), "100");
        EXPECT_EQ(text(vm().getPublic(b, u"position")), "0");
        EXPECT_EQ(text(vm().getPublic(b, u"13")), "6");
    }
    Value junk = bytes();
    call(junk, u"writeUTFBytes", {Value(String(u"not compressed at all"))});
    EXPECT_NE(thrown([&] { call(junk, u"uncompress"); }).find("Error #2058"), std::string::npos);
}

TEST_F(ByteArrays, GrowingPastTheMemoryBudgetStopsTheScript) {
    kinolux::avm1::ScriptLimits limits;
    limits.maxMemoryBytes = 1 << 20;
    Machine small(limits);
    Value b = small.vm.constructValue(
        Value(static_cast<kinolux::avm2::Object*>(small.vm.findClass(u"flash.utils.ByteArray")->object)), {});
    EXPECT_THROW(small.vm.setPublic(b, u"length", Value(double(8 << 20))), kinolux::avm1::ScriptAbort);
}

TEST_F(Json, ParsesWithAReviverAndRefusesBadInput) {
    Value json = global(u"JSON");
    Value v = call(json, u"parse", {Value(String(u" {\"a\": [1, 2.5e1, \"x\\u0041\"], \"b\": {\"c\": null}} "))});
    EXPECT_EQ(text(vm().getPublic(vm().getPublic(v, u"a"), u"1")), "25");
    EXPECT_EQ(text(vm().getPublic(vm().getPublic(v, u"a"), u"2")), "xA");
    EXPECT_TRUE(vm().getPublic(vm().getPublic(v, u"b"), u"c").isNull());
    for (const char16_t* bad : {u"{a:1}", u"[1,]", u"01", u"\"open", u"[1] 2", u""})
        EXPECT_NE(thrown([&] { call(json, u"parse", {Value(String(bad))}); }).find("SyntaxError: Error #1132"),
                  std::string::npos);
    Value doubler = vm().newNativeFunction(
        [](kinolux::avm2::Vm&, const Value&, std::span<const Value> args) {
            return args[1].isNumber() ? Value(args[1].number() * 2) : args[1];
        },
        String(u"doubler"));
    EXPECT_EQ(text(call(json, u"stringify", {call(json, u"parse", {Value(String(u"[1,[2]]")), doubler})})), "[2,[4]]");
}

TEST_F(Json, StringifiesWithReplacersIndentAndRefusesCycles) {
    Value json = global(u"JSON");
    Value o = call(json, u"parse", {Value(String(u"{\"a\":1,\"b\":[true,null],\"c\":\"q\\\"\\n\"}"))});
    EXPECT_EQ(text(call(json, u"stringify", {o})), R"({"a":1,"b":[true,null],"c":"q\"\n"})");
    EXPECT_EQ(text(call(json, u"stringify", {o, make(u"Array", {Value(String(u"c")), Value(String(u"a"))})})),
              R"({"c":"q\"\n","a":1})");
    EXPECT_EQ(text(call(json, u"stringify", {vm().getPublic(o, u"b"), Value::null(), Value(2)})),
              "[\n  true,\n  null\n]");
    EXPECT_EQ(text(call(json, u"stringify", {Value(NAN)})), "null");
    vm().setPublic(o, u"self", o);
    EXPECT_NE(thrown([&] { call(json, u"stringify", {o}); }).find("TypeError: Error #1129"), std::string::npos);
    EXPECT_NE(thrown([&] { call(json, u"stringify", {Value(1), Value(3)}); }).find("Error #1131"), std::string::npos);
}

TEST_F(Json, DeepNestingEndsInAnErrorNotACrash) {
    std::u16string deep(100000, u'[');
    deep += std::u16string(100000, u']');
    EXPECT_NE(thrown([&] { call(global(u"JSON"), u"parse", {Value(String(deep))}); }).find("Error #1023"),
              std::string::npos);
}
