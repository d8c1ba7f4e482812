// Text fields' text: a format per character, the HTML the player reads
// (white space, paragraphs, colours, malformed tags) and the HTML it writes.
#include <gtest/gtest.h>

#include "flash/core/html_text.h"
#include "flash/core/rich_text.h"

using namespace flash;

namespace {

TextStyle base() {
    TextStyle s;
    s.face = "Times New Roman";
    return s;
}

const QString kFont = R"(<FONT FACE="Times New Roman" SIZE="12" COLOR="#000000" LETTERSPACING="0" KERNING="0">)";

TEST(RichText, ReplacingAndRestylingKeepTheOtherCharactersFormats) {
    RichText t("one\ntwo\r\nthree", base());
    EXPECT_EQ(t.text(), "one\rtwo\rthree") << "every newline is stored as \\r";
    t.restyle(4, 7, [](TextStyle& s) { s.bold = true; });
    EXPECT_TRUE(t.styleAt(4).bold);
    EXPECT_FALSE(t.styleAt(3).bold);
    TextStyle red = base();
    red.color = Qt::red;
    t.replace(0, 3, "1", red);
    EXPECT_EQ(t.text(), "1\rtwo\rthree");
    EXPECT_EQ(t.styleAt(0).color, QColor(Qt::red));
    EXPECT_TRUE(t.styleAt(2).bold) << "the bold word moved with the edit";
    EXPECT_EQ(t.paragraphStart(3), 2);
    EXPECT_EQ(t.paragraphEnd(3), 6) << "past the paragraph's \\r";
    auto paragraphs = t.paragraphs(base());
    ASSERT_EQ(paragraphs.size(), 3u);
    EXPECT_EQ(paragraphs[1].runs[0].text, "two");
    t.replace(-5, 100, "", base());
    EXPECT_TRUE(t.empty()) << "ranges are clamped to the text";
}

TEST(RichText, ManyFormatsDoNotPileUp) {
    RichText t("abc", base());
    for (int i = 0; i < 1000; ++i) t.restyle(0, 3, [i](TextStyle& s) { s.size = 10 + i; });
    EXPECT_EQ(t.styleAt(2).size, 1009);
    EXPECT_EQ(t.paragraphs(base())[0].runs.size(), 1u);
}

TEST(HtmlText, WritesWhatItReadsAsThePlayerDoes) {
    RichText t = parseHtml(R"(<p align="center"><font color="#123456">x<b>y</b></font></p>)", base());
    EXPECT_EQ(t.text(), "xy\r");
    EXPECT_EQ(writeHtml(t), R"(<P ALIGN="CENTER"><FONT FACE="Times New Roman" SIZE="12" COLOR="#123456" )"
                            R"(LETTERSPACING="0" KERNING="0">x<B>y</B></FONT></P>)");
    RichText list = parseHtml("<li>a &amp; b</li><textformat leading=\"2\">c</textformat>", base());
    EXPECT_EQ(writeHtml(list), "<LI>" + kFont + "a &amp; b</FONT></LI><TEXTFORMAT LEADING=\"2\"><P ALIGN=\"LEFT\">" +
                                   kFont + "c</FONT></P></TEXTFORMAT>");
    EXPECT_EQ(writeHtml(RichText()), "") << "no text, no paragraphs";
}

TEST(HtmlText, ColoursTakeTheLastSixHexDigits) {
    auto inner = [](const QString& color) {
        RichText t = parseHtml(R"(<font color="#123456">x<font color=")" + color + R"(">y</font></font>)", base());
        return t.styleAt(1).color.rgb() & 0xFFFFFF;
    };
    EXPECT_EQ(inner("#abc"), 0xabcu);
    EXPECT_EQ(inner("#23456789"), 0x456789u);
    EXPECT_EQ(inner("#abfg"), 0xabfu) << "digits end at the first other character";
    EXPECT_EQ(inner("#  234567"), 0x234567u) << "space may follow the #";
    EXPECT_EQ(inner("202020"), 0x123456u) << "no #, no colour";
    EXPECT_EQ(inner("#g1"), 0x123456u);
}

TEST(HtmlText, WhiteSpaceAndParagraphEndsByFieldSettings) {
    const QString source = " <p>test</p>  <p>a\tb</p> ";
    EXPECT_EQ(parseHtml(source, base(), {true, true}).text(), "test\ra b\r");
    EXPECT_EQ(parseHtml(source, base(), {false, true}).text(), "test a b ")
        << "a single-line field breaks no lines";
    EXPECT_EQ(parseHtml("a\nb", base(), {false, false}).text(), "a\rb") << "without condensing, newlines stay";
    EXPECT_EQ(parseHtml("a\r\nb", base(), {false, false}).text(), "a\r\rb") << "\r\n is two of them";
    EXPECT_EQ(parseHtml("<b> \n </b>", base(), {true, true}).text(), "");
}

TEST(HtmlText, ReadingStopsAtAnUnquotedAttribute) {
    EXPECT_EQ(parseHtml("ok<font color=#00FF00>green</font>", base()).text(), "ok");
    EXPECT_EQ(parseHtml("<font face='Arial'>quoted</font>", base()).styleAt(0).face, "Arial");
}

}  // namespace

TEST(HtmlText, AParagraphEndTakesTheFormatOfTheTextItEnds) {
    RichText t = parseHtml(R"(<p><font size="20" kerning="1">a</font></p><p></p>)", base(), {true, false});
    ASSERT_EQ(t.text(), "a\r\r");
    EXPECT_EQ(t.styleAt(1), t.styleAt(0)) << "so the whole text reads as one format";
    EXPECT_EQ(t.styleAt(2).size, 12) << "an empty paragraph has only its own";
}

TEST(HtmlText, AStyleSheetStylesTagsByNameAndThenByClass) {
    std::vector<QString> asked;
    const HtmlStyleSheet sheet = [&](const QString& selector, TextStyle& s) {
        asked.push_back(selector);
        if (selector == "p") s.color = Qt::red;
        if (selector == ".big") s.size = 30;
        if (selector == "headline") s.bold = true;
        if (selector == "b") s.italic = true;
    };
    RichText t = parseHtml(R"(<p class="Big">a<span>b</span><headline>c<b>d</b></headline>e</p>f<br/><img src="x">g)",
                           base(), {}, sheet);
    ASSERT_EQ(t.text(), "abcde\rf\rg");
    EXPECT_EQ(t.styleAt(0).color, QColor(Qt::red));
    EXPECT_EQ(t.styleAt(0).size, 30) << "class names are matched in lower case";
    EXPECT_EQ(t.styleAt(1).size, 30) << "a tag with no style keeps the format around it";
    EXPECT_TRUE(t.styleAt(2).bold) << "a tag of the sheet's own";
    EXPECT_TRUE(t.styleAt(3).bold);
    EXPECT_FALSE(t.styleAt(3).italic) << "b, i, u, font, textformat and span take no style of their name";
    EXPECT_FALSE(t.styleAt(4).bold) << "the tag's style ends with it";
    EXPECT_EQ(t.styleAt(6).color, QColor(Qt::black)) << "and the paragraph's with the paragraph";
    EXPECT_EQ(t.styleAt(8).size, 12) << "tags that enclose nothing style nothing after them";
    EXPECT_EQ(asked, (std::vector<QString>{"p", ".big", "headline"}));

    EXPECT_FALSE(parseHtml("<headline>c</headline>", base()).styleAt(0).bold) << "no sheet, no styles";
}

TEST(HtmlText, AFontThatDiffersOpensInsideTheOnesAroundItAndOneOfThemClosesBackToIt) {
    RichText t = parseHtml(R"(a<font color="#00FF00">b<font face="Arial">c</font></font>d<font color="#00FF00">e</font>)",
                           base());
    EXPECT_EQ(writeHtml(t), R"(<P ALIGN="LEFT">)" + kFont +
                                R"(a<FONT COLOR="#00FF00">b<FONT FACE="Arial">c</FONT></FONT>d<FONT COLOR="#00FF00">e</FONT>)"
                                R"(</FONT></P>)")
        << "only what differs from the enclosing font is written";
    RichText chain = parseHtml(R"(<font color="#00FF00">a</font><font color="#0000FF">b</font>)", base());
    EXPECT_EQ(writeHtml(chain), R"(<P ALIGN="LEFT"><FONT FACE="Times New Roman" SIZE="12" COLOR="#00FF00" )"
                                R"(LETTERSPACING="0" KERNING="0">a<FONT COLOR="#0000FF">b</FONT></FONT></P>)")
        << "a font none of the open ones has opens inside the innermost";
}

TEST(HtmlText, TheTagsOwnAttributesGoOverItsStylesAndClassesMatchWhole) {
    const HtmlStyleSheet sheet = [](const QString& selector, TextStyle& s) {
        if (selector == "p") s.align = swf::TextAlign::Center;
        if (selector == "a" || selector == "li") s.color = Qt::blue;
        if (selector == ".red") s.color = Qt::red;
    };
    EXPECT_EQ(parseHtml(R"(<p align="right">x</p>)", base(), {}, sheet).styleAt(0).align, swf::TextAlign::Right);
    EXPECT_EQ(parseHtml("<p>x</p>", base(), {}, sheet).styleAt(0).align, swf::TextAlign::Center);
    EXPECT_EQ(parseHtml("<a>x</a><li>y</li>", base(), {}, sheet).styleAt(0).color, QColor(Qt::blue));
    EXPECT_EQ(parseHtml("<li>y</li>", base(), {}, sheet).styleAt(0).color, QColor(Qt::blue));
    EXPECT_EQ(parseHtml(R"(<a class="RED">x</a>)", base(), {}, sheet).styleAt(0).color, QColor(Qt::red));
    EXPECT_EQ(parseHtml(R"(<span class=" red">x</span>)", base(), {}, sheet).styleAt(0).color, QColor(Qt::black))
        << "blanks are part of the class name";
    EXPECT_EQ(parseHtml(R"(<b class="red">x</b>)", base(), {}, sheet).styleAt(0).color, QColor(Qt::black));
}
