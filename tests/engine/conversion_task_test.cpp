#include <gtest/gtest.h>

#include "engine/conversion_task.h"
#include "tests/platform/scoped_temp_folder.h"

namespace kinolux {
namespace {

TEST(ConversionTask, CreationReadsAndPreparesTheProfile) {
    testing::ScopedTempFolder dir;
    std::string file = dir / "ntscdvd.ini";
    testing::WriteTextFile(file, "[mpg Normal]\nFormatName=DVD\nnVideoRiszeOption=7\nnVideoBitRateLevel=3\n"
                                 "nAspect=2\nbVideoEnablePad=1\nnVideoPadTop=4\n");
    auto task = CreateConversionTask("/movies/a.swf", file, "mpg Normal", 0);
    EXPECT_EQ(task->inputPath, "/movies/a.swf");
    EXPECT_EQ(task->profile.ProfileName, "mpg Normal");
    EXPECT_EQ(task->profile.ProfileFile, file);
    EXPECT_EQ(task->profile.nDefaultVideoBitRate, 1012);  // 720 x 480 x 3 x 0.9765625 / 1000
    EXPECT_EQ(task->profile.nAspect, 2) << "no source size yet, so no fit";
    EXPECT_EQ(task->profile.nVideoPadTop, 4);
    auto missing = CreateConversionTask("/movies/a.swf", dir / "none.ini", "x", 0);
    EXPECT_EQ(missing->profile.FormatName, "");
    EXPECT_EQ(missing->profile.nDefaultVideoBitRate, 0);
    SetCurrentTask(task.get());
    EXPECT_EQ(CurrentTask(), task.get());
    SetCurrentTask(nullptr);
}

}  // namespace
}  // namespace kinolux
