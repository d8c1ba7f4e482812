// ByteArray.writeObject and readObject: the AMF0 and AMF3 bytes the player
// writes, values that come back as they went, and hostile streams that
// end in the player's errors.
#include <string>
#include <vector>

#include "tests/avm2/builtins_fixture.h"

using namespace avm2test;

namespace {

class Amf : public Builtins {
protected:
    Value bytes(int encoding = 3) {
        Value b = make(u"flash.utils.ByteArray");
        vm().setPublic(b, u"objectEncoding", Value(encoding));
        return b;
    }
    Value bytesOf(const std::vector<int>& raw, int encoding = 3) {
        Value b = bytes(encoding);
        for (int c : raw) call(b, u"writeByte", {Value(c)});
        vm().setPublic(b, u"position", Value(0));
        return b;
    }
    std::vector<int> raw(const Value& b) {
        std::vector<int> out;
        int n = int(vm().toNumber(vm().getPublic(b, u"length")));
        for (int i = 0; i < n; ++i) out.push_back(int(vm().toNumber(vm().getPublic(b, String::fromAscii(std::to_string(i)).view()))));
        return out;
    }
    std::vector<int> written(const Value& v, int encoding = 3) {
        Value b = bytes(encoding);
        call(b, u"writeObject", {v});
        return raw(b);
    }
    Value roundTrip(const Value& v, int encoding) {
        Value b = bytes(encoding);
        call(b, u"writeObject", {v});
        vm().setPublic(b, u"position", Value(0));
        Value back = call(b, u"readObject");
        EXPECT_EQ(text(vm().getPublic(b, u"bytesAvailable")), "0");
        return back;
    }
    Value object(std::initializer_list<std::pair<const char16_t*, Value>> members) {
        Value o = make(u"Object");
        for (const auto& [name, v] : members) vm().setPublic(o, name, v);
        return o;
    }
};

}  // namespace

TEST_F(Amf, Amf3WritesThePlayersBytes) {
    EXPECT_EQ(written(object({{u"first", Value(String(u"Hello"))}})),
              (std::vector<int>{10, 11, 1, 11, 'f', 'i', 'r', 's', 't', 6, 11, 'H', 'e', 'l', 'l', 'o', 1}));
    // Whole numbers within 29 bits are integers, others (negative zero too) doubles.
    EXPECT_EQ(written(Value(-5)), (std::vector<int>{4, 255, 255, 255, 251}));
    EXPECT_EQ(written(Value(-0.0)), (std::vector<int>{5, 128, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(written(Value(1073741824.0)), (std::vector<int>{5, 65, 208, 0, 0, 0, 0, 0, 0}));
    // A repeated string is written once, then by reference; holes end the dense part.
    Value list = make(u"Array");
    call(list, u"push", {Value(String(u"ab")), Value(String(u"ab"))});
    vm().setPublic(list, u"3", Value(7));
    EXPECT_EQ(written(list), (std::vector<int>{9, 5, 3, '3', 4, 7, 1, 6, 5, 'a', 'b', 6, 2}));
    Value inner = make(u"flash.utils.ByteArray");
    call(inner, u"writeByte", {Value(9)});
    EXPECT_EQ(written(inner), (std::vector<int>{12, 3, 9}));
    // A vector of objects writes null for undefined.
    auto& anyVector = vm().vectorClassFor(Value::null());
    Value length[] = {Value(1)};
    Value vector = vm().constructValue(Value(static_cast<kinolux::avm2::Object*>(anyVector.object)), length);
    EXPECT_EQ(written(vector), (std::vector<int>{16, 3, 0, 1, 1}));
}

TEST_F(Amf, ValuesComeBackInBothEncodings) {
    for (int encoding : {0, 3}) {
        SCOPED_TRACE(encoding);
        Value list = make(u"Array");
        call(list, u"push", {Value(1.5), Value(String(u"two")), Value(true), Value::null()});
        Value o = object({{u"list", list}, {u"n", Value(-268435457.0)}});
        Value back = roundTrip(o, encoding);
        EXPECT_EQ(text(vm().getPublic(back, u"list")), "1.5,two,true,");
        EXPECT_EQ(text(vm().getPublic(back, u"n")), "-268435457");
        EXPECT_EQ(text(roundTrip(Value(String(u"h\u00e9")), encoding)), "h\xc3\xa9");
        EXPECT_EQ(text(roundTrip(Value(), encoding)), "undefined");
    }
}

TEST_F(Amf, AnObjectSeenTwiceComesBackAsOneObject) {
    for (int encoding : {0, 3}) {
        SCOPED_TRACE(encoding);
        Value o = object({{u"x", Value(1)}});
        vm().setPublic(o, u"self", o);
        Value back = roundTrip(object({{u"a", o}, {u"b", o}}), encoding);
        Value a = vm().getPublic(back, u"a");
        EXPECT_TRUE(kinolux::avm2::Vm::strictEquals(a, vm().getPublic(back, u"b")));
        EXPECT_TRUE(kinolux::avm2::Vm::strictEquals(a, vm().getPublic(a, u"self")));
    }
}

TEST_F(Amf, HostileStreamsEndInThePlayersErrors) {
    // Every prefix of a good stream is a truncated one.
    Value o = object({{u"s", Value(String(u"text"))}, {u"d", Value(2.5)}});
    std::vector<int> good = written(o);
    for (std::size_t n = 0; n < good.size(); ++n) {
        std::vector<int> cut(good.begin(), good.begin() + std::ptrdiff_t(n));
        EXPECT_NE(thrown([&] { call(bytesOf(cut), u"readObject"); }).find("Error #2030"), std::string::npos) << n;
    }
    // References to nothing, counts the stream cannot hold, unknown markers.
    for (const auto& bad : std::vector<std::vector<int>>{{6, 8},
                                                         {10, 5},
                                                         {9, 0},
                                                         {9, 0xFF, 0xFF, 0xFF, 0x7F, 1},
                                                         {13, 0xBF, 0xFF, 0xFF, 0xFF, 0},
                                                         {0x42}}) {
        EXPECT_NE(thrown([&] { call(bytesOf(bad), u"readObject"); }).find("Error #2006"), std::string::npos);
    }
    EXPECT_NE(thrown([&] { call(bytesOf({7, 0, 3}, 0), u"readObject"); }).find("Error #2006"), std::string::npos);
    EXPECT_NE(thrown([&] { call(bytesOf({8, 0, 0, 0, 0, 0, 0, 5}, 0), u"readObject"); }).find("Error #2006"),
              std::string::npos);
    // Nesting deep enough to exhaust a native stack is refused first.
    std::vector<int> deep;
    for (int i = 0; i < 100000; ++i) deep.insert(deep.end(), {9, 3, 1});
    EXPECT_NE(thrown([&] { call(bytesOf(deep), u"readObject"); }).find("Error #1023"), std::string::npos);
}

TEST_F(Amf, ObjectEncodingTakesOnlyTheTwoVersions) {
    Value b = make(u"flash.utils.ByteArray");
    EXPECT_EQ(text(vm().getPublic(b, u"objectEncoding")), "3");
    EXPECT_NE(thrown([&] { vm().setPublic(b, u"objectEncoding", Value(1)); }).find("Error #2008"), std::string::npos);
    vm().setPublic(global(u"flash.utils.ByteArray"), u"defaultObjectEncoding", Value(0));
    EXPECT_EQ(text(vm().getPublic(make(u"flash.utils.ByteArray"), u"objectEncoding")), "0");
}
