// kinoluxbatch as a user runs it: real conversions by kinolux with a broken
// movie among good ones and a second run that resumes; a stand-in kinolux
// that hangs or crashes on some movies; shards of one list run apart.
#include "tests/shell/kinolux_program_runs.h"

#include <map>
#include <set>
#include <sstream>

namespace kinolux {
namespace {

namespace fs = std::filesystem;
using testing::Quoted;
using testing::RunCommand;
using testing::RunResult;

struct ReportRow {
    std::string movie, output, status, message;
};

// The rows of a CSV report whose fields hold no commas or quotes.
std::vector<ReportRow> ReadCsv(const std::string& path, std::string* header = nullptr) {
    std::ifstream in(path);
    std::string line;
    std::vector<ReportRow> rows;
    if (std::getline(in, line) && header) *header = line;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::stringstream split(line);
        for (std::string field; std::getline(split, field, ',');) fields.push_back(field);
        if (fields.size() < 5) continue;
        rows.push_back({fields[0], fields[1], fields[2], fields.size() > 5 ? fields[5] : ""});
    }
    return rows;
}

std::map<std::string, std::string> StatusByName(const std::vector<ReportRow>& rows) {
    std::map<std::string, std::string> statuses;
    for (const ReportRow& row : rows) statuses[fs::path(row.movie).filename().string()] = row.status;
    return statuses;
}

class KinoluxBatch : public testing::KinoluxProgramTest {
protected:
    void SetUp() override {
        KinoluxProgramTest::SetUp();
        if (IsSkipped()) return;
        fs::copy(fs::path(KINOLUX_BIN_DIR) / "kinoluxbatch", fs::path(program_.path()) / "kinoluxbatch");
    }

    RunResult Batch(const std::string& arguments) {
        return RunCommand("cd " + Quoted(elsewhere_.path()) +
                          " && env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME=" + Quoted(config_.path()) + " " +
                          Quoted(program_.path() + "/kinoluxbatch") + " " + arguments + " 2>&1 </dev/null");
    }

    // Puts a stand-in for kinolux in the program folder: it hangs on a movie
    // whose name holds "hang", crashes on "crash", and otherwise writes its
    // output at once.
    void UseStandIn() {
        const fs::path program = fs::path(program_.path()) / "kinolux";
        fs::remove(program);
        std::ofstream(program) << "#!/bin/sh\n"
                                  "case \"$3\" in\n"
                                  "  *hang*) exec sleep 600 ;;\n"
                                  "  *crash*) kill -SEGV $$ ;;\n"
                                  "esac\n"
                                  "echo converted > \"$5\"\n";
        fs::permissions(program, fs::perms::owner_all);
    }

    std::string MovieFolder(const std::vector<std::string>& names) {
        const std::string folder = out_.path() + "/movies";
        fs::create_directories(folder);
        for (const std::string& name : names) WriteMovie("movies/" + name, testing::HalfDrawnMovie(12));
        return folder;
    }
};

TEST_F(KinoluxBatch, ABrokenMovieAmongGoodOnesIsReportedAndASecondRunResumes) {
    fs::create_directories(out_.path() + "/movies/deeper");
    const std::string folder = MovieFolder({"one.swf", "deeper/two.swf"});
    { std::ofstream(folder + "/broken.swf") << "FWS\x08 this is no movie at all"; }
    const std::string outputs = out_.path() + "/converted", report = out_.path() + "/report.csv";
    RunResult run = Batch("-j 2 --report " + Quoted(report) + " --pi ini/h264mp4.ini --pn 'H264 mp4 Normal' -o " +
                          Quoted(outputs) + " " + Quoted(folder));
    EXPECT_EQ(run.exitCode, 1) << run.output;
    std::string header;
    std::vector<ReportRow> rows = ReadCsv(report, &header);
    EXPECT_EQ(header, "movie,output,status,frames,seconds,message");
    ASSERT_EQ(rows.size(), 3u) << run.output;
    EXPECT_EQ(StatusByName(rows),
              (std::map<std::string, std::string>{{"broken.swf", "failed"}, {"one.swf", "ok"}, {"two.swf", "ok"}}));
    for (const ReportRow& row : rows)
        if (row.status == "failed") {
            EXPECT_FALSE(row.message.empty());
        }
    EXPECT_TRUE(fs::exists(outputs + "/one.mp4"));
    EXPECT_TRUE(fs::exists(outputs + "/two.mp4"));
    EXPECT_EQ(Probe(outputs + "/two.mp4", "stream=codec_name", "v:0"), "h264\n");
    std::set<std::string> left;
    for (const auto& entry : fs::directory_iterator(outputs)) left.insert(entry.path().filename().string());
    EXPECT_EQ(left, (std::set<std::string>{"one.mp4", "two.mp4"})) << "no partial output is left";

    fs::remove(outputs + "/two.mp4");
    run = Batch("--report " + Quoted(report) + " --pi ini/h264mp4.ini --pn 'H264 mp4 Normal' -o " + Quoted(outputs) +
                " " + Quoted(folder));
    rows = ReadCsv(report);
    EXPECT_EQ(StatusByName(rows), (std::map<std::string, std::string>{
                                      {"broken.swf", "failed"}, {"one.swf", "skipped"}, {"two.swf", "ok"}}));
}

TEST_F(KinoluxBatch, AHangingAndACrashingMovieEndAndTheOthersGoOn) {
    UseStandIn();
    const std::string folder = MovieFolder({"a.swf", "hang.swf", "crash.swf", "z.swf"});
    const std::string outputs = out_.path() + "/converted", report = out_.path() + "/report.jsonl";
    const RunResult run = Batch("-j 4 --report " + Quoted(report) + " --pi ini/mp4.ini --pn 'mp4 Normal' -o " +
                                Quoted(outputs) + " " + Quoted(folder));
    EXPECT_EQ(run.exitCode, 1) << run.output;
    std::ifstream in(report);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "[\"movie\",\"output\",\"status\",\"frames\",\"seconds\",\"message\"]");
    std::map<std::string, std::string> statuses;
    const std::regex row("\"movie\":\"[^\"]*/([a-z]+\\.swf)\".*\"status\":\"([a-z]+)\"");
    while (std::getline(in, line)) {
        std::smatch m;
        if (std::regex_search(line, m, row)) statuses[m[1]] = m[2];
    }
    EXPECT_EQ(statuses, (std::map<std::string, std::string>{
                            {"a.swf", "ok"}, {"crash.swf", "crashed"}, {"hang.swf", "timeout"}, {"z.swf", "ok"}}))
        << run.output;
    EXPECT_TRUE(fs::exists(outputs + "/a.mp4"));
    EXPECT_FALSE(fs::exists(outputs + "/hang.mp4"));
    EXPECT_FALSE(fs::exists(outputs + "/.hang.partial.mp4"));
}

TEST_F(KinoluxBatch, ThreeShardsOfAListConvertEachMovieOnce) {
    UseStandIn();
    std::vector<std::string> names;
    for (char c = 'a'; c <= 'g'; ++c) names.push_back(std::string(1, c) + ".swf");
    const std::string folder = MovieFolder(names);
    std::string list;
    for (const std::string& name : names) list += "movies/" + name + "\n";
    { std::ofstream(out_.path() + "/list.txt") << list; }
    std::multiset<std::string> converted;
    for (int shard = 0; shard < 3; ++shard) {
        const std::string outputs = out_.path() + "/shard" + std::to_string(shard);
        const std::string report = outputs + ".csv";
        const RunResult run = Batch("--shard " + std::to_string(shard) + "/3 --report " + Quoted(report) +
                                    " --pi ini/mp4.ini --pn 'mp4 Normal' -o " + Quoted(outputs) + " " +
                                    Quoted(out_.path() + "/list.txt"));
        EXPECT_EQ(run.exitCode, 0) << run.output;
        for (const ReportRow& row : ReadCsv(report)) {
            EXPECT_EQ(row.status, "ok");
            converted.insert(fs::path(row.movie).filename().string());
        }
    }
    EXPECT_EQ(converted, std::multiset<std::string>(names.begin(), names.end()));
}

TEST_F(KinoluxBatch, WrongOptionsAreRefusedWithAHint) {
    const RunResult run = Batch("-j 0 --pi ini/mp4.ini --pn 'mp4 Normal' -o out movie.swf");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("--jobs wants a whole number"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("kinoluxbatch --help"), std::string::npos);
    const RunResult profile = Batch("--pi ini/mp4.ini --pn 'no such' -o out movie.swf");
    EXPECT_NE(profile.output.find("has no profile named \"no such\""), std::string::npos) << profile.output;
}

}  // namespace
}  // namespace kinolux
