// flashcorpus [--trace] [--dir FOLDER] [--out FOLDER] [NAME...]
// Runs the render corpus (or, with --trace, the trace corpus) on the player
// core and prints each movie's result, then "N passed, M failed" and the
// names that fail.
#include <QGuiApplication>
#include <algorithm>
#include <cstdio>

#include "tools/corpus/render_corpus.h"
#include "tools/corpus/trace_corpus.h"

namespace {

struct Outcome {
    std::string name;
    bool passed;
    std::string detail;
};

int report(const std::vector<Outcome>& outcomes) {
    int passed = 0;
    std::vector<std::string> failures;
    for (const auto& o : outcomes) {
        if (o.passed) ++passed;
        else failures.push_back(o.name + " " + o.detail);
    }
    std::printf("%d passed, %zu failed\n", passed, failures.size());
    for (const auto& f : failures) std::printf("failed: %s\n", f.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("KINOLUX_DEBUG")) qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QGuiApplication app(argc, argv);
    const std::string corpusRoot = qEnvironmentVariableIsSet("KINOLUX_CORPUS_DIR")
                                       ? qEnvironmentVariable("KINOLUX_CORPUS_DIR").toStdString()
                                       : std::string(KINOLUX_CORPUS_DIR);
    bool trace = false;
    std::string dir, out;
    std::vector<std::string> only;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--trace") trace = true;
        else if (a == "--dir" && i + 1 < argc) dir = argv[++i];
        else if (a == "--out" && i + 1 < argc) out = argv[++i];
        else if (a == "--help" || a == "-h") {
            std::puts("usage: flashcorpus [--trace] [--dir FOLDER] [--out FOLDER_FOR_WHAT_FAILING_MOVIES_SHOWED] [NAME...]");
            return 0;
        } else only.push_back(a);
    }
    if (dir.empty()) dir = corpusRoot + (trace ? "/ruffle/trace" : "/ruffle/render");
    auto wanted = [&](const std::string& name) { return only.empty() || std::find(only.begin(), only.end(), name) != only.end(); };
    std::vector<Outcome> outcomes;
    // Each result is printed as it comes, so a long run shows where it is.
    auto runEach = [&](const auto& cases, auto run) {
        for (const auto& c : cases) {
            if (!wanted(c.name)) continue;
            auto r = run(c, out);
            std::printf("%s %s %s\n", r.passed ? "PASS" : "FAIL", r.name.c_str(), r.detail.c_str());
            std::fflush(stdout);
            outcomes.push_back({r.name, r.passed, r.detail});
        }
    };
    if (trace) runEach(corpus::listTraceCases(dir), corpus::runTraceCase);
    else runEach(corpus::listCases(dir), corpus::runCase);
    if (outcomes.empty()) {
        std::fprintf(stderr, "flashcorpus: no movies under %s\n", dir.c_str());
        return 1;
    }
    return report(outcomes);
}
