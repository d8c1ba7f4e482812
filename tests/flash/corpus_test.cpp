// The render and trace corpora must not fall below the counts they reached
// on the player core; names of movies that fail are listed for a look.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include "tests/flash/test_movies.h"
#include "tools/corpus/input_script.h"
#include "tools/corpus/render_corpus.h"
#include "tools/corpus/trace_corpus.h"
#include "tests/platform/outside_requirements.h"

namespace {
// Raise these when more of the corpus matches.
constexpr int kRecordedPasses = 50;
constexpr int kRecordedTracePasses = 300;

class CorpusApp : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "corpus_test";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QGuiApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QGuiApplication> app_;
};

const auto* const kApp = ::testing::AddGlobalTestEnvironment(new CorpusApp);
}  // namespace

TEST(RenderCorpus, NoRegressionBelowTheRecordedCount) {
    std::string dir = testmovies::corpusDir() + "/ruffle/render";
    auto cases = corpus::listCases(dir);
    if (cases.empty()) KINOLUX_MISSING("the corpus at " << dir);
    int passed = 0;
    for (const auto& c : cases) {
        auto r = corpus::runCase(c);
        if (r.passed)
            ++passed;
        else
            std::printf("failed: %s %s\n", r.name.c_str(), r.detail.c_str());
    }
    std::printf("%d passed, %zu failed\n", passed, cases.size() - std::size_t(passed));
    EXPECT_GE(passed, kRecordedPasses);
}

TEST(TraceCorpus, NoRegressionBelowTheRecordedCount) {
    std::string dir = testmovies::corpusDir() + "/ruffle/trace";
    auto cases = corpus::listTraceCases(dir);
    if (cases.empty()) KINOLUX_MISSING("the corpus at " << dir);
    int passed = 0;
    for (const auto& c : cases) {
        auto r = corpus::runTraceCase(c);
        if (r.passed)
            ++passed;
        else
            std::printf("failed: %s %s\n", r.name.c_str(), r.detail.c_str());
    }
    std::printf("%d passed, %zu failed\n", passed, cases.size() - std::size_t(passed));
    EXPECT_GE(passed, kRecordedTracePasses);
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

TEST(TraceCorpus, InputScriptsNameKeysAndStopAtEachWait) {
    using Kind = corpus::InputEvent::Kind;
    std::string error;
    auto script = corpus::InputScript::fromJson(R"([
        {"type": "MouseDown", "pos": [21, 24], "btn": "Left"},
        {"type": "KeyDown", "key": "Tab"},
        {"type": "KeyDown", "key": {"Char": "a"}},
        {"type": "Wait"},
        {"type": "MouseDown", "pos": [1, 2], "btn": "Right"},
        {"type": "TextInput", "codepoint": "a"},
        {"type": "KeyUp", "key": "NoSuchKey"}
    ])", &error);
    ASSERT_EQ(error, "");
    const auto& e = script.events();
    ASSERT_EQ(e.size(), 7u);
    EXPECT_EQ(e[0].kind, Kind::MouseDown);
    EXPECT_EQ(e[0].x, 21);
    EXPECT_EQ(e[0].y, 24);
    EXPECT_EQ(e[1].keyCode, 9);
    EXPECT_EQ(e[2].keyCode, 'A') << "letters take their capital's key code";
    EXPECT_EQ(e[2].charCode, 'a');
    EXPECT_EQ(e[3].kind, Kind::Wait);
    for (std::size_t i = 4; i < 7; ++i) EXPECT_EQ(e[i].kind, Kind::Unsupported) << i;

    const std::vector<std::uint8_t> bytes = testmovies::movie({swf::ShowFrame{}});
    flash::Player player{swf::Bytes(bytes)};
    script.feedUntilWait(player);
    EXPECT_FALSE(script.done()) << "the events after the wait are left for the next frame";
    script.feedUntilWait(player);
    EXPECT_TRUE(script.done());

    corpus::InputScript::fromJson("{\"type\": \"Wait\"}", &error);
    EXPECT_NE(error, "") << "a single event is not a list";
}
