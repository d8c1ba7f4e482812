// Conversions between values, and numbers printed and parsed as the Flash
// player prints and parses them.
#include <cmath>

#include <gtest/gtest.h>

#include "flash/avm1/case_mapping.h"
#include "flash/avm1/number_format.h"
#include "flash/avm1/value.h"

namespace kinolux::avm1 {
namespace {

std::string format(double n) { return formatNumber(n).toUtf8(); }

TEST(NumberFormat, PrintsFifteenSignificantDigitsWithThePlayersExponentForms) {
    EXPECT_EQ(format(0), "0");
    EXPECT_EQ(format(-0.0), "0");
    EXPECT_EQ(format(42), "42");
    EXPECT_EQ(format(-2147483648.0), "-2147483648");
    EXPECT_EQ(format(0.1 + 0.2), "0.3");
    EXPECT_EQ(format(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(format(-2.5), "-2.5");
    EXPECT_EQ(format(123456789012345.0), "123456789012345");
    EXPECT_EQ(format(1e15), "1e+15");
    EXPECT_EQ(format(1e21), "1e+21");
    EXPECT_EQ(format(1.5e-7), "1.5e-7");
    EXPECT_EQ(format(-1.5e-7), "-1.5e-7");
    EXPECT_EQ(format(0.001234), "0.001234");
    EXPECT_EQ(format(0.00001), "0.00001");
    EXPECT_EQ(format(4294967296.0), "4294967296");
    EXPECT_EQ(format(NAN), "NaN");
    EXPECT_EQ(format(INFINITY), "Infinity");
    EXPECT_EQ(format(-INFINITY), "-Infinity");
    EXPECT_EQ(format(1.7976931348623157e308), "1.79769313486231e+308");
    EXPECT_EQ(format(5e-324), "4.94065645841247e-324");
}

TEST(NumberFormat, RadixFormsTruncateToThirtyTwoBits) {
    EXPECT_EQ(formatNumberRadix(255, 16).toUtf8(), "ff");
    EXPECT_EQ(formatNumberRadix(-255, 16).toUtf8(), "-ff");
    EXPECT_EQ(formatNumberRadix(5.9, 2).toUtf8(), "101");
    EXPECT_EQ(formatNumberRadix(NAN, 16).toUtf8(), "-(0000000");  // the player negates in 32 bits
    EXPECT_EQ(formatNumberRadix(-1e31, 2).toUtf8(), "-/0000000000000000000000000000000");
}

TEST(NumberParse, FollowsTheSwfVersion) {
    EXPECT_EQ(stringToNumber(u"12.5", 7), 12.5);
    EXPECT_EQ(stringToNumber(u"  -3e2", 7), -300);
    EXPECT_TRUE(std::isnan(stringToNumber(u"12abc", 7)));
    EXPECT_EQ(stringToNumber(u"12abc", 4), 12);  // SWF 4 reads a prefix
    EXPECT_EQ(stringToNumber(u"abc", 4), 0);     // and falls back to 0
    EXPECT_TRUE(std::isnan(stringToNumber(u"", 7)));
    EXPECT_EQ(stringToNumber(u"0x1F", 6), 31);
    EXPECT_TRUE(std::isnan(stringToNumber(u"0x1F", 5)));
    EXPECT_TRUE(std::isnan(stringToNumber(u"-0x10", 6)));  // the player's bug
    EXPECT_EQ(stringToNumber(u"017", 6), 15);
    EXPECT_EQ(stringToNumber(u"017", 5), 17);
    EXPECT_EQ(stringToNumber(u"019", 6), 19);
    EXPECT_EQ(stringToNumber(u"0xFFFFFFFF", 6), -1);  // wraps into 32 bits
}

TEST(Conversions, UndefinedAndBooleansDependOnTheVersion) {
    EXPECT_EQ(primitiveToString(Value(), 6).toUtf8(), "");
    EXPECT_EQ(primitiveToString(Value(), 7).toUtf8(), "undefined");
    EXPECT_EQ(primitiveToString(Value(true), 4).toUtf8(), "1");
    EXPECT_EQ(primitiveToString(Value(true), 5).toUtf8(), "true");
    EXPECT_EQ(primitiveToNumber(Value(), 6), 0);
    EXPECT_TRUE(std::isnan(primitiveToNumber(Value(), 7)));
    EXPECT_TRUE(std::isnan(primitiveToNumber(Value::null(), 7)));
    EXPECT_TRUE(toBoolean(Value(String(u"abc")), 7));
    EXPECT_FALSE(toBoolean(Value(String(u"abc")), 6));  // through Number(): NaN
    EXPECT_TRUE(toBoolean(Value(String(u"2")), 6));
    EXPECT_FALSE(toBoolean(Value(NAN), 8));
}

TEST(Conversions, IntegerWrapping) {
    EXPECT_EQ(toInt32(4294967295.0), -1);
    EXPECT_EQ(toInt32(2147483648.0), -2147483648);
    EXPECT_EQ(toInt32(-1.9), -1);
    EXPECT_EQ(toInt32(NAN), 0);
    EXPECT_EQ(toUint32(-1), 4294967295u);
    EXPECT_EQ(toUint16(65537), 1);
}

TEST(Strings, DecodeTheMoviesEncodingAndFoldCase) {
    EXPECT_EQ(String::fromUtf8("h\xC3\xA9").view(), u"hé");
    EXPECT_EQ(String::fromUtf8("a\xFF").view(), u"a\uFFFD");
    EXPECT_EQ(String::fromWindows1252("\x80").view(), u"\u20AC");
    EXPECT_TRUE(String(u"Hello").equalsIgnoreCase(u"hELLO"));
    EXPECT_EQ(String(u"ABC").foldedHash(), String(u"abc").foldedHash());
    EXPECT_EQ(String(u"\U0001F600").toUtf8(), "\xF0\x9F\x98\x80");
}

TEST(CaseMapping, FollowsThePlayersTable) {
    EXPECT_EQ(toLowerCase(u'A'), u'a');
    EXPECT_EQ(toUpperCase(u'z'), u'Z');
    EXPECT_EQ(toLowerCase(u'\u0100'), u'\u0101');  // Latin Extended-A pairs
    EXPECT_EQ(toUpperCase(u'\u0101'), u'\u0100');
    EXPECT_EQ(toLowerCase(u'\u0416'), u'\u0436');  // Cyrillic
    EXPECT_EQ(toUpperCase(u'\u0451'), u'\u0401');
    EXPECT_EQ(toLowerCase(u'\u03A3'), u'\u03C3');  // Greek
    EXPECT_EQ(toUpperCase(u'\u03C2'), u'\u03A2');  // final sigma: the player's quirk
    EXPECT_EQ(toLowerCase(u'\u10A0'), u'\u10D0');  // Georgian capitals
    EXPECT_EQ(toUpperCase(u'\u1F80'), u'\u1F88');  // Greek extended, simple mapping
    EXPECT_EQ(toUpperCase(u'\uFF41'), u'\uFF21');  // fullwidth
    EXPECT_EQ(toLowerCase(u'\u0130'), u'i');
    // Left alone: no single-character mapping, or newer than the table.
    EXPECT_EQ(toUpperCase(u'\u00DF'), u'\u00DF');
    EXPECT_EQ(toUpperCase(u'\u00B5'), u'\u00B5');
    EXPECT_EQ(toLowerCase(u'\u1E9E'), u'\u1E9E');
    EXPECT_EQ(toLowerCase(u'1'), u'1');
    EXPECT_EQ(toUpperCase(u'\uFFFF'), u'\uFFFF');
}

}  // namespace
}  // namespace kinolux::avm1
