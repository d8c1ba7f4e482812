#include <gtest/gtest.h>

#include "platform/paths.h"
#include "platform/program_folder.h"
#include "platform/report.h"
#include "tests/platform/scoped_temp_folder.h"

namespace kinolux {
namespace {

TEST(Paths, ExtensionsBelongToTheFileNameOnly) {
    EXPECT_EQ(WithoutExtension("/out/movie.mpg"), "/out/movie");
    EXPECT_EQ(WithoutExtension("/my.videos/movie"), "/my.videos/movie");
    EXPECT_EQ(WithoutExtension("a.b.c"), "a.b");
    EXPECT_EQ(ExtensionOf("/x/y.tar.gz"), "gz");
    EXPECT_EQ(ExtensionOf("/x.d/y"), "");
    EXPECT_EQ(FolderOf("/a/b/c.ini"), "/a/b");
    EXPECT_EQ(FolderOf("c.ini"), "");
    EXPECT_EQ(FileNameOf("/a/b/c.ini"), "c.ini");
}

TEST(Paths, MakesEveryFolderUpToTheLastSlash) {
    testing::ScopedTempFolder dir;
    EXPECT_TRUE(MakeFoldersUpToLastSlash(dir / "a/b/c/file.txt"));
    EXPECT_TRUE(FolderExists(dir / "a/b/c"));
    EXPECT_FALSE(PathExists(dir / "a/b/c/file.txt"));
    EXPECT_TRUE(MakeFoldersUpToLastSlash(dir / "a//d/"));
    EXPECT_TRUE(FolderExists(dir / "a/d"));
    testing::WriteTextFile(dir / "plain", "x");
    EXPECT_FALSE(MakeFoldersUpToLastSlash(dir / "plain/sub/"));
}

TEST(ProgramFolder, IsTheExecutablesFolderUnlessSet) {
    std::string folder = GetProgramFolder();
    EXPECT_TRUE(IsAbsolutePath(folder));
    EXPECT_NE(folder.back(), '/');
    EXPECT_EQ(GetProgramFolder(true), folder + "/");
    SetProgramFolder("/opt/kinolux/");
    EXPECT_EQ(GetProgramFolder(), "/opt/kinolux");
    SetProgramFolder("");
    EXPECT_EQ(GetProgramFolder(), folder);
}

TEST(Report, ConsoleModeWritesTheTextAndALineFeed) {
    SetConsoleMode(1);
    ::testing::internal::CaptureStdout();
    ReportMessage("Something failed");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Something failed\n");
    SetConsoleMode(0);
    // Without an application object no box can be answered: the text still
    // reaches the user instead of waiting for an invisible click.
    ::testing::internal::CaptureStdout();
    ReportMessage("No window");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "No window\n");
}

TEST(Report, DebugOutputOnlyWhenAskedFor) {
    ::unsetenv("KINOLUX_DEBUG");
    ::testing::internal::CaptureStderr();
    DebugOutput("hidden");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    ::setenv("KINOLUX_DEBUG", "1", 1);
    ::testing::internal::CaptureStderr();
    DebugOutput("shown");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "shown\n");
    ::unsetenv("KINOLUX_DEBUG");
}

}  // namespace
}  // namespace kinolux
