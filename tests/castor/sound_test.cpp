// What happens to sound on the way: volume, and the stream of odd-sized
// blocks at 24 frames per second.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/castor/encode_helpers.h"

namespace castor_test {
namespace {

testpattern::PatternSpec Tone() {
    testpattern::PatternSpec spec = testpattern::Pattern(64, 48, 10, 1);
    spec.streamKind = 2;
    spec.toneLevel = 0.25;
    return spec;
}

TEST(CastorSound, VolumeScalesTheLevelAndClipsInsteadOfWrapping) {
    ScratchFolder folder;
    auto level = [&](const char* volume, double toneLevel) {
        testpattern::PatternSpec spec = Tone();
        spec.toneLevel = toneLevel;
        const std::string output = folder.Path(std::string("vol") + volume + ".wav");
        EXPECT_EQ(EncodePattern(spec, {"-vol", volume, output}).status, 0);
        return SoundLevel(output);
    };
    const double normal = level("256", 0.25);
    EXPECT_NEAR(normal, -15.05, 0.5);  // a sine at a quarter of full scale
    EXPECT_NEAR(level("512", 0.25) - normal, 6.02, 0.3);
    EXPECT_NEAR(level("128", 0.25) - normal, -6.02, 0.3);
    // Four times a loud tone clips to nearly a square wave (about -0.5 dB);
    // wrapped-around samples would sit near -5 dB.
    EXPECT_GT(level("1024", 0.9), -2);
}

TEST(CastorSound, OddBlocksAt24FpsLoseNoSample) {
    ScratchFolder folder;
    testpattern::PatternSpec spec = Tone();
    spec.frameRate = 24;  // 3675 values a frame: half a stereo sample left over every other frame
    spec.seconds = 1;
    const std::string output = folder.Path("odd.wav");
    ASSERT_EQ(EncodePattern(spec, {output}).status, 0);
    EXPECT_EQ(Shell("ffprobe -v error -show_entries stream=duration_ts -of csv=p=0 '" + output + "'"), "44100\n");
    // A phase jump at a block boundary would show as a click: the tone
    // stays clean when resampled through a narrow band-pass.
    const std::string filtered = folder.Path("filtered.wav");
    Shell("ffmpeg -v error -i '" + output + "' -af highpass=f=2000,highpass=f=2000 '" + filtered + "'");
    EXPECT_LT(SoundLevel(filtered), -50);
}

TEST(CastorSound, ResamplesAndMixesDownForTheEncoder) {
    ScratchFolder folder;
    const std::string output = folder.Path("mono.mp3");
    ASSERT_EQ(EncodePattern(Tone(), {"-ar", "22050", "-ac", "1", "-ab", "48.000000", output}).status, 0);
    auto probe = Probe(output);
    EXPECT_EQ(probe["audio.sample_rate"], "22050");
    EXPECT_EQ(probe["audio.channels"], "1");
    EXPECT_NEAR(SoundLevel(output), -15.05, 1.0);  // the same tone in both channels mixes to itself
}

}  // namespace
}  // namespace castor_test
