// The render and trace corpora must not fall below the counts they reached
// on the player core; names of movies that fail are listed for a look.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "tests/flash/corpus_guard.h"
#include "tests/flash/test_movies.h"
#include "tools/corpus/input_script.h"

namespace {
// Raise these when more of the corpus matches.
constexpr int kRecordedPasses = 62;
constexpr int kRecordedTracePasses = 391;

const auto* const kApp = ::testing::AddGlobalTestEnvironment(new kinolux::testing::CorpusApplication);
}  // namespace

TEST(RenderCorpus, NoRegressionBelowTheRecordedCount) {
    kinolux::testing::ExpectRenderCorpusPasses("render", kRecordedPasses);
}

TEST(TraceCorpus, NoRegressionBelowTheRecordedCount) {
    kinolux::testing::ExpectTraceCorpusPasses("trace", kRecordedTracePasses);
}

TEST(RenderCorpus, MatchRuleCountsCloseChannels) {
    QImage a(10, 10, QImage::Format_ARGB32), b(10, 10, QImage::Format_ARGB32);
    a.fill(qRgba(100, 100, 100, 255));
    b.fill(qRgba(124, 76, 100, 255));  // 24 levels off: still close
    EXPECT_TRUE(corpus::compare(a, b).matches());
    b.setPixel(0, 0, qRgba(125, 100, 100, 255));
    b.setPixel(1, 0, qRgba(100, 100, 100, 230));
    EXPECT_DOUBLE_EQ(corpus::compare(a, b).closeFraction, 0.98);
    EXPECT_TRUE(corpus::compare(a, b).matches());
    b.setPixel(2, 0, qRgba(0, 0, 0, 0));
    EXPECT_FALSE(corpus::compare(a, b).matches());
    EXPECT_FALSE(corpus::compare(a, QImage(10, 11, QImage::Format_ARGB32)).matches());
}

TEST(RenderCorpus, CaseFilesGiveFontsAndTheInputOfEachFrame) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto write = [&](const char* name, const char* text) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    };
    write("test.toml",
          "num_ticks = 3\n"
          "image_comparisons.\"a\".trigger = 2\n"
          "[player_options]\nwith_renderer = { optional = false, quality = \"low\" }\n"
          "[default_fonts]\nserif = [\"Noto Sans\"]\n"
          "[fonts.noto_sans]\nfamily = \"Noto Sans\"\npath = \"NotoSans.ttf\"\n");
    write("input.json",
          R"([{ "type": "KeyDown", "key": "Tab" }, { "type": "KeyDown", "key": { "Char": "a" } }, { "type": "Wait" },
              { "type": "MouseDown", "pos": [5, 6], "btn": "Right" }, { "type": "Flick" }, { "type": "Wait" }])");
    corpus::RenderCase c;
    ASSERT_TRUE(corpus::readCase(dir.path().toStdString(), c));
    EXPECT_TRUE(c.lowQuality);
    ASSERT_EQ(c.pictures.size(), 1u);
    EXPECT_EQ(c.pictures[0].afterTicks, 2);
    EXPECT_EQ(c.deviceFonts.serif, "Noto Sans");
    EXPECT_EQ(c.deviceFonts.sans, "DejaVu Sans") << "what the file leaves out keeps its default";
    ASSERT_EQ(c.fontFiles.size(), 1u);
    EXPECT_EQ(c.fontFiles[0], dir.filePath("NotoSans.ttf").toStdString());

    using Kind = corpus::InputEvent::Kind;
    const auto events = corpus::readInputScript(dir.filePath("input.json").toStdString());
    ASSERT_EQ(events.size(), 5u) << "an unknown entry is left out";
    EXPECT_EQ(events[0].keyCode, 9);
    EXPECT_EQ(events[1].keyCode, 'A') << "a letter presses the key of its capital";
    EXPECT_EQ(events[1].charCode, 'a');
    EXPECT_EQ(events[2].kind, Kind::Wait);
    EXPECT_EQ(events[3].kind, Kind::MouseDown);
    EXPECT_EQ(events[3].button, flash::Player::MouseButton::Right);
    EXPECT_EQ(events[3].position, QPointF(5, 6));
    EXPECT_TRUE(corpus::readInputScript(dir.filePath("none.json").toStdString()).empty());
}

TEST(TraceCorpus, InputScriptsTypeEditAndFillTheClipboard) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile f(dir.filePath("input.json"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(R"([{ "type": "TextInput", "codepoint": "\u0105" }, { "type": "TextInput", "codepoint": "\ud801\udf94" },
                { "type": "TextInput", "codepoint": "" }, { "type": "TextControl", "code": "Paste" },
                { "type": "TextControl", "code": "Juggle" }, { "type": "SetClipboardText", "text": "abc" },
                { "type": "KeyDown", "key": "ArrowLeft" }, { "type": "KeyDown", "key": "CapsLock" }])");
    f.close();
    using Kind = corpus::InputEvent::Kind;
    const auto events = corpus::readInputScript(dir.filePath("input.json").toStdString());
    ASSERT_EQ(events.size(), 6u) << "an empty character and an unknown control are left out";
    EXPECT_EQ(events[0].kind, Kind::TextInput);
    EXPECT_EQ(events[0].codepoint, U'\u0105');
    EXPECT_EQ(events[1].codepoint, char32_t(0x10794)) << "a character of two UTF-16 units is one";
    EXPECT_EQ(events[2].kind, Kind::TextControl);
    EXPECT_EQ(events[2].control, flash::TextControl::Paste);
    EXPECT_EQ(events[3].kind, Kind::SetClipboard);
    EXPECT_EQ(events[3].text, QStringLiteral("abc"));
    EXPECT_EQ(events[4].keyCode, 37);
    EXPECT_EQ(events[5].keyCode, 20);
}

TEST(TraceCorpus, EachFrameTakesTheEventsUpToTheNextWait) {
    using Kind = corpus::InputEvent::Kind;
    std::vector<corpus::InputEvent> events(4);
    events[0].kind = Kind::KeyDown;
    events[0].keyCode = 9;
    events[1].kind = Kind::Wait;
    events[2].kind = Kind::MouseMove;
    events[3].kind = Kind::Wait;
    const std::vector<std::uint8_t> bytes = testmovies::movie({swf::ShowFrame{}});
    flash::Player player{swf::Bytes(bytes)};
    EXPECT_EQ(corpus::feedFrameInput(player, events, 0), 2u) << "the events after the wait are left for the next frame";
    EXPECT_EQ(corpus::feedFrameInput(player, events, 2), 4u);
    EXPECT_EQ(corpus::feedFrameInput(player, events, 4), 4u) << "nothing is left to feed";
}
