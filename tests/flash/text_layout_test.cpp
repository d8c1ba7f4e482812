// Text field layout as scripts measure it and the renderer draws it: glyph
// advances on whole twips, line heights on whole pixels, wrapping, scroll
// limits, autoSize and where trailing spaces count.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include "flash/avm1/player/bindings.h"
#include "flash/core/edit_text.h"
#include "flash/core/player.h"
#include "flash/module/flash_engine.h"
#include "tests/avm1/assembler.h"
#include "tests/flash/test_movies.h"
#include "tests/flash/traced_movie.h"
#include "tests/platform/test_application.h"

using namespace testmovies;
using kinolux::avm1::TextFieldProperty;
using kinolux::avm1::Value;

namespace {

// A font in units of 20480 to the em, its advances and metrics those of a
// common sans face, so that sizes fall between whole twips.
swf::DefineFont testFont() {
    swf::DefineFont f;
    f.version = 3;
    f.id = 1;
    f.name = "Test";
    swf::ShapeBuilder wide, narrow;
    wide.fill1(1).rectangle(0, -14000, 14000, 14000);
    narrow.fill1(1).rectangle(0, -14000, 7000, 14000);
    f.glyphs = {{wide.records(), 'Q', 16000, {}}, {{}, ' ', 5320, {}}, {narrow.records(), 'e', 11560, {}}};
    f.layout = swf::FontLayout{21900, 6000, 7420, {}};
    return f;
}

swf::DefineEditText testField(const std::string& text, int widthPx, int heightPx, int sizePx) {
    swf::DefineEditText t;
    t.id = 2;
    t.bounds = {0, widthPx * 20, 0, heightPx * 20};
    t.fontId = 1;
    t.fontHeight = std::uint16_t(sizePx * 20);
    t.useOutlines = true;
    t.color = swf::Color{0, 0, 0, 255};
    t.initialText = text;
    return t;
}

swf::PlaceObject named(swf::PlaceObject p) {
    p.name = "t";
    return p;
}

class TextLayoutTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { kinolux::testing::EnsureApplication<QGuiApplication>(); }

    flash::EditText& load(const swf::DefineEditText& field, int swfVersion = 8, swf::Matrix m = {}) {
        swf::Header h = header(200, 200);
        h.version = std::uint8_t(swfVersion);
        std::string error;
        engine_ =
            flash::Engine::fromBytes(movie({testFont(), field, named(place(1, 2, m)), swf::ShowFrame{}}, h), &error);
        EXPECT_TRUE(engine_) << error;
        auto* t = engine_->player().root().childByName(kinolux::avm1::String(u"t"), true);
        EXPECT_TRUE(t);
        return static_cast<flash::EditText&>(*t);
    }

    static double property(flash::EditText& t, TextFieldProperty p) {
        Value v = static_cast<kinolux::avm1::TextFieldBinding&>(avm1Binding(t)).textProperty(p);
        return v.isNumber() ? v.number() : -1;
    }
    static void set(flash::EditText& t, TextFieldProperty p, const Value& v) {
        static_cast<kinolux::avm1::TextFieldBinding&>(avm1Binding(t)).setTextProperty(p, v);
    }

    std::unique_ptr<flash::Engine> engine_;
};

}  // namespace

TEST_F(TextLayoutTest, AdvancesFallOnWholeTwipsAndSizesOnWholePixels) {
    // At 10 pixels Q, space and e take 156.25, 51.95 and 112.9 twips: the
    // player drops each fraction, so the three stay under 16 pixels.
    auto& t = load(testField("Q e", 200, 40, 10));
    EXPECT_EQ(property(t, TextFieldProperty::TextWidth), 15);
    const flash::TextLayout l = t.layout();
    ASSERT_EQ(l.lines.size(), 1u);
    EXPECT_EQ(l.lines[0].glyphs[1].x, 156);
    EXPECT_EQ(l.textWidth, 319);
    // The font's height (13.6 pixels) drops its fraction; its own leading
    // is not the paragraph's.
    EXPECT_EQ(property(t, TextFieldProperty::TextHeight), 13);
}

TEST_F(TextLayoutTest, WrappedLinesSetTheScrollLimits) {
    // 30-pixel text, "Qe " is 40.4 pixels: two words fit in 100 pixels.
    // Its lines take 40.9 pixels: 40 once the fraction is dropped.
    auto field = testField("Qe Qe Qe Qe Qe Qe Qe", 100, 4 + 2 * 40 + 1, 30);
    field.wordWrap = field.multiline = true;
    auto& t = load(field);
    const flash::TextLayout l = t.layout();
    ASSERT_EQ(l.lines.size(), 4u);
    EXPECT_EQ(l.lines[1].begin, 6) << "the space a line wraps at stays on it";
    EXPECT_EQ(l.lines[0].width, 2 * 806 + 155) << "but takes no room";
    EXPECT_EQ(l.lines[0].height(), 40 * 20);
    EXPECT_EQ(l.lines[1].top, 40 * 20);
    EXPECT_EQ(property(t, TextFieldProperty::MaxScroll), 3) << "two of four lines show";
    EXPECT_EQ(property(t, TextFieldProperty::BottomScroll), 2);
    set(t, TextFieldProperty::Scroll, Value(2.0));
    EXPECT_EQ(property(t, TextFieldProperty::BottomScroll), 3);
    set(t, TextFieldProperty::Scroll, Value(100.0));
    EXPECT_EQ(property(t, TextFieldProperty::Scroll), 3) << "held at the last page";
    set(t, TextFieldProperty::Scroll, Value(-2147483648.0));
    EXPECT_EQ(property(t, TextFieldProperty::Scroll), 3) << "the lowest integer wraps round to the top";
    set(t, TextFieldProperty::Scroll, Value(-2147483647.0));
    EXPECT_EQ(property(t, TextFieldProperty::Scroll), 1);
    EXPECT_EQ(property(t, TextFieldProperty::MaxHScroll), 0) << "wrapped text never scrolls sideways";
}

TEST_F(TextLayoutTest, LongLinesScrollSideways) {
    auto& t = load(testField("QQQQ", 20, 40, 10));  // 31.2 pixels in 16
    EXPECT_EQ(property(t, TextFieldProperty::MaxHScroll), 15);
    set(t, TextFieldProperty::HScroll, Value(40.0));
    EXPECT_EQ(property(t, TextFieldProperty::HScroll), 15);
    set(t, TextFieldProperty::HScroll, Value(-3.0));
    EXPECT_EQ(property(t, TextFieldProperty::HScroll), 0);
}

TEST_F(TextLayoutTest, AutoSizeKeepsTheEdgeItNames) {
    auto& t = load(testField("", 1, 1, 20), 8, at(50, 10));
    set(t, TextFieldProperty::AutoSize, Value(kinolux::avm1::String(u"right")));
    EXPECT_EQ(t.width(), 4) << "an empty field keeps only its gutters";
    EXPECT_EQ(t.x(), 47) << "the right edge stays at 51";
    set(t, TextFieldProperty::Text, Value(kinolux::avm1::String(u"QQ")));
    EXPECT_EQ(t.box.width(), 2 * 312 + 80);
    EXPECT_DOUBLE_EQ(t.x() + t.width(), 51);
    set(t, TextFieldProperty::AutoSize, Value(kinolux::avm1::String(u"center")));
    const double middle = t.x() + t.width() / 2;
    set(t, TextFieldProperty::Text, Value(kinolux::avm1::String(u"")));
    EXPECT_EQ(t.width(), 4);
    EXPECT_DOUBLE_EQ(t.x() + t.width() / 2, middle) << "the middle stays put";
}

TEST_F(TextLayoutTest, TrailingSpacesCountWhereTheTextStartsAtTheLeft) {
    auto right = testField("Q  ", 200, 40, 20);
    right.layout = swf::EditTextLayout{swf::TextAlign::Right, 0, 0, 0, 0};
    EXPECT_EQ(property(load(right, 8), TextFieldProperty::TextWidth), 15) << "version 8 drops them";
    EXPECT_EQ(property(load(right, 7), TextFieldProperty::TextWidth), 25) << "version 7 counts them";
    auto left = testField("Q  ", 200, 40, 20);
    EXPECT_EQ(property(load(left, 8), TextFieldProperty::TextWidth), 25);
}

TEST_F(TextLayoutTest, ScrolledFieldsDrawFromTheirFirstShownLine) {
    // Two 40-pixel lines of blocks, "Q" then "e", in a box showing one.
    auto field = testField("Q\re", 100, 44, 30);
    field.multiline = true;
    auto& t = load(field);
    QImage img = engine_->render();
    auto dark = [&](int x, int y) { return qRed(img.pixel(x, y)) < 128; };
    EXPECT_TRUE(dark(15, 20)) << "Q's block";
    set(t, TextFieldProperty::Scroll, Value(2.0));
    img = engine_->render();
    EXPECT_TRUE(dark(8, 20)) << "e's block, where Q was";
    EXPECT_FALSE(dark(18, 20)) << "e's block is narrower";
}

TEST_F(TextLayoutTest, AClickOnALinkCallsTheFunctionItNames) {
    // A field that cannot be selected, its second line a link, scrolled to
    // show that line at the top.
    auto field = testField("<p>QQ</p><p><a href=\"asfunction:f,hi\">Q</a>Q</p>", 100, 44, 30);
    field.html = field.multiline = true;
    field.noSelect = true;
    auto named = place(1, 2, at(10, 10));
    named.name = "t";
    const auto script = kinolux::avm1::test::assemble(R"asm(
        function f(x) {
          push "x"
          getVariable
          trace
        }
        push "t"
        getVariable
        push "scroll", 2
        setMember
    )asm");
    swf::Header h = header(200, 200);
    h.version = 8;
    const auto run = playTraced(movie({testFont(), field, named, swf::DoAction{script}, swf::ShowFrame{}}, h));
    flash::Player& player = *run->player;
    const auto& traces = run->traces;
    auto click = [&](double x, double y) {
        player.mouseMove(x, y);
        player.mouseDown(flash::Player::MouseButton::Left);
        player.mouseUp(flash::Player::MouseButton::Left);
    };
    click(10 + 2 + 30, 30);  // the second Q: no link
    EXPECT_TRUE(traces.empty());
    click(10 + 2 + 5, 30);
    EXPECT_EQ(traces, std::vector<std::string>{"hi"});
}

TEST_F(TextLayoutTest, AFinalBreakOpensALineThatScrollsButTakesNoRoom) {
    // 10-pixel text (13-pixel lines) with 4 pixels of leading, in a box that
    // shows no whole line.
    auto field = testField("Qe\rQe\r", 100, 4, 10);
    field.multiline = true;
    field.layout = swf::EditTextLayout{swf::TextAlign::Left, 0, 0, 0, 4 * 20};
    auto& t = load(field);
    const flash::TextLayout l = t.layout();
    ASSERT_EQ(l.lines.size(), 3u);
    EXPECT_EQ(l.lines[2].begin, 6);
    EXPECT_EQ(l.lines[2].end, 6);
    EXPECT_EQ(property(t, TextFieldProperty::MaxScroll), 3) << "the caret's line can be scrolled to";
    EXPECT_EQ(property(t, TextFieldProperty::TextHeight), 17 + 13) << "neither the open line nor the last leading";
}

TEST_F(TextLayoutTest, AnEmptyFieldMeasuresALineOnlyWhereTheUserTypes) {
    auto field = testField("", 100, 40, 10);
    field.layout = swf::EditTextLayout{swf::TextAlign::Left, 0, 0, 0, 4 * 20};
    field.readOnly = true;
    EXPECT_EQ(property(load(field), TextFieldProperty::TextHeight), 0);
    field.readOnly = false;
    EXPECT_EQ(property(load(field), TextFieldProperty::TextHeight), 13 + 4);
}

TEST_F(TextLayoutTest, BulletedParagraphsStartInsideTheGapTheirBulletTakes) {
    auto field = testField("", 200, 100, 10);
    field.multiline = field.wordWrap = true;
    auto& t = load(field);
    set(t, TextFieldProperty::Html, Value(true));
    set(t, TextFieldProperty::HtmlText, Value(kinolux::avm1::String(u"<li>Qe Qe Qe Qe Qe Qe Qe Qe Qe Qe Qe Qe</li><p>Q</p>")));
    const flash::TextLayout l = t.layout();
    ASSERT_GE(l.lines.size(), 3u) << "the bulleted paragraph wraps";
    EXPECT_EQ(l.lines[0].left, 36 * 20);
    EXPECT_TRUE(l.lines[0].bullet);
    EXPECT_EQ(l.lines[1].left, 36 * 20) << "its wrapped lines hang under the first";
    EXPECT_FALSE(l.lines[1].bullet) << "one bullet to a paragraph";
    EXPECT_EQ(l.lines.back().left, 0);
    EXPECT_FALSE(l.lines.back().bullet);
}
