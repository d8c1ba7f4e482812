// Files as input: the lossless intermediate of the two-compression mode fed
// back in, a slice of it, and a file that is not a movie.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "tests/castor/encode_helpers.h"

namespace castor_test {
namespace {

TEST(CastorFileInput, TheLosslessIntermediateEncodesToTheProfile) {
    ScratchFolder folder;
    testpattern::PatternSpec spec = testpattern::Pattern(320, 240, 10, 1.5);
    spec.markFrame = 6;
    const std::string intermediate = folder.Path("movie~temp.avi");
    ASSERT_EQ(EncodePattern(spec, {"-vcodec", "huffyuv", "-acodec", "pcm_s16le", intermediate}).status, 0);
    EXPECT_EQ(Probe(intermediate)["video.codec_name"], "huffyuv");

    const std::string output = folder.Path("movie.avi");
    const EncodeResult result =
        Encode({"-i", intermediate, "-vcodec", "mpeg4", "-acodec", "mp3", "-b", "800", "-ab", "128", "-s",
                "176x144", output});
    ASSERT_EQ(result.status, 0);
    auto probe = Probe(output);
    EXPECT_EQ(probe["video.codec_name"], "mpeg4");
    EXPECT_EQ(probe["video.width"], "176");
    EXPECT_EQ(probe["audio.codec_name"], "mp3");
    EXPECT_NEAR(Length(output), 1.5, 0.1);
    const MarkTimes marks = FindMarks(output);
    EXPECT_NEAR(marks.picture, 0.6, 0.1);
    EXPECT_NEAR(marks.picture, marks.sound, 0.1);
}

TEST(CastorFileInput, StartAndLengthCutASlice) {
    ScratchFolder folder;
    const testpattern::PatternSpec spec = testpattern::Pattern(160, 120, 10, 3);
    const std::string source = folder.Path("source.mkv");
    ASSERT_EQ(EncodePattern(spec, {"-acodec", "flac", source}).status, 0);
    const std::string slice = folder.Path("slice.mp4");
    ASSERT_EQ(Encode({"-i", source, "-ss", "1", "-t", "1.5", slice}).status, 0);
    EXPECT_NEAR(Length(slice), 1.5, 0.1);
}

TEST(CastorFileInput, AFileThatIsNoMovieIsRefused) {
    ScratchFolder folder;
    const std::string text = folder.Path("notes.avi");
    std::ofstream(text) << "these are not pictures";
    const EncodeResult result = Encode({"-i", text, folder.Path("out.mp4")});
    EXPECT_EQ(result.status, 1);
    ASSERT_FALSE(result.errors.empty());
    EXPECT_NE(result.errors.front().find("notes.avi"), std::string::npos);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"notes.avi"});
}

}  // namespace
}  // namespace castor_test
