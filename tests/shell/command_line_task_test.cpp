// How the command line's switch values become the task it converts.
#include "shell/command_line_task.h"
#include "platform/program_folder.h"
#include "profiles/default_output_folder.h"
#include "tests/platform/scoped_temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace kinolux {
namespace {

TEST(CommandLineTask, RelativePathsAreTakenFromAProgramFolderOfTheUsersOwn) {
    testing::ScopedTempFolder programs;
    SetProgramFolder(programs.path());
    EXPECT_EQ(CompleteCommandLinePath("in.swf"), programs / "in.swf");
    EXPECT_EQ(CompleteCommandLinePath("samples/a b.swf"), programs / "samples/a b.swf");
    EXPECT_EQ(CompleteCommandLinePath("/home/ann/a.swf"), "/home/ann/a.swf");
    EXPECT_EQ(CompleteCommandLinePath("./a.swf"), programs / "./a.swf");
}

TEST(CommandLineTask, AnInstalledProgramTakesRelativePathsFromTheWorkingFolder) {
    testing::ScopedTempFolder programs;
    testing::ScopedTempFolder working;
    std::ofstream(programs / kInstalledMarker).put('\n');
    SetProgramFolder(programs.path());
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(working.path());
    EXPECT_EQ(CompleteCommandLinePath("in.swf"), working / "in.swf");
    EXPECT_EQ(CompleteCommandLinePath("../b c/a.swf"), working / "../b c/a.swf");
    EXPECT_EQ(CompleteCommandLinePath("/home/ann/a.swf"), "/home/ann/a.swf");
    std::filesystem::current_path(before);
}

TEST(CommandLineTask, OutputModesOutsideTheThreeAreAutoAndFrameDurationsBelowOneAreFive) {
    EXPECT_EQ(CommandLineOutputMode("7"), 0);
    EXPECT_EQ(CommandLineOutputMode("x"), 0);
    EXPECT_EQ(CommandLineOutputMode(""), 0);
    EXPECT_EQ(CommandLineOutputMode("-1"), 0);
    EXPECT_EQ(CommandLineOutputMode("2"), 2);
    EXPECT_EQ(CommandLineOutputMode("1 "), 1);
    EXPECT_EQ(CommandLineFrameDuration("0"), 5);
    EXPECT_EQ(CommandLineFrameDuration(""), 5);
    EXPECT_EQ(CommandLineFrameDuration("12"), 12);
}

TEST(CommandLineTask, StillImageProfilesTakeTheirAlphaFromTheProfileName) {
    ProfileSettings profile;
    profile.FormatName = "PNG image";
    profile.ProfileName = "PNG with alpha";
    EXPECT_EQ(AlphaFlagForProfile(profile), 1);
    profile.ProfileName = "PNG no alpha";
    EXPECT_EQ(AlphaFlagForProfile(profile), 0);
    profile.ProfileName = "no alpha";
    EXPECT_EQ(AlphaFlagForProfile(profile), 1) << "only a mention after the start counts";
    profile.ProfileName = "PNG Normal";
    EXPECT_EQ(AlphaFlagForProfile(profile), 1);
    profile.FormatName = "MP4";
    profile.ProfileName = "MP4 with alpha";
    EXPECT_EQ(AlphaFlagForProfile(profile), 0);
}

ConversionTask ProbedTask(int frames) {
    ConversionTask task;
    task.totalFrames = frames;
    task.inFrame = 0;
    task.outFrame = frames - 1;
    return task;
}

TEST(CommandLineTask, TheFrameRangeNarrowsTheMovieAndValuesOutsideItAreBroughtIn) {
    std::vector<std::string> notes;
    ConversionTask task = ProbedTask(100);
    ApplyFrameRange("10", "50", task, notes);
    EXPECT_EQ(task.inFrame, 10);
    EXPECT_EQ(task.outFrame, 50);
    EXPECT_TRUE(notes.empty());

    task = ProbedTask(100);
    ApplyFrameRange("", "", task, notes);
    EXPECT_EQ(task.inFrame, 0);
    EXPECT_EQ(task.outFrame, 99);

    task = ProbedTask(100);
    ApplyFrameRange("-4", "250", task, notes);
    EXPECT_EQ(task.inFrame, 0);
    EXPECT_EQ(task.outFrame, 99);
    EXPECT_EQ(notes.size(), 2u);

    notes.clear();
    task = ProbedTask(100);
    ApplyFrameRange("60", "20", task, notes);
    EXPECT_EQ(task.inFrame, 60);
    EXPECT_EQ(task.outFrame, 60) << "an out frame before the in frame";
    EXPECT_EQ(notes.size(), 1u);
}

TEST(CommandLineTask, ShortRangesRunInTwoPassesWhenAutoWasAsked) {
    ConversionTask task = ProbedTask(5);
    EXPECT_EQ(CommandLineRunMode(task, 0), 2);
    EXPECT_EQ(CommandLineRunMode(task, 1), 1);
    task = ProbedTask(6);
    EXPECT_EQ(CommandLineRunMode(task, 0), 0);
}

}  // namespace
}  // namespace kinolux
