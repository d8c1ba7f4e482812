// What happens to pictures on the way: crop, scale, pad, aspect, frame
// rates, pictures of another size, and gaps in the input's times.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/castor/encode_helpers.h"

namespace castor_test {
namespace {

testpattern::PatternSpec Small() { return testpattern::Pattern(320, 240, 10, 1); }

// The first frame's pixel at (x, y) as "r,g,b".
std::string Pixel(const std::string& path, int x, int y) {
    const std::string bytes = Shell("ffmpeg -v error -i '" + path + "' -frames:v 1 -vf format=rgb24,crop=1:1:" +
                                  std::to_string(x) + ":" + std::to_string(y) +
                                  " -f rawvideo -pix_fmt rgb24 -");
    if (bytes.size() != 3) {
        return "none";
    }
    return std::to_string(static_cast<unsigned char>(bytes[0])) + "," +
           std::to_string(static_cast<unsigned char>(bytes[1])) + "," +
           std::to_string(static_cast<unsigned char>(bytes[2]));
}

bool Near(const std::string& rgb, int r, int g, int b, int tolerance = 12) {
    int values[3] = {};
    if (std::sscanf(rgb.c_str(), "%d,%d,%d", &values[0], &values[1], &values[2]) != 3) {
        return false;
    }
    return std::abs(values[0] - r) <= tolerance && std::abs(values[1] - g) <= tolerance &&
           std::abs(values[2] - b) <= tolerance;
}

TEST(CastorPictures, CropThenScaleThenPadToTheFullFrame) {
    ScratchFolder folder;
    const std::string output = folder.Path("padded.mp4");
    // As the argument builder asks for 720x480 with 60 rows of padding
    // above and below: the picture is scaled to 720x360 and padded.
    const EncodeResult result =
        EncodePattern(Small(), {"-cropleft", "40", "-padtop", "60", "-padbottom", "60", "-padleft", "0",
                                "-padright", "0", "-padcolor", "0xff8000", "-s", "720x360", "-aspect", "16:9",
                                output});
    ASSERT_EQ(result.status, 0);
    auto probe = Probe(output);
    EXPECT_EQ(probe["video.width"], "720");
    EXPECT_EQ(probe["video.height"], "480");
    EXPECT_EQ(probe["video.display_aspect_ratio"], "16:9");
    EXPECT_TRUE(Near(Pixel(output, 360, 10), 255, 128, 0)) << Pixel(output, 360, 10);    // border
    EXPECT_TRUE(Near(Pixel(output, 360, 470), 255, 128, 0)) << Pixel(output, 360, 470);  // border
    EXPECT_TRUE(Near(Pixel(output, 500, 100), 20, 30, 60)) << Pixel(output, 500, 100);   // the dark field
    // Cropping 40 columns cuts the first colour bar (red, 53 wide) to 13
    // columns, which scale to about 36 of 720.
    EXPECT_TRUE(Near(Pixel(output, 20, 400), 160, 0, 0, 20)) << Pixel(output, 20, 400);
    EXPECT_TRUE(Near(Pixel(output, 60, 400), 0, 160, 0, 20)) << Pixel(output, 60, 400);
}

TEST(CastorPictures, PicturesOfAnotherSizeAreScaledToTheFrame) {
    ScratchFolder folder;
    const std::string output = folder.Path("scaled.avi");
    testpattern::PatternSpec spec = Small();
    spec.pictureWidth = 640;
    spec.pictureHeight = 480;
    ASSERT_EQ(EncodePattern(spec, {output}).status, 0);
    auto probe = Probe(output);
    EXPECT_EQ(probe["video.width"], "320");
    EXPECT_EQ(probe["video.height"], "240");
    EXPECT_TRUE(Near(Pixel(output, 35, 200), 160, 0, 0, 20)) << Pixel(output, 35, 200);
}

TEST(CastorPictures, OutputRateRepeatsOrDropsPictures) {
    ScratchFolder folder;
    const std::string faster = folder.Path("faster.mp4");
    ASSERT_EQ(EncodePattern(Small(), {"-r", "25", faster}).status, 0);
    EXPECT_EQ(VideoFrameCount(faster), 25);
    const std::string slower = folder.Path("slower.mp4");
    ASSERT_EQ(EncodePattern(Small(), {"-r", "5", slower}).status, 0);
    EXPECT_EQ(VideoFrameCount(slower), 5);
}

TEST(CastorPictures, AJumpInTimeKeepsThePictureAndFillsTheSoundWithSilence) {
    ScratchFolder folder;
    const std::string output = folder.Path("gap.mkv");
    testpattern::PatternSpec spec = Small();
    spec.gapAfterFrame = 4;
    spec.gapSeconds = 1.0;  // frames 5 to 9 come a second late
    ASSERT_EQ(EncodePattern(spec, {"-acodec", "flac", output}).status, 0);
    auto probe = Probe(output);
    EXPECT_NEAR(Length(output), 2.0, 0.1);
    EXPECT_EQ(VideoFrameCount(output), 20);
    // The tone stops during the gap: the sound from 0.6 s to 1.4 s is silent.
    const std::string gap = folder.Path("gap.wav");
    Shell("ffmpeg -v error -ss 0.6 -t 0.8 -i '" + output + "' -vn '" + gap + "'");
    EXPECT_LT(SoundLevel(gap), -80);

    // -async 0 joins the sound end to end: one second of it, no gap.
    const std::string joined = folder.Path("joined.wav");
    ASSERT_EQ(EncodePattern(spec, {"-async", "0", joined}).status, 0);
    EXPECT_NEAR(Length(joined), 1.0, 0.01);
}

}  // namespace
}  // namespace castor_test
