// flashcorpus [--dir RENDER_FOLDER] [--out FOLDER] [NAME...]
// Runs the render corpus and prints each movie's result, then
// "N passed, M failed" and the names that fail.
#include <QGuiApplication>
#include <cstdio>

#include "tools/corpus/render_corpus.h"

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    std::string dir = qEnvironmentVariableIsSet("KINOLUX_CORPUS_DIR")
                          ? qEnvironmentVariable("KINOLUX_CORPUS_DIR").toStdString() + "/ruffle/render"
                          : std::string(KINOLUX_CORPUS_DIR) + "/ruffle/render";
    std::string out;
    std::vector<std::string> only;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--dir" && i + 1 < argc) dir = argv[++i];
        else if (a == "--out" && i + 1 < argc) out = argv[++i];
        else if (a == "--help" || a == "-h") {
            std::puts("usage: flashcorpus [--dir RENDER_FOLDER] [--out FOLDER_FOR_FAILED_PICTURES] [NAME...]");
            return 0;
        } else only.push_back(a);
    }
    auto cases = corpus::listCases(dir);
    if (cases.empty()) {
        std::fprintf(stderr, "flashcorpus: no movies under %s\n", dir.c_str());
        return 1;
    }
    int passed = 0, failed = 0;
    std::vector<std::string> failures;
    for (const auto& c : cases) {
        if (!only.empty() && std::find(only.begin(), only.end(), c.name) == only.end()) continue;
        auto r = corpus::runCase(c, out);
        std::printf("%s %s %s\n", r.passed ? "PASS" : "FAIL", r.name.c_str(), r.detail.c_str());
        std::fflush(stdout);
        if (r.passed) ++passed;
        else {
            ++failed;
            failures.push_back(r.name);
        }
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    for (const auto& f : failures) std::printf("failed: %s\n", f.c_str());
    return 0;
}
