#include <gtest/gtest.h>

#include "shell/unique_output_path.h"
#include "tests/platform/scoped_temp_folder.h"

namespace kinolux {
namespace {

using testing::ScopedTempFolder;
using testing::WriteTextFile;

TEST(UniqueOutputPath, AFreeNameIsKeptAndATakenOneNamedAfterTheInput) {
    ScopedTempFolder out;
    EXPECT_EQ(MakeUniqueOutputPath(out / "movie.mpg", "/swf/intro.swf"), out / "movie.mpg");
    WriteTextFile(out / "movie.mpg", "x");
    EXPECT_EQ(MakeUniqueOutputPath(out / "movie.mpg", "/swf/intro.swf"), out / "intro (1).mpg");
    WriteTextFile(out / "intro (1).mpg", "x");
    WriteTextFile(out / "intro (2).mpg", "x");
    EXPECT_EQ(MakeUniqueOutputPath(out / "movie.mpg", "/swf/intro.swf"), out / "intro (3).mpg");
    EXPECT_EQ(MakeUniqueOutputPath(out / "intro (1).mpg", "/swf/intro.swf"), out / "intro (3).mpg");
}

TEST(UniqueOutputPath, DotsInFoldersAndNamesWithoutExtension) {
    ScopedTempFolder out;
    std::filesystem::create_directory(out / "my.videos");
    WriteTextFile(out / "my.videos/movie", "x");
    EXPECT_EQ(MakeUniqueOutputPath(out / "my.videos/movie", "/a.b/intro"), out / "my.videos/intro (1)");
    std::filesystem::create_directory(out / "images");
    EXPECT_EQ(MakeUniqueOutputPath(out / "images", "/swf/v1.2.swf"), out / "v1.2 (1)") << "a folder counts as taken";
    WriteTextFile(out / "clip.tar.gz", "x");
    EXPECT_EQ(MakeUniqueOutputPath(out / "clip.tar.gz", "intro.swf"), out / "intro (1).gz");
}

TEST(UniqueOutputPath, AnImageSequenceNeverWritesIntoAnEarlierSequencesFolder) {
    ScopedTempFolder out;
    std::filesystem::create_directory(out / "clip");
    EXPECT_EQ(MakeUniqueOutputPath(out / "clip.png", "/swf/intro.swf"), out / "clip.png") << "a file output";
    EXPECT_EQ(MakeUniqueOutputPath(out / "clip.png", "/swf/intro.swf", true), out / "intro (1).png");
    std::filesystem::create_directory(out / "intro (1)");
    EXPECT_EQ(MakeUniqueOutputPath(out / "clip.png", "/swf/intro.swf", true), out / "intro (2).png");
}

TEST(UniqueOutputPath, ARelativeOutputStaysRelative) {
    ScopedTempFolder out;
    const std::filesystem::path old = std::filesystem::current_path();
    std::filesystem::current_path(out.path());
    WriteTextFile("movie.avi", "x");
    EXPECT_EQ(MakeUniqueOutputPath("movie.avi", "/swf/intro.swf"), "intro (1).avi");
    std::filesystem::current_path(old);
}

}  // namespace
}  // namespace kinolux
