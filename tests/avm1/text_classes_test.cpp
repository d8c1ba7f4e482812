// TextFormat's fields as scripts store them (each coerced on the way in,
// by the movie's version) and TextSnapshot over a clip's static text.
#include <gtest/gtest.h>

#include "tests/avm1/script.h"

namespace kinolux::avm1::test {
namespace {

// The field after `value` is stored into a fresh TextFormat.
std::string stored(Script& s, std::u16string_view field, const Value& value) {
    Value f = s.make(u"TextFormat");
    s.set(f, field, value);
    return s.text(s.get(f, field));
}

TEST(TextFormatClass, SettersRoundNumbersByVersion) {
    Script v8(8), v7(7);
    EXPECT_EQ(stored(v8, u"size", Value(2.5)), "2") << "halves round to even";
    EXPECT_EQ(stored(v8, u"size", Value(3.5)), "4");
    EXPECT_EQ(stored(v7, u"size", Value(3.5)), "3") << "version 7 cuts the fraction";
    EXPECT_EQ(stored(v8, u"size", Value(4294967295.0)), "-2147483648") << "what does not fit";
    EXPECT_EQ(stored(v8, u"leftMargin", Value(-3.0)), "0") << "margins never go below zero";
    EXPECT_EQ(stored(v8, u"indent", Value(-3.0)), "-3");
    EXPECT_EQ(stored(v7, u"indent", Value(-3.0)), "0");
    EXPECT_EQ(stored(v8, u"color", Value(-3.5)), "4294967293") << "colours wrap as unsigned";
    EXPECT_EQ(stored(v8, u"letterSpacing", Value(-2.5)), "-2.5") << "spacing keeps its fraction";
    Value stops = v8.array({Value(2.5), Value(-3.5)});
    EXPECT_EQ(stored(v8, u"tabStops", stops), "2,-4");
}

TEST(TextFormatClass, NothingClearsAFieldAndOtherTypesConvert) {
    Script s;
    Value f = s.make(u"TextFormat", {Value(String(u"Arial")), Value(10.9), Value(-1)});
    EXPECT_EQ(s.text(s.get(f, u"size")), "10") << "the constructor cuts";
    EXPECT_EQ(s.text(s.get(f, u"color")), "4294967295");
    EXPECT_EQ(s.text(s.get(f, u"bold")), "null");
    s.set(f, u"font", Value::null());
    EXPECT_EQ(s.text(s.get(f, u"font")), "null");
    s.set(f, u"bold", Value(String(u"yes")));
    EXPECT_EQ(s.text(s.get(f, u"bold")), "true");
    s.set(f, u"align", Value(String(u"CENTER")));
    s.set(f, u"align", Value(String(u"sideways")));
    s.set(f, u"align", Value::null());
    EXPECT_EQ(s.text(s.get(f, u"align")), "center") << "unknown names and nothing keep the alignment";
    std::u16string longName(80, u'x');
    s.set(f, u"font", Value(String(longName)));
    EXPECT_EQ(s.text(s.get(f, u"font")).size(), 64u);
}

TEST(TextFormatClass, TextExtentComesFromTheHost) {
    Script s;
    Value f = s.make(u"TextFormat");
    Value extent = s.call(f, u"getTextExtent", {Value(String(u"abc"))});
    EXPECT_EQ(s.text(s.get(extent, u"width")), "0") << "the fake host measures nothing";
    EXPECT_EQ(s.text(s.get(extent, u"textFieldHeight")), "0");
    EXPECT_EQ(s.text(s.call(f, u"getTextExtent")), "undefined");
}

TEST(TextSnapshotClass, ReadsAndSearchesTheClipsStaticText) {
    Script s;
    s.m.host.root.staticCharacters = String(u"ABCDEFGHIJK");
    Value root(s.m.vm.scriptObjectOf(s.m.host.root));
    Value snapshot = s.make(u"TextSnapshot", {root});
    s.m.host.root.staticCharacters = String(u"changed later");
    EXPECT_EQ(s.callText(snapshot, u"getCount"), "11") << "the text as it stood";
    EXPECT_EQ(s.callText(snapshot, u"getText", {Value(2), Value(5)}), "CDE");
    EXPECT_EQ(s.callText(snapshot, u"getText", {Value(-4), Value(100)}), "ABCDEFGHIJK");
    auto find = [&](double from, std::u16string_view what, bool caseSensitive) {
        return s.callText(snapshot, u"findText", {Value(from), Value(String(what)), Value(caseSensitive)});
    };
    EXPECT_EQ(find(0, u"EF", true), "4");
    EXPECT_EQ(find(5, u"EF", true), "-1") << "searching starts at the index";
    EXPECT_EQ(find(0, u"eF", true), "-1");
    EXPECT_EQ(find(0, u"eF", false), "4");
    EXPECT_EQ(find(0, u"", false), "-1");
    EXPECT_EQ(find(-1, u"A", false), "-1");
    EXPECT_EQ(s.callText(snapshot, u"findText", {Value(0), Value(String(u"A"))}), "undefined")
        << "two arguments are not enough";

    Value ofNothing = s.make(u"TextSnapshot", {Value(3)});
    EXPECT_EQ(s.callText(ofNothing, u"getCount"), "undefined");
}

}  // namespace
}  // namespace kinolux::avm1::test
