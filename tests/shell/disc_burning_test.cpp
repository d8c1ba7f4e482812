// Collecting burnable outputs into the burner's command.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include "platform/program_folder.h"
#include "platform/report.h"
#include "shell/disc_burning.h"
#include "tests/shell/recorded_runs.h"

namespace kinolux {
namespace {

using testing::ScopedTempFolder;

ConversionTask Converted(const std::string& output, int canBurn, const std::string& burnType) {
    ConversionTask task;
    task.outputPath = output;
    task.profile.bCanBurn = canBurn;
    task.profile.BurnType = burnType;
    return task;
}

// A file of that size that takes no room on the disc.
void MakeSparseFile(const std::string& path, off_t size) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, size), 0);
    ::close(fd);
}

TEST(DiscBurning, OnlyOutputsOfTheFirstDiscTypeAreCollected) {
    BurnList list;
    CollectBurnableOutput(list, Converted("/out/a.vob", 1, "dvd"));
    CollectBurnableOutput(list, Converted("/out/b.avi", 0, "dvd"));
    CollectBurnableOutput(list, Converted("/out/c.mpg", 1, "vcd"));
    CollectBurnableOutput(list, Converted("/out/d.vob", 1, "dvd"));
    EXPECT_TRUE(list.requested);
    EXPECT_EQ(FinalBurnCommand(list), "burn -f \"/out/a.vob\" \"/out/d.vob\" -t dvd");
    EXPECT_EQ(FinalBurnCommand(BurnList{}), "burn -f ") << "nothing collected, nothing added";
}

TEST(DiscBurning, LargeOutputsBringTheirParts) {
    ScopedTempFolder out;
    MakeSparseFile(out / "x.vob", 3000000000);
    MakeSparseFile(out / "x1.vob", 500000000);
    MakeSparseFile(out / "x11.vob", 10);  // after a part that fits, no more parts
    MakeSparseFile(out / "y.vob", 2000000001);
    MakeSparseFile(out / "y1.vob", 2100000000);
    MakeSparseFile(out / "z.vob", 2000000000);
    MakeSparseFile(out / "z1.vob", 10);
    BurnList list;
    for (const char* name : {"x.vob", "y.vob", "z.vob"}) CollectBurnableOutput(list, Converted(out / name, 1, "dvd"));
    EXPECT_EQ(FinalBurnCommand(list), "burn -f \"" + (out / "x.vob") + "\" \"" + (out / "x1.vob") + "\" \"" +
                                          (out / "y.vob") + "\" \"" + (out / "y1.vob") + "\" \"" + (out / "z.vob") +
                                          "\" -t dvd");

    BurnList other;
    CollectBurnableOutput(other, Converted(out / "w.mpg", 1, "vcd"));
    CollectBurnableOutput(other, Converted(out / "x.vob", 1, "dvd"));
    CollectBurnableOutput(other, Converted(out / "y.vob", 0, ""));
    EXPECT_EQ(FinalBurnCommand(other), "burn -f \"" + (out / "w.mpg") + "\" -t vcd")
        << "the parts of outputs left off the disc stay off it";
    EXPECT_EQ(NextPartPath("/a.b/x"), "/a.b/x1");
    EXPECT_EQ(NextPartPath("/out/x1.vob"), "/out/x11.vob");
}

TEST(DiscBurning, TheBurnerIsNeverStartedUnasked) {
    testing::RecordedRuns runs;
    ScopedTempFolder program;
    SetProgramFolder(program.path());
    testing::RecordedRuns::AddProgramAt(program / "Disc Forge");
    BurnList list;
    CollectBurnableOutput(list, Converted("/out/a.vob", 1, "dvd"));
    SetConsoleMode(1);
    EXPECT_FALSE(LaunchDiscBurner(list)) << "console mode answers the question with no";
    SetConsoleMode(0);
    EXPECT_FALSE(LaunchDiscBurner(BurnList{})) << "nothing collected: no question";
    EXPECT_TRUE(runs.Runs().empty());
    SetProgramFolder("");
}

}  // namespace
}  // namespace kinolux
