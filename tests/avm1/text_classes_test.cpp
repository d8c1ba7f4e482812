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
    Value root = s.root();
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

TEST(StyleSheetClass, ParsedRulesReplaceStylesOfTheirNameAndBadTextChangesNothing) {
    Script s;
    Value sheet = s.make(u"TextField.StyleSheet");
    EXPECT_EQ(
        s.callText(sheet, u"parseCSS",
                   {Value(String(u"A, .Note { color: #FF0000; font-size: 12px }\n/* x */ b { font-weight: bold }"))}),
        "true");
    auto sortedNames = [&] { return s.text(s.call(s.call(sheet, u"getStyleNames"), u"sort")); };
    EXPECT_EQ(sortedNames(), ".note,a,b") << "selectors are kept in lower case";
    Value a = s.call(sheet, u"getStyle", {Value(String(u"a"))});
    EXPECT_EQ(s.text(s.get(a, u"fontSize")), "12px ") << "names in script spelling, values keep blanks before the end";
    EXPECT_EQ(s.text(s.get(a, u"color")), "#FF0000");
    s.set(a, u"color", Value(String(u"#00FF00")));
    EXPECT_EQ(s.text(s.get(s.call(sheet, u"getStyle", {Value(String(u"A"))}), u"color")), "#FF0000")
        << "getStyle hands out a copy";

    EXPECT_EQ(s.callText(sheet, u"parseCSS", {Value(String(u"a { font-style: italic }"))}), "true");
    Value replaced = s.call(sheet, u"getStyle", {Value(String(u"a"))});
    EXPECT_EQ(s.text(s.get(replaced, u"color")), "undefined") << "a rule takes the place of the old style";
    EXPECT_EQ(s.text(s.get(replaced, u"fontStyle")), "italic ");

    EXPECT_EQ(s.callText(sheet, u"parseCSS", {Value(String(u"c { color: red } d has no braces"))}), "false");
    EXPECT_EQ(s.text(s.call(sheet, u"getStyle", {Value(String(u"c"))})), "null") << "a spoilt text adds nothing";
    EXPECT_EQ(s.callText(sheet, u"parseCSS", {Value(String(u"e { color }"))}), "false");

    s.call(sheet, u"setStyle", {Value(String(u"b")), Value::null()});
    EXPECT_EQ(sortedNames(), ".note,a");
    s.call(sheet, u"clear");
    EXPECT_EQ(sortedNames(), "");
}

TEST(StyleSheetClass, TransformMakesATextFormatFromAStyle) {
    Script s;
    Value sheet = s.make(u"TextField.StyleSheet");
    Value style = s.object({{u"color", Value(String(u"#00ff80 "))},
                            {u"fontSize", Value(String(u"14px"))},
                            {u"fontWeight", Value(String(u"bold"))},
                            {u"textDecoration", Value(String(u"underline"))},
                            {u"textAlign", Value(String(u"center"))},
                            {u"marginLeft", Value(String(u"5"))}});
    Value format = s.call(sheet, u"transform", {style});
    EXPECT_EQ(s.text(s.get(format, u"color")), "65408");
    EXPECT_EQ(s.text(s.get(format, u"size")), "14");
    EXPECT_EQ(s.text(s.get(format, u"bold")), "true");
    EXPECT_EQ(s.text(s.get(format, u"italic")), "null") << "what the style leaves out stays unset";
    EXPECT_EQ(s.text(s.get(format, u"underline")), "true");
    EXPECT_EQ(s.text(s.get(format, u"align")), "center");
    EXPECT_EQ(s.text(s.get(format, u"leftMargin")), "5");
    EXPECT_EQ(s.text(s.call(sheet, u"transform", {Value::null()})), "null");
}

TEST(StyleSheetClass, TransformReadsValuesAsThePlayerDoesOddOnesIncluded) {
    Script s;
    Value sheet = s.make(u"TextField.StyleSheet");
    auto transformed = [&](const char16_t* property, const char16_t* value, const char16_t* field) {
        Value format = s.call(sheet, u"transform", {s.object({{property, Value(String(value))}})});
        return s.text(s.get(format, field));
    };
    EXPECT_EQ(transformed(u"color", u"#12", u"color"), "18") << "fewer than six digits are a smaller number";
    EXPECT_EQ(transformed(u"color", u"#1234567", u"color"), "0") << "more than six, or no #, is black";
    EXPECT_EQ(transformed(u"color", u"", u"color"), "null") << "empty text sets nothing";
    EXPECT_EQ(transformed(u"fontSize", u" 09.5px", u"size"), "9");
    EXPECT_EQ(transformed(u"fontSize", u"0", u"size"), "null") << "a size must be above nothing";
    EXPECT_EQ(transformed(u"marginLeft", u"x50", u"leftMargin"), "-2147483648") << "an unreadable margin is the least int";
    EXPECT_EQ(transformed(u"letterSpacing", u"-1.5 px", u"letterSpacing"), "-1.5");
    EXPECT_EQ(transformed(u"letterSpacing", u"x", u"letterSpacing"), "NaN");
    EXPECT_EQ(transformed(u"fontFamily", u"mono,  , serif ,Times", u"font"), "_typewriter,serif ,Times")
        << "generic families take the player's names; blanks before a name go, those after stay";
    EXPECT_EQ(transformed(u"fontWeight", u"normal", u"bold"), "false");
    EXPECT_EQ(transformed(u"fontWeight", u"heavy", u"bold"), "null");
    EXPECT_EQ(transformed(u"kerning", u"50", u"kerning"), "true");
    EXPECT_EQ(transformed(u"textDecoration", u"none", u"underline"), "false");

    ASSERT_EQ(s.callText(sheet, u"parseCSS", {Value(String(u".s { color: #ff0000 \n }"))}), "true");
    EXPECT_EQ(s.text(s.get(s.call(sheet, u"getStyle", {Value(String(u".s"))}), u"color")), "#ff0000 ")
        << "a value ends at a line break";
}

}  // namespace
}  // namespace kinolux::avm1::test
