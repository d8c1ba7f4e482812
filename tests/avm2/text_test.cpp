// ActionScript 3 text fields: a TextField a script makes is a real field on
// the display list, drawn with its box, and TextFormat carries formats in
// and out of its text.
#include <gtest/gtest.h>

#include "flash/core/device_fonts.h"
#include "tests/avm2/document_movie.h"
#include "tests/avm2/playback.h"

using namespace avm2test;

namespace {

// local 1 = new TextField(), added to the document.
void newField(Code& code, AbcBuilder& abc) {
    std::uint32_t field = abc.name("flash.text", "TextField");
    code.op(op::FindPropStrict, field).op(op::ConstructProp, field, 0).op(op::SetLocal1);
    code.op(op::GetLocal0).op(op::GetLocal1).op(op::CallPropVoid, abc.name("addChild"), 1);
}

template <class Push>
void setOnField(Code& code, AbcBuilder& abc, const char* property, Push push) {
    code.op(op::GetLocal1);
    push(code);
    code.op(op::SetProperty, abc.name(property));
}

void traceOfField(Code& code, AbcBuilder& abc, std::initializer_list<const char*> path) {
    traced(code, abc, [&](Code& c) {
        c.op(op::GetLocal1);
        for (const char* step : path) c.op(op::GetProperty, abc.name(step));
    });
}

}  // namespace

TEST(As3TextField, AFieldTheScriptMakesIsOnTheListAndDrawsItsBox) {
    AbcBuilder abc;
    Code init;
    newField(init, abc);
    auto number = [&](std::uint32_t n) { return [&abc, n](Code& c) { c.op(op::PushInt, abc.integer(std::int32_t(n))); }; };
    auto yes = [](Code& c) { c.op(op::PushTrue); };
    setOnField(init, abc, "x", number(10));
    setOnField(init, abc, "y", number(20));
    setOnField(init, abc, "width", number(50));
    setOnField(init, abc, "height", number(30));
    setOnField(init, abc, "background", yes);
    setOnField(init, abc, "backgroundColor", number(0x0000FF));
    setOnField(init, abc, "text", [&](Code& c) { c.op(op::PushString, abc.string("a\nb")); });
    traceOfField(init, abc, {"text"});
    traceOfField(init, abc, {"length"});
    traceOfField(init, abc, {"width"});
    traceOfField(init, abc, {"parent", "numChildren"});
    traceOfField(init, abc, {"backgroundColor"});
    Playback run = play(documentMovie(documentAbc(abc, init)));
    ASSERT_TRUE(run.errors.empty()) << run.errors[0];
    EXPECT_EQ(run.traces, (std::vector<std::string>{"a\rb", "3", "50", "1", "255"}));
    EXPECT_EQ(run.picture.pixel(55, 45), qRgb(0, 0, 255)) << "inside the box, right of the text";
    EXPECT_EQ(run.picture.pixel(65, 45), qRgb(255, 255, 255)) << "right of the box";
    EXPECT_EQ(run.picture.pixel(30, 15), qRgb(255, 255, 255)) << "above the box";
}

TEST(As3TextField, FormatsGoInThroughTextFormatAndComeBackPerRange) {
    AbcBuilder abc;
    Code init;
    newField(init, abc);
    std::uint32_t format = abc.name("flash.text", "TextFormat");
    // defaultTextFormat = new TextFormat("Arial", 20); text = "abcd"
    init.op(op::GetLocal1).op(op::FindPropStrict, format).op(op::PushString, abc.string("Arial"));
    init.op(op::PushByte).u8(20).op(op::ConstructProp, format, 2).op(op::SetProperty, abc.name("defaultTextFormat"));
    setOnField(init, abc, "text", [&](Code& c) { c.op(op::PushString, abc.string("abcd")); });
    // setTextFormat(new TextFormat(null, 30, 0xFF0000), 2, 4)
    init.op(op::GetLocal1).op(op::FindPropStrict, format).op(op::PushNull).op(op::PushByte).u8(30);
    init.op(op::PushInt, abc.integer(0xFF0000)).op(op::ConstructProp, format, 3);
    init.op(op::PushByte).u8(2).op(op::PushByte).u8(4).op(op::CallPropVoid, abc.name("setTextFormat"), 3);
    auto traceFormat = [&](std::initializer_list<std::uint8_t> range, const char* field) {
        traced(init, abc, [&](Code& c) {
            c.op(op::GetLocal1);
            for (std::uint8_t i : range) c.op(op::PushByte).u8(i);
            c.op(op::CallProperty, abc.name("getTextFormat"), std::uint32_t(range.size()));
            c.op(op::GetProperty, abc.name(field));
        });
    };
    traceFormat({0, 1}, "font");
    traceFormat({0, 1}, "size");
    traceFormat({2, 4}, "size");
    traceFormat({3, 4}, "color");
    traceFormat({}, "size");  // the whole text: sizes differ
    traceFormat({}, "font");
    traced(init, abc, [&](Code& c) { c.op(op::FindPropStrict, format).op(op::ConstructProp, format, 0).op(op::GetProperty, abc.name("bold")); });
    Playback run = play(documentMovie(documentAbc(abc, init)));
    ASSERT_TRUE(run.errors.empty()) << run.errors[0];
    EXPECT_EQ(run.traces, (std::vector<std::string>{"Arial", "20", "30", "16711680", "null", "Arial", "null"}));
}

TEST(As3TextField, LineMetricsMeasureALineAndRefuseLinesItLacks) {
    AbcBuilder abc;
    Code init;
    newField(init, abc);
    setOnField(init, abc, "text", [&](Code& c) { c.op(op::PushString, abc.string("wide line\rx")); });
    auto metric = [&](std::uint8_t line, const char* name) {
        return [&abc, line, name](Code& c) {
            c.op(op::GetLocal1).op(op::PushByte).u8(line).op(op::CallProperty, abc.name("getLineMetrics"), 1);
            c.op(op::GetProperty, abc.name(name));
        };
    };
    traced(init, abc, [&](Code& c) {
        metric(0, "width")(c);
        metric(1, "width")(c);
        c.op(op::GreaterThan);
    });
    traced(init, abc, [&](Code& c) {
        metric(1, "ascent")(c);
        c.op(op::PushByte).u8(0).op(op::GreaterThan);
    });
    init.op(op::GetLocal1).op(op::PushByte).u8(2).op(op::CallPropVoid, abc.name("getLineMetrics"), 1);
    Playback run = play(documentMovie(documentAbc(abc, init)));
    EXPECT_EQ(run.traces, (std::vector<std::string>{"true", "true", "RangeError: Error #2006: The supplied index is out of bounds.\n\tat Doc()"}));
    expectOneError(run, "#2006");
}

TEST(As3TextField, LinesCharactersAndTheSelectionAreReadFromTheLayout) {
    AbcBuilder abc;
    Code init;
    newField(init, abc);
    setOnField(init, abc, "multiline", [](Code& c) { c.op(op::PushTrue); });
    setOnField(init, abc, "text", [&](Code& c) { c.op(op::PushString, abc.string("ab\rcd\r")); });
    auto call = [&](const char* method, std::initializer_list<std::uint8_t> args) {
        return [&abc, method, args](Code& c) {
            c.op(op::GetLocal1);
            for (std::uint8_t a : args) c.op(op::PushByte).u8(a);
            c.op(op::CallProperty, abc.name(method), std::uint32_t(args.size()));
        };
    };
    traceOfField(init, abc, {"numLines"});
    traced(init, abc, call("getLineOffset", {1}));
    traced(init, abc, call("getLineText", {1}));
    traced(init, abc, call("getLineLength", {2}));
    traced(init, abc, call("getLineIndexOfChar", {4}));
    traced(init, abc, call("getCharBoundaries", {2}));
    traced(init, abc, [&](Code& c) {
        call("getCharBoundaries", {1})(c);
        c.op(op::GetProperty, abc.name("x"));
        call("getCharBoundaries", {0})(c);
        c.op(op::GetProperty, abc.name("right"));
        c.op(op::Equals);
    });
    init.op(op::GetLocal1).op(op::PushByte).u8(4).op(op::PushByte).u8(1).op(op::CallPropVoid, abc.name("setSelection"), 2);
    traceOfField(init, abc, {"selectionBeginIndex"});
    traceOfField(init, abc, {"selectionEndIndex"});
    traceOfField(init, abc, {"selectedText"});
    init.op(op::GetLocal1).op(op::PushByte).u8(3).op(op::CallPropVoid, abc.name("getLineText"), 1);
    Playback run = play(documentMovie(documentAbc(abc, init)));
    EXPECT_EQ(run.traces, (std::vector<std::string>{"3", "3", "cd\r", "0", "1", "null", "true", "1", "4", "b\rc",
                                                    "RangeError: Error #2006: The supplied index is out of bounds.\n\tat Doc()"}))
        << "the break that ends the text opens an empty last line; a break has no box; glyphs abut";
    expectOneError(run, "#2006");
}

TEST(As3TextField, OnlyTheTimelineMakesStaticText) {
    AbcBuilder abc;
    Code init;
    std::uint32_t staticText = abc.name("flash.text", "StaticText");
    init.op(op::FindPropStrict, staticText).op(op::ConstructProp, staticText, 0).op(op::Pop);
    Playback run = play(documentMovie(documentAbc(abc, init)));
    expectOneError(run, "ArgumentError: Error #2012");
}

TEST(As3TextField, SettingTheTextItHasKeepsItsFormatsAndTabStopsComeBackAsAnArray) {
    AbcBuilder abc;
    Code init;
    newField(init, abc);
    setOnField(init, abc, "htmlText", [&](Code& c) { c.op(op::PushString, abc.string("<b>x</b>")); });
    setOnField(init, abc, "text", [&](Code& c) { c.op(op::PushString, abc.string("x")); });
    auto boldAt0 = [&](Code& c) {
        c.op(op::GetLocal1).op(op::PushByte).u8(0).op(op::PushByte).u8(1);
        c.op(op::CallProperty, abc.name("getTextFormat"), 2).op(op::GetProperty, abc.name("bold"));
    };
    traced(init, abc, boldAt0);
    setOnField(init, abc, "htmlText", [&](Code& c) { c.op(op::GetLocal1).op(op::GetProperty, abc.name("htmlText")); });
    traced(init, abc, boldAt0);
    setOnField(init, abc, "text", [&](Code& c) { c.op(op::PushString, abc.string("y")); });
    traced(init, abc, boldAt0);
    traceOfField(init, abc, {"defaultTextFormat", "tabStops", "length"});
    Playback run = play(documentMovie(documentAbc(abc, init)));
    ASSERT_TRUE(run.errors.empty()) << run.errors[0];
    EXPECT_EQ(run.traces, (std::vector<std::string>{"true", "true", "false", "0"}));
}

TEST(As3TextField, TextRunsSplitTheTextWhereItsFormatChanges) {
    AbcBuilder abc;
    Code init;
    newField(init, abc);
    setOnField(init, abc, "htmlText", [&](Code& c) { c.op(op::PushString, abc.string("<b>ab</b>c")); });
    auto run = [&](std::uint8_t i, std::initializer_list<const char*> path) {
        traced(init, abc, [&abc, i, path](Code& c) {
            c.op(op::GetLocal1).op(op::CallProperty, abc.name("getTextRuns"), 0);
            c.op(op::GetProperty, abc.name(std::to_string(i)));
            for (const char* step : path) c.op(op::GetProperty, abc.name(step));
        });
    };
    traced(init, abc, [&](Code& c) {
        c.op(op::GetLocal1).op(op::CallProperty, abc.name("getTextRuns"), 0).op(op::GetProperty, abc.name("length"));
    });
    run(0, {"endIndex"});
    run(0, {"textFormat", "bold"});
    run(1, {"beginIndex"});
    run(1, {"textFormat", "bold"});
    Playback played = play(documentMovie(documentAbc(abc, init)));
    ASSERT_TRUE(played.errors.empty()) << played.errors[0];
    EXPECT_EQ(played.traces, (std::vector<std::string>{"2", "2", "true", "2", "false"}));
}

TEST(As3TextField, AStyleSheetStylesTheHtmlSetUnderItAndLeavesItsFormatsWhenTakenAway) {
    AbcBuilder abc;
    Code init;
    newField(init, abc);
    std::uint32_t sheet = abc.name("flash.text", "StyleSheet");
    auto text = [&](const char* s) { return [&abc, s](Code& c) { c.op(op::PushString, abc.string(s)); }; };
    // local 2 = new StyleSheet(); parseCSS(...); field.styleSheet = local 2
    init.op(op::FindPropStrict, sheet).op(op::ConstructProp, sheet, 0).op(op::SetLocal, 2);
    init.op(op::GetLocal2).op(op::PushString, abc.string(".Red { color: #FF0000; }\np { text-align: center }"));
    init.op(op::CallPropVoid, abc.name("parseCSS"), 1);
    traced(init, abc, [&](Code& c) { c.op(op::GetLocal2).op(op::GetProperty, abc.name("styleNames")); });
    setOnField(init, abc, "styleSheet", [](Code& c) { c.op(op::GetLocal2); });
    setOnField(init, abc, "htmlText", text("<p class='red'>ab</p>"));
    traceOfField(init, abc, {"htmlText"});
    auto traceColor = [&] {
        traced(init, abc, [&](Code& c) {
            c.op(op::GetLocal1).op(op::PushByte).u8(0).op(op::CallProperty, abc.name("getTextFormat"), 1);
            c.op(op::GetProperty, abc.name("color"));
        });
    };
    traceColor();
    // Text set under a sheet is read as HTML too.
    setOnField(init, abc, "text", text("<span class='red'>c</span>"));
    traceOfField(init, abc, {"text"});
    traceColor();
    setOnField(init, abc, "styleSheet", [](Code& c) { c.op(op::PushNull); });
    traceColor();
    traceOfField(init, abc, {"text"});
    // transform: what a style stands for, with the player's odd values.
    traced(init, abc, [&](Code& c) {
        c.op(op::GetLocal2).op(op::PushString, abc.string("marginLeft")).op(op::PushString, abc.string("x"));
        c.op(op::NewObject, 1).op(op::CallProperty, abc.name("transform"), 1).op(op::GetProperty, abc.name("leftMargin"));
    });
    Playback run = play(documentMovie(documentAbc(abc, init)));
    ASSERT_TRUE(run.errors.empty()) << run.errors[0];
    EXPECT_EQ(run.traces, (std::vector<std::string>{".red,p", "<p class='red'>ab</p>", "16711680", "c", "16711680",
                                                    "16711680", "c", "-2147483648"}));
}

TEST(As3TextField, EachNewlineOfPlainTextIsALineBreakOfItsOwn) {
    AbcBuilder abc;
    Code init;
    newField(init, abc);
    setOnField(init, abc, "text", [&](Code& c) { c.op(op::PushString, abc.string("a\r\nb")); });
    traceOfField(init, abc, {"text"});
    init.op(op::GetLocal1).op(op::PushString, abc.string("\r\n")).op(op::CallPropVoid, abc.name("appendText"), 1);
    traceOfField(init, abc, {"length"});
    Playback run = play(documentMovie(documentAbc(abc, init)));
    ASSERT_TRUE(run.errors.empty()) << run.errors[0];
    EXPECT_EQ(run.traces, (std::vector<std::string>{"a\r\rb", "6"}));
}

TEST(As3TextEngine, FontDescriptionsTakeOnlyTheNamesTheyKnow) {
    AbcBuilder abc;
    Code init;
    std::uint32_t description = abc.name("flash.text.engine", "FontDescription");
    init.op(op::FindPropStrict, description).op(op::PushString, abc.string("Serif"));
    init.op(op::PushString, abc.string("bold")).op(op::ConstructProp, description, 2).op(op::SetLocal1);
    traceOfField(init, abc, {"fontName"});
    traceOfField(init, abc, {"fontWeight"});
    traceOfField(init, abc, {"fontPosture"});
    init.op(op::GetLocal1).op(op::PushString, abc.string("heavy")).op(op::SetProperty, abc.name("fontWeight"));
    Playback run = play(documentMovie(documentAbc(abc, init)));
    EXPECT_EQ(run.traces, (std::vector<std::string>{"Serif", "bold", "normal",
                                                    "ArgumentError: Error #2008: Parameter fontWeight must be one of the accepted values.\n\tat Doc()"}));
    expectOneError(run, "ArgumentError: Error #2008: Parameter fontWeight");
}

TEST(As3TextEngine, ElementFormatsCheckTheNamesTheyAreMadeWith) {
    AbcBuilder abc;
    Code init;
    std::uint32_t format = abc.name("flash.text.engine", "ElementFormat");
    init.op(op::FindPropStrict, format).op(op::ConstructProp, format, 0).op(op::SetLocal1);
    traceOfField(init, abc, {"kerning"});
    traceOfField(init, abc, {"fontDescription", "fontName"});
    traceOfField(init, abc, {"fontSize"});
    // new ElementFormat(null, 12, 0, 1, "sideways")
    init.op(op::FindPropStrict, format).op(op::PushNull).op(op::PushByte).u8(12).op(op::PushByte).u8(0);
    init.op(op::PushByte).u8(1).op(op::PushString, abc.string("sideways")).op(op::ConstructProp, format, 5).op(op::Pop);
    Playback run = play(documentMovie(documentAbc(abc, init)));
    EXPECT_EQ(run.traces, (std::vector<std::string>{"on", "_serif", "12",
                                                    "ArgumentError: Error #2008: Parameter textRotation must be one of the accepted values.\n\tat Doc()"}));
    expectOneError(run, "Error #2008: Parameter textRotation");
}

TEST(As3TextEngine, ABlockMakesItsLineAsADisplayContainer) {
    AbcBuilder abc;
    Code init;
    auto engine = [&](const char* name) { return abc.name("flash.text.engine", name); };
    // new TextBlock(new TextElement("a", new ElementFormat())).createTextLine(null, 100)
    init.op(op::FindPropStrict, engine("TextBlock")).op(op::FindPropStrict, engine("TextElement"));
    init.op(op::PushString, abc.string("a")).op(op::FindPropStrict, engine("ElementFormat"));
    init.op(op::ConstructProp, engine("ElementFormat"), 0).op(op::ConstructProp, engine("TextElement"), 2);
    init.op(op::ConstructProp, engine("TextBlock"), 1).op(op::SetLocal2);
    init.op(op::GetLocal2).op(op::PushNull).op(op::PushByte).u8(100).op(op::CallProperty, abc.name("createTextLine"), 2);
    init.op(op::SetLocal1);
    traceOfField(init, abc, {"numChildren"});
    traceOfField(init, abc, {"validity"});
    traced(init, abc, [&](Code& c) { c.op(op::GetLocal1).op(op::GetProperty, abc.name("textBlock")).op(op::GetLocal2).op(op::StrictEquals); });
    init.op(op::GetLocal1).op(op::PushTrue).op(op::SetProperty, abc.name("tabEnabled"));
    Playback run = play(documentMovie(documentAbc(abc, init)));
    EXPECT_EQ(run.traces, (std::vector<std::string>{"0", "valid", "true",
                                                    "Error: Error #2181: The TextLine class does not implement this property or method.\n\tat Doc()"}));
    ASSERT_EQ(run.errors.size(), 1u);
    EXPECT_NE(run.errors[0].find("Error #2181"), std::string::npos) << "lines take no focus: " << run.errors[0];
}

TEST(DeviceFaces, AFaceTheSystemHasIsTakenAsNamedOthersFallBackByKind) {
    kinolux::testing::EnsureApplication<QGuiApplication>();
    flash::DeviceFonts fonts;
    auto familyOf = [&](const char* face) {
        flash::TextStyle style;
        style.face = face;
        return flash::deviceFont(style, fonts).family();
    };
    EXPECT_EQ(familyOf("dejavu serif"), "DejaVu Serif") << "named in any case";
    EXPECT_EQ(familyOf("Times New Roman"), fonts.serif);
    EXPECT_EQ(familyOf("_typewriter"), fonts.typewriter);
    EXPECT_EQ(familyOf("No Such Face"), fonts.sans);
}
