// The ActionScript 3 corpora on the player core must not fall below the
// counts they reached; the movies that fail are listed for a look.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include "tests/platform/outside_requirements.h"
#include "tests/platform/test_application.h"
#include "tools/corpus/render_corpus.h"
#include "tools/corpus/trace_corpus.h"

namespace {
// Raise these when more of the corpus matches.
constexpr int kRecordedTracePasses = 879;
constexpr int kRecordedRenderPasses = 66;

class CorpusApp : public ::testing::Environment {
public:
    void SetUp() override { kinolux::testing::EnsureApplication<QGuiApplication>(); }
};

const auto* const kApp = ::testing::AddGlobalTestEnvironment(new CorpusApp);
}  // namespace

TEST(As3TraceCorpus, NoRegressionBelowTheRecordedCount) {
    std::string dir = kinolux::testing::CorpusDir().string() + "/ruffle/as3trace";
    auto cases = corpus::listTraceCases(dir);
    if (cases.empty()) KINOLUX_MISSING("the corpus at " << dir);
    int passed = 0;
    for (const auto& c : cases) {
        if (corpus::runTraceCase(c).passed) ++passed;
    }
    std::printf("%d passed, %zu failed\n", passed, cases.size() - std::size_t(passed));
    EXPECT_GE(passed, kRecordedTracePasses);
}

TEST(As3RenderCorpus, NoRegressionBelowTheRecordedCount) {
    std::string dir = kinolux::testing::CorpusDir().string() + "/ruffle/as3render";
    auto cases = corpus::listCases(dir);
    if (cases.empty()) KINOLUX_MISSING("the corpus at " << dir);
    int passed = 0;
    for (const auto& c : cases) {
        auto r = corpus::runCase(c);
        if (r.passed) ++passed;
        else std::printf("failed: %s %s\n", r.name.c_str(), r.detail.c_str());
    }
    std::printf("%d passed, %zu failed\n", passed, cases.size() - std::size_t(passed));
    EXPECT_GE(passed, kRecordedRenderPasses);
}
