// The ActionScript 3 corpora on the player core must not fall below the
// counts they reached; the movies that fail are listed for a look.
#include "tests/flash/corpus_guard.h"

namespace {
// Raise these when more of the corpus matches.
constexpr int kRecordedTracePasses = 1096;
constexpr int kRecordedRenderPasses = 71;

const auto* const kApp = ::testing::AddGlobalTestEnvironment(new kinolux::testing::CorpusApplication);
}  // namespace

TEST(As3TraceCorpus, NoRegressionBelowTheRecordedCount) {
    kinolux::testing::ExpectTraceCorpusPasses("as3trace", kRecordedTracePasses);
}

TEST(As3RenderCorpus, NoRegressionBelowTheRecordedCount) {
    kinolux::testing::ExpectRenderCorpusPasses("as3render", kRecordedRenderPasses);
}
