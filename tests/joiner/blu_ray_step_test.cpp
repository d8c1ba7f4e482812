// The program's Blu-ray folder step with the real muxer library in the
// program folder, and the whole road from the command line: an AVCHD
// conversion leaves, beside its output, a folder that opens as a disc.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/program_folder.h"
#include "platform/report.h"
#include "shell/blu_ray_folder.h"
#include "shell/joiner_binding.h"
#include "tests/joiner/joiner_fixtures.h"
#include "tests/platform/program_folder_copy.h"
#include "tests/platform/run_command.h"
#include "tests/platform/scoped_temp_folder.h"

namespace {

namespace fs = std::filesystem;
using namespace joiner_test;
using kinolux::testing::ScopedTempFolder;

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

class BluRayStep : public ::testing::Test {
protected:
    void SetUp() override {
        fs::copy_file(fs::path(KINOLUX_BIN_DIR) / kinolux::kJoinerLibraryName, program_ / kinolux::kJoinerLibraryName);
        kinolux::SetProgramFolder(program_.path());
        kinolux::SetConsoleMode(1);
    }
    void TearDown() override {
        kinolux::Joiner().Release();
        kinolux::SetProgramFolder("");
        kinolux::SetConsoleMode(0);
    }

    ScopedTempFolder program_, out_;
};

TEST_F(BluRayStep, WritesTheDiscBesideTheOutputWithRisingPercentages) {
    const std::string output = out_ / "movie.m2ts";
    ASSERT_TRUE(MakeStream(output, 2, kAvchdCodecs));
    std::vector<int> shown;
    kinolux::BluRayProgress progress{[&](int percent, const std::string&) { shown.push_back(percent); },
                                     [] { return false; }};
    ::testing::internal::CaptureStdout();
    kinolux::MakeBluRayFolder(output, progress);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");

    const DiscView view = OpenDisc(out_ / "movie");
    EXPECT_TRUE(view.opened);
    EXPECT_EQ(view.titles, 1u);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), 100);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), 100), 2) << "reading, then writing, each to its end";
}

TEST_F(BluRayStep, SaysWhyAStreamIsRefused) {
    const std::string output = out_ / "notes.m2ts";
    kinolux::testing::WriteTextFile(output, std::string(1000, 'x'));
    ::testing::internal::CaptureStdout();
    kinolux::MakeBluRayFolder(output, kinolux::BluRayProgress{});
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "The file " + output + " is not a transport stream.\n");
    EXPECT_TRUE(Tree(out_ / "notes").empty());
}

// The sample movie through the kinolux program with an AVCHD profile, in
// a copy of the program folder as a user has it.
TEST(AvchdConversion, LeavesABluRayFolderBesideTheOutput) {
    const fs::path bin = KINOLUX_BIN_DIR;
    if (!fs::exists(bin / "kinoluxplayer") || !fs::exists(bin / "samples")) GTEST_SKIP() << "the programs are not built";
    ScopedTempFolder program, config, out;
    kinolux::testing::CopyProgramFolder(bin, program.path());

    const std::string output = out / "sample.m2ts";
    const kinolux::testing::CommandResult run = kinolux::testing::RunCommand(
        "cd " + Quoted(out.path()) + " && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_CONFIG_HOME=" +
        Quoted(config.path()) + " " + Quoted(program / "kinolux") + " /f samples/kinolux-sample.swf /o " + output +
        " /pi ini/avchd.ini /pn AVCHD 1280x720 Normal 2>/dev/null </dev/null");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("DONE!"), std::string::npos) << run.output;
    ASSERT_TRUE(fs::exists(output)) << run.output;

    const std::string disc = out / "sample";
    const DiscView view = OpenDisc(disc);
    ASSERT_TRUE(view.opened) << run.output;
    EXPECT_EQ(view.titles, 1u);
    const double seconds = Duration(output);
    EXPECT_GT(seconds, 5.0) << "the sample plays six seconds";
    EXPECT_NEAR(view.duration / 90000.0, seconds, 1 / 25.0);
    EXPECT_EQ(view.videoCodingTypes, std::vector<int>{0x1b});
    EXPECT_EQ(view.audioCodingTypes, std::vector<int>{0x81});
    const std::string clip = disc + "/BDMV/STREAM/00000.m2ts";
    EXPECT_EQ(StreamCodecs(clip), (std::vector<std::string>{"h264", "ac3"}));
    EXPECT_NEAR(Duration(clip), seconds, 1 / 25.0);
    EXPECT_EQ(Tree(out.path()).size(), Tree(disc).size() + 2) << "the output, its folder, and nothing else";
}

}  // namespace
