// The corpus regression guards: every movie of a corpus run on the player
// core, the ones that fail named for a look, and the number that pass held
// to the count the corpus once reached.
#pragma once

#include <gtest/gtest.h>

#include <QGuiApplication>

#include <cstdio>
#include <string>

#include "tests/platform/outside_requirements.h"
#include "tests/platform/test_application.h"
#include "tools/corpus/render_corpus.h"
#include "tools/corpus/trace_corpus.h"

namespace kinolux::testing {

// The movies draw, so the program needs a QGuiApplication first.
class CorpusApplication : public ::testing::Environment {
public:
    void SetUp() override { EnsureApplication<QGuiApplication>(); }
};

// `folder` is below the shared corpus's ruffle folder; a missing corpus
// skips (or fails, where the corpus is required).
template <class List, class Run>
void ExpectCorpusPasses(const std::string& folder, List list, Run run, int recorded) {
    const std::string dir = CorpusDir().string() + "/ruffle/" + folder;
    const auto cases = list(dir);
    if (cases.empty()) KINOLUX_MISSING("the corpus at " << dir);
    int passed = 0;
    for (const auto& c : cases) {
        const auto r = run(c);
        if (r.passed)
            ++passed;
        else
            std::printf("failed: %s %s\n", r.name.c_str(), r.detail.c_str());
    }
    std::printf("%d passed, %zu failed\n", passed, cases.size() - std::size_t(passed));
    EXPECT_GE(passed, recorded);
}

inline void ExpectRenderCorpusPasses(const std::string& folder, int recorded) {
    ExpectCorpusPasses(folder, ::corpus::listCases, [](const ::corpus::RenderCase& c) { return ::corpus::runCase(c); },
                       recorded);
}

inline void ExpectTraceCorpusPasses(const std::string& folder, int recorded) {
    ExpectCorpusPasses(folder, ::corpus::listTraceCases,
                       [](const ::corpus::TraceCase& c) { return ::corpus::runTraceCase(c); }, recorded);
}

}  // namespace kinolux::testing
