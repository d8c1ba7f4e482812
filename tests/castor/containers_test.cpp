// Every container of the format catalogue, with the codecs its devices
// play, encoded from the frame callback and read back with ffprobe.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/castor/encode_helpers.h"

namespace castor_test {
namespace {

struct ContainerCase {
    const char* name;
    const char* output;
    std::vector<std::string> arguments;
    const char* video;  // codec name as ffprobe gives it; null: no video
    const char* audio;
    int sampleRate;
    int channels;
};

void PrintTo(const ContainerCase& test, std::ostream* out) { *out << test.name; }

constexpr double kFrameRate = 10;
constexpr double kSeconds = 1.2;
constexpr int kMarkFrame = 5;  // drawn white, with the tone starting at 0.5 s

class CastorContainer : public testing::TestWithParam<ContainerCase> {};

TEST_P(CastorContainer, HoldsTheDeviceStreamsForTheWholeInput) {
    const ContainerCase& test = GetParam();
    ScratchFolder folder;
    const std::string output = folder.Path(test.output);
    testpattern::PatternSpec spec = testpattern::Pattern(176, 144, kFrameRate, kSeconds);
    spec.markFrame = kMarkFrame;
    spec.toneHz = 1000;
    std::vector<std::string> arguments = test.arguments;
    arguments.push_back(output);
    const EncodeResult result = EncodePattern(spec, arguments);
    ASSERT_EQ(result.status, 0) << (result.errors.empty() ? "" : result.errors.front());
    EXPECT_TRUE(result.errors.empty());
    ASSERT_FALSE(result.positions.empty());
    EXPECT_NEAR(result.positions.back(), kSeconds, 0.15);

    auto probe = Probe(output);
    ASSERT_FALSE(probe.empty()) << "ffprobe cannot read " << test.output;
    EXPECT_EQ(probe["streams"], std::to_string((test.video != nullptr) + (test.audio != nullptr)));
    if (test.video != nullptr) {
        EXPECT_EQ(probe["video.codec_name"], test.video);
        EXPECT_EQ(probe["video.width"], "176");
        EXPECT_EQ(probe["video.height"], "144");
    }
    if (test.audio != nullptr) {
        EXPECT_EQ(probe["audio.codec_name"], test.audio);
        EXPECT_EQ(probe["audio.sample_rate"], std::to_string(test.sampleRate));
        EXPECT_EQ(probe["audio.channels"], std::to_string(test.channels));
    }
    // Within one frame of the input's length (plus the audio encoder's
    // last frame, which may run past the end).
    EXPECT_NEAR(Length(output), kSeconds, 1 / kFrameRate + 0.03) << test.output;

    if (test.video != nullptr && test.audio != nullptr) {
        const MarkTimes marks = FindMarks(output);
        ASSERT_GE(marks.picture, 0);
        ASSERT_GE(marks.sound, 0);
        EXPECT_NEAR(marks.picture, marks.sound, 1 / kFrameRate) << "the marked frame and the tone drift apart";
    }
}

const ContainerCase kCatalogue[] = {
    {"mp4", "out.mp4", {}, "h264", "aac", 44100, 2},
    {"mp4_mpeg4", "out.mp4", {"-vcodec", "mpeg4", "-acodec", "aac", "-ar", "22050"}, "mpeg4", "aac", 22050, 2},
    {"m4a", "out.m4a", {}, nullptr, "aac", 44100, 2},
    {"mov", "out.mov", {"-vcodec", "mpeg4"}, "mpeg4", "aac", 44100, 2},
    {"3gp", "out.3gp", {}, "h263", "amr_nb", 8000, 1},
    {"3gp_aac", "out.3gp", {"-vcodec", "mpeg4", "-acodec", "aac", "-ac", "1", "-ar", "22050"}, "mpeg4", "aac",
     22050, 1},
    {"3g2", "out.3g2", {}, "h263", "amr_nb", 8000, 1},
    {"3g2_aac", "out.3g2", {"-vcodec", "mpeg4", "-acodec", "aac"}, "mpeg4", "aac", 44100, 2},
    {"avi", "out.avi", {}, "mpeg4", "mp3", 44100, 2},
    {"avi_xvid", "out.avi", {"-vcodec", "xvid", "-acodec", "mp3"}, "mpeg4", "mp3", 44100, 2},
    {"avi_msmpeg4", "out.avi", {"-vcodec", "msmpeg4", "-acodec", "mp2"}, "msmpeg4v3", "mp2", 44100, 2},
    {"avi_mjpeg", "out.avi", {"-vcodec", "mjpeg", "-acodec", "pcm_s16le"}, "mjpeg", "pcm_s16le", 44100, 2},
    {"avi_h264", "out.avi", {"-vcodec", "h264", "-acodec", "mp3"}, "h264", "mp3", 44100, 2},
    {"mpg", "out.mpg", {}, "mpeg1video", "mp2", 44100, 2},
    {"vob", "out.vob", {}, "mpeg2video", "ac3", 48000, 2},
    {"ts", "out.ts", {}, "mpeg2video", "mp2", 44100, 2},
    {"ts_h264", "out.ts", {"-vcodec", "h264", "-acodec", "aac"}, "h264", "aac", 44100, 2},
    {"m2ts", "out.m2ts", {}, "h264", "ac3", 48000, 2},
    {"mkv", "out.mkv", {}, "h264", "vorbis", 44100, 2},
    {"flv", "out.flv", {"-ar", "48000"}, "flv1", "mp3", 44100, 2},
    {"flv_h264", "out.flv", {"-vcodec", "h264", "-acodec", "aac"}, "h264", "aac", 44100, 2},
    {"swf", "out.swf", {"-ar", "22050"}, "flv1", "mp3", 22050, 2},
    {"gif", "out.gif", {}, "gif", nullptr, 0, 0},
    {"asf", "out.asf", {}, "wmv2", "wmav2", 44100, 2},
    {"wmv", "out.wmv", {}, "wmv2", "wmav2", 44100, 2},
    {"wma", "out.wma", {}, nullptr, "wmav2", 44100, 2},
    {"mp3", "out.mp3", {}, nullptr, "mp3", 44100, 2},
    {"mp2", "out.mp2", {}, nullptr, "mp2", 44100, 2},
    {"wav", "out.wav", {}, nullptr, "pcm_s16le", 44100, 2},
    {"aac", "out.aac", {}, nullptr, "aac", 44100, 2},
    {"ac3", "out.ac3", {}, nullptr, "ac3", 44100, 2},
    {"flac", "out.flac", {}, nullptr, "flac", 44100, 2},
    {"ogg", "out.ogg", {}, nullptr, "vorbis", 44100, 2},
    {"mmf", "out.mmf", {}, nullptr, "adpcm_yamaha", 8000, 1},
    {"au", "out.au", {}, nullptr, "pcm_s16be", 44100, 2},
    {"amr", "out.amr", {}, nullptr, "amr_nb", 8000, 1},
    {"awb", "out.awb", {}, nullptr, "amr_wb", 16000, 1},
};

INSTANTIATE_TEST_SUITE_P(Catalogue, CastorContainer, testing::ValuesIn(kCatalogue),
                         [](const testing::TestParamInfo<ContainerCase>& info) { return info.param.name; });

TEST(CastorImages, NumberedSequencesHoldOnePicturePerFrame) {
    for (const char* extension : {"jpg", "png", "bmp"}) {
        ScratchFolder folder;
        testpattern::PatternSpec spec = testpattern::Pattern(64, 48, 10, 1);
        spec.streamKind = 1;
        const EncodeResult result = EncodePattern(spec, {folder.Path(std::string("ren%04d.") + extension)});
        ASSERT_EQ(result.status, 0) << extension;
        const std::vector<std::string> names = folder.Names();
        ASSERT_EQ(names.size(), 10u) << extension;
        EXPECT_EQ(names.front(), std::string("ren0001.") + extension);
        auto probe = Probe(folder.Path(names.back()));
        EXPECT_EQ(probe["video.width"], "64") << extension;
    }
}

TEST(CastorImages, ASingleImageNeedsVframesOne) {
    ScratchFolder folder;
    const testpattern::PatternSpec spec = testpattern::Pattern(64, 48, 25, 1);
    EncodeResult refused = EncodePattern(spec, {folder.Path("still.png")});
    EXPECT_EQ(refused.status, 1);
    ASSERT_FALSE(refused.errors.empty());
    EXPECT_NE(refused.errors.front().find("needs a number in its name"), std::string::npos);
    EXPECT_EQ(EncodePattern(spec, {"-vframes", "1", folder.Path("still.png")}).status, 0);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"still.png"});
}

TEST(CastorDeviceSettings, ProfileTagAndQualitySwitchesReachTheEncoders) {
    ScratchFolder folder;
    const testpattern::PatternSpec spec = testpattern::Pattern(176, 144, 25, 0.5);
    const std::string ipod = folder.Path("ipod.mp4");
    ASSERT_EQ(EncodePattern(spec, {"-f", "mp4", "-profile", "baseline", "-vcodec", "h264", "-hq", ipod}).status, 0);
    EXPECT_NE(Probe(ipod)["video.profile"].find("Baseline"), std::string::npos) << Probe(ipod)["video.profile"];
    const std::string divx = folder.Path("divx.avi");
    ASSERT_EQ(EncodePattern(spec, {"-f", "avi", "-vtag", "DX50", "-vcodec", "mpeg4", "-hq", "-g", "12", divx}).status,
              0);
    EXPECT_EQ(Probe(divx)["video.codec_tag_string"], "DX50");
    const std::string xvid = folder.Path("xvid.avi");
    ASSERT_EQ(EncodePattern(spec, {"-vcodec", "xvid", "-qscale", "3", xvid}).status, 0);
    EXPECT_EQ(Probe(xvid)["video.codec_tag_string"], "XVID");
}

TEST(CastorTargets, DvdTargetMakesPalMpeg2WithAc3) {
    ScratchFolder folder;
    const testpattern::PatternSpec spec = testpattern::Pattern(176, 144, 25, 0.6);
    const std::string output = folder.Path("disc.mpg");
    ASSERT_EQ(EncodePattern(spec, {"-target", "dvd", output}).status, 0);
    auto probe = Probe(output);
    EXPECT_EQ(probe["format.format_name"], "mpeg");
    EXPECT_EQ(probe["video.codec_name"], "mpeg2video");
    EXPECT_EQ(probe["video.width"], "720");
    EXPECT_EQ(probe["video.height"], "576");
    EXPECT_EQ(probe["audio.codec_name"], "ac3");
    EXPECT_EQ(probe["audio.sample_rate"], "48000");
}

}  // namespace
}  // namespace castor_test
