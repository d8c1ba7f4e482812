// The post-processing command: its items, its place holders, and the
// program run with them as its arguments, never through a shell.
#include <gtest/gtest.h>

#include "platform/program_folder.h"
#include "shell/post_process.h"
#include "tests/shell/recorded_runs.h"

namespace kinolux {
namespace {

using Items = std::vector<std::string>;

TEST(PostProcess, QuotedItemsSeparatedByBlanks) {
    EXPECT_EQ(SplitPostProcessItems("\"/opt/tools/tag\" \"%out\" \"-q\""), (Items{"/opt/tools/tag", "%out", "-q"}));
    EXPECT_EQ(SplitPostProcessItems("  \"a b\"   \"c\"  "), (Items{"a b", "c"})) << "blanks between and around";
    EXPECT_EQ(SplitPostProcessItems("\"/bin/tool\""), (Items{"/bin/tool"}));
    EXPECT_EQ(SplitPostProcessItems("\"x\" \"\""), (Items{"x", ""})) << "an empty item is an empty argument";
    EXPECT_EQ(SplitPostProcessItems("/bin/tool"), (Items{"/bin/tool"})) << "unquoted text loses no character";
    EXPECT_EQ(SplitPostProcessItems("   "), Items{});
}

TEST(PostProcess, PlaceHolders) {
    SetProgramFolder("/opt/kinolux");
    EXPECT_EQ(ReplacePostProcessPlaceHolder("./tool", "/out/a.avi"), "/opt/kinolux/tool");
    EXPECT_EQ(ReplacePostProcessPlaceHolder("--config=./x.ini", "/out/a.avi"), "--config=/opt/kinolux/x.ini");
    EXPECT_EQ(ReplacePostProcessPlaceHolder("./a/./b", "/o"), "/opt/kinolux/a/./b") << "only the first";
    EXPECT_EQ(ReplacePostProcessPlaceHolder("../tool", "/o"), "../tool") << "a parent folder is no place holder";
    EXPECT_EQ(ReplacePostProcessPlaceHolder("%out", "/out/a.avi"), "/out/a.avi");
    EXPECT_EQ(ReplacePostProcessPlaceHolder("in=%out,%out", "/o.avi"), "in=/o.avi,%out");
    EXPECT_EQ(ReplacePostProcessPlaceHolder("./%out", "/o.avi"), "/opt/kinolux/%out") << "one place holder an item";
    EXPECT_EQ(PostProcessArguments("\"/tools/tag\" \"%out\" \"-q\"", "/out/a.avi"), (Items{"/tools/tag", "/out/a.avi", "-q"}));
    SetProgramFolder("");
}

TEST(PostProcess, RunsTheProgramWithItsArgumentsAndWaitsForIt) {
    testing::RecordedRuns runs;
    testing::ScopedTempFolder program;
    SetProgramFolder(program.path());
    testing::RecordedRuns::AddProgramAt(program / "tag");
    // Text a shell would act on reaches the program as it stands.
    const std::string output = "/out/my movie; rm -rf $HOME `id`.avi";
    EXPECT_TRUE(RunPostProcess(output, "\"./tag\" \"%out\" \"-q\" \"$PATH\""));
    std::vector<testing::ProgramRun> recorded = runs.Runs();  // no waiting: it has ended
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0], (testing::ProgramRun{"tag", output, "-q", "$PATH"}));

    runs.AddProgram("from-path");
    runs.SetExitCode(3);
    EXPECT_TRUE(RunPostProcess("/o.avi", "\"from-path\"")) << "the exit code is not read";
    EXPECT_EQ(runs.Runs().size(), 2u);
    EXPECT_FALSE(RunPostProcess("/o.avi", "\"./missing\" \"%out\"")) << "a missing program fails silently";
    EXPECT_FALSE(RunPostProcess("/o.avi", ""));
    SetProgramFolder("");
}

}  // namespace
}  // namespace kinolux
