// The shared trace corpus: every ActionScript 1/2 movie of
// ruffle/trace runs on the minimal timeline player for the frames its
// test.toml asks, and its trace output must equal output.txt line for line
// (the trailing line feed and CRLF line ends normalised). Prints
// "N passed, M failed" and the failing names; fails when fewer pass than
// the recorded figure, so that a change cannot quietly lose movies.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <regex>
#include <sstream>

#include <gtest/gtest.h>

#include "flash/swf/error.h"
#include "tools/avm1run/timeline_host.h"
#include "tests/platform/outside_requirements.h"

namespace kinolux::avm1run {
namespace {

namespace fs = std::filesystem;

// Movies that pass on the minimal player today.
constexpr int kExpectedPasses = 276;

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string out;
    for (char c : text) {
        if (c != '\r') out.push_back(c);
    }
    while (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
}

int framesToRun(const fs::path& toml) {
    std::smatch m;
    std::string text = readText(toml);
    if (std::regex_search(text, m, std::regex(R"(num_(frames|ticks)\s*=\s*(\d+))"))) return std::stoi(m[2]);
    return 1;
}

std::string runMovie(const fs::path& dir) {
    std::ifstream in(dir / "test.swf", std::ios::binary);
    std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    avm1::ScriptLimits limits;
    limits.timeLimitSeconds = 2;  // a stuck movie must not stall the suite
    try {
        TimelineHost host(std::move(file), limits, filesIn(dir.string()));
        int frames = framesToRun(dir / "test.toml");
        for (int i = 0; i < frames && !host.quit(); ++i) host.runFrame();
        std::string out;
        for (const std::string& line : host.traces()) {
            out += line;
            out.push_back('\n');
        }
        while (!out.empty() && out.back() == '\n') out.pop_back();
        return out;
    } catch (const swf::Error& e) {
        return std::string("(unreadable movie: ") + e.what() + ")";
    }
}

TEST(TraceCorpus, MatchesTheExpectedOutput) {
    const fs::path root = kinolux::testing::CorpusDir() / "ruffle" / "trace";
    if (!fs::is_directory(root)) KINOLUX_MISSING("the trace corpus at " << root);
    std::vector<fs::path> movies;
    for (const auto& entry : fs::directory_iterator(root)) {
        if (fs::exists(entry.path() / "test.swf")) movies.push_back(entry.path());
    }
    std::sort(movies.begin(), movies.end());
    int passed = 0;
    std::vector<std::string> failed;
    for (const fs::path& dir : movies) {
        if (runMovie(dir) == readText(dir / "output.txt")) ++passed;
        else failed.push_back(dir.filename().string());
    }
    std::cout << passed << " passed, " << failed.size() << " failed\n";
    for (const std::string& name : failed) std::cout << "  failed: " << name << '\n';
    EXPECT_GE(passed, kExpectedPasses);
}

}  // namespace
}  // namespace kinolux::avm1run
