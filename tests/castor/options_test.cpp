// The argument vector's switches as the program's argument builder emits
// them, and the refusals a bad vector gets.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "castor/options.h"
#include "castor/target_presets.h"

namespace castor {
namespace {

std::string Parse(std::vector<std::string> arguments, Options& options) {
    arguments.insert(arguments.begin(), "ffmain");
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments) {
        pointers.push_back(argument.c_str());
    }
    return ParseOptions(static_cast<int>(pointers.size()), pointers.data(), options);
}

TEST(CastorOptions, ReadsEverySwitchTheArgumentBuilderEmits) {
    Options options;
    ASSERT_EQ(Parse({"-i", "frame_input.kinolux", "-an", "-ar", "22050", "-ac", "1", "-vol", "512", "-ab",
                     "128.000000", "-vn", "-hq", "-r", "29.9700000", "-b", "800", "-acodec", "mp3",
                     "-vcodec", "xvid", "-croptop", "2", "-cropbottom", "4", "-cropleft", "6",
                     "-cropright", "8", "-padtop", "60", "-padbottom", "62", "-padleft", "0",
                     "-padright", "16", "-padcolor", "0xff8000", "-s", "720x360", "-aspect", "16:9",
                     "out.avi"},
                    options),
              "");
    EXPECT_EQ(options.input, "frame_input.kinolux");
    EXPECT_EQ(options.output, "out.avi");
    EXPECT_TRUE(options.noAudio);
    EXPECT_TRUE(options.noVideo);
    EXPECT_TRUE(options.highQuality);
    EXPECT_EQ(options.audioRate, 22050);
    EXPECT_EQ(options.audioChannels, 1);
    EXPECT_EQ(options.volume, 512);
    EXPECT_DOUBLE_EQ(options.audioBitRate, 128000);
    EXPECT_DOUBLE_EQ(options.videoBitRate, 800000);
    EXPECT_NEAR(options.frameRate, 29.97, 1e-9);
    EXPECT_EQ(options.audioCodec, "mp3");
    EXPECT_EQ(options.videoCodec, "xvid");
    EXPECT_EQ(options.cropTop + options.cropBottom * 10 + options.cropLeft * 100 + options.cropRight * 1000,
              2 + 40 + 600 + 8000);
    EXPECT_EQ(options.padTop, 60);
    EXPECT_EQ(options.padBottom, 62);
    EXPECT_EQ(options.padRight, 16);
    EXPECT_EQ(options.padColor, 0xff8000u);
    EXPECT_EQ(options.size.width, 720);
    EXPECT_EQ(options.size.height, 360);
    EXPECT_NEAR(options.aspect, 16.0 / 9, 1e-9);
}

TEST(CastorOptions, ReadsNamedSizesUnitsAndTimes) {
    Options options;
    ASSERT_EQ(Parse({"-i", "in.avi", "-s", "qcif", "-b", "1.5M", "-ab", "64k", "-bufsize", "1835k",
                     "-maxrate", "9000000", "-ss", "00:01:02.5", "-t", "10", "-r", "30000/1001",
                     "-padcolor", "FFFFFF", "out.3gp"},
                    options),
              "");
    EXPECT_EQ(options.size.width, 176);
    EXPECT_EQ(options.size.height, 144);
    EXPECT_DOUBLE_EQ(options.videoBitRate, 1.5e6);  // a unit means bit/s
    EXPECT_DOUBLE_EQ(options.audioBitRate, 64000);
    EXPECT_DOUBLE_EQ(options.bufferSize, 1835000);
    EXPECT_DOUBLE_EQ(options.maxRate, 9e6);
    EXPECT_DOUBLE_EQ(options.startSeconds, 62.5);
    EXPECT_DOUBLE_EQ(options.durationSeconds, 10);
    EXPECT_NEAR(options.frameRate, 29.97003, 1e-5);
    EXPECT_EQ(options.padColor, 0xffffffu);
}

TEST(CastorOptions, EmptyArgumentsAndAutoCodecsAreHarmless) {
    // A profile text with a leading blank gives an empty argument; an empty
    // codec text gives "-acodec" followed by an empty argument.
    Options options;
    EXPECT_EQ(Parse({"", "-i", "in.avi", "-acodec", "", "-vcodec", "AUTO", "", "out.mp4"}, options), "");
    EXPECT_EQ(options.output, "out.mp4");
    EXPECT_EQ(options.audioCodec, "");
}

TEST(CastorOptions, PassesEncoderAndMuxerOptionsThrough) {
    Options options;
    ASSERT_EQ(Parse({"-i", "in.avi", "-coder", "1", "-movflags", "faststart", "out.mp4"}, options), "");
    ASSERT_EQ(options.libavOptions.size(), 2u);
    EXPECT_EQ(options.libavOptions[0].first, "coder");
    EXPECT_EQ(options.libavOptions[1].second, "faststart");
}

TEST(CastorOptions, RefusesBadVectorsWithAClearMessage) {
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    };
    const Case cases[] = {
        {{"-i", "in.avi", "-frobnicate", "1", "out.avi"}, "Unrecognized option '-frobnicate'"},
        {{"-i", "in.avi", "out.avi", "-s"}, "Missing argument for option '-s'"},
        {{"-i", "in.avi", "-s", "0x240", "out.avi"}, "Invalid value '0x240' for option '-s'"},
        {{"-i", "in.avi", "-s", "99999x240", "out.avi"}, "Invalid value '99999x240' for option '-s'"},
        {{"-i", "in.avi", "-ac", "9", "out.avi"}, "must be between 1 and 8"},
        {{"-i", "in.avi", "-ar", "44.1k", "out.avi"}, "not a whole number"},
        {{"-i", "in.avi", "-b", "fast", "out.avi"}, "not a bit rate"},
        {{"-i", "in.avi", "-padcolor", "0xgg0000", "out.avi"}, "not a colour"},
        {{"-i", "in.avi", "-aspect", "4:0", "out.avi"}, "not an aspect ratio"},
        {{"-i", "in.avi", "-acodec", "xyz", "out.avi"}, "Unknown encoder 'xyz'"},
        {{"-i", "in.avi", "-vcodec", "mp3", "out.avi"}, "Encoder 'mp3' is not a video encoder"},
        {{"-i", "in.avi", "-acodec", "amr_wb", "-vcodec", "amr_nb", "out.avi"},
         "Encoder 'amr_nb' is not a video encoder"},
        {{"-i", "in.avi", "-f", "nosuch", "out.avi"}, "Unknown output format 'nosuch'"},
        {{"-i", "in.avi", "-target", "laserdisc", "out.mpg"}, "Unknown target 'laserdisc'"},
        {{"-i", "in.avi", "-vtag", "XVIDX", "out.avi"}, "four characters"},
        {{"-i", "a.avi", "-i", "b.avi", "out.avi"}, "Only one input is supported"},
        {{"-i", "in.avi", "one.avi", "two.avi"}, "Only one output is supported"},
        {{"out.avi"}, "No input given (-i)"},
        {{"-i", "in.avi"}, "No output file given"},
    };
    for (const Case& test : cases) {
        Options options;
        const std::string message = Parse(test.arguments, options);
        EXPECT_NE(message.find(test.message), std::string::npos)
            << "got '" << message << "', expected '" << test.message << "'";
    }
}

// Each row: two spaces, the switch and its argument padded to 24 columns,
// the help; the rows in groups under their titles.
TEST(CastorOptions, HelpListsTheSwitchesByGroupInColumns) {
    const std::string help = OptionHelpText();
    const std::string_view start =
        "Main options:\n"
        "  -i input                input file, or frame_input.kinolux to read frames through the frame callback\n"
        "  -f format               force the output format (a muxer name)\n";
    EXPECT_TRUE(help.starts_with(start)) << help;
    EXPECT_NE(help.find("\n  -y                      replace an existing output file\n"), std::string::npos);
    EXPECT_NE(help.find("\n\nVideo options:\n  -vn                     no video\n"), std::string::npos);
    EXPECT_NE(help.find("\n  -padcolor 0xRRGGBB      border colour\n"), std::string::npos);
    EXPECT_NE(help.find("\n\nAudio options:\n  -an                     no audio\n"), std::string::npos);
    EXPECT_NE(help.find("\n  -ar Hz                  audio sample rate\n"), std::string::npos);
    EXPECT_NE(help.find("\n\nExpert options:\n  -g "), std::string::npos);
    EXPECT_TRUE(help.ends_with("\n\nAny other -name value is handed to the chosen encoders and muxer as their option\n"
                               "'name' (for example -coder 1, -trellis 1, -movflags faststart).\n"));
}

TEST(CastorOptions, TargetsFillOnlyWhatTheVectorLeftOpen) {
    Options dvd;
    dvd.target = "pal-dvd";
    dvd.videoBitRate = 5000000;
    ApplyTarget(dvd, 12);
    EXPECT_EQ(TargetFormat("pal-dvd"), "dvd");
    EXPECT_EQ(dvd.videoCodec, "mpeg2video");
    EXPECT_EQ(dvd.audioCodec, "ac3");
    EXPECT_EQ(dvd.size.width, 720);
    EXPECT_EQ(dvd.size.height, 576);
    EXPECT_DOUBLE_EQ(dvd.frameRate, 25);
    EXPECT_DOUBLE_EQ(dvd.videoBitRate, 5000000);  // the vector's own
    EXPECT_EQ(dvd.audioRate, 48000);

    Options vcd;  // no prefix: the input's rate decides
    vcd.target = "vcd";
    vcd.size = FrameSize{320, 240};
    ApplyTarget(vcd, 29.97);
    EXPECT_EQ(vcd.size.width, 320);
    EXPECT_NEAR(vcd.frameRate, 29.97, 0.01);
    EXPECT_EQ(vcd.gopSize, 18);

    Options film;
    film.target = "svcd";
    ApplyTarget(film, 24);
    EXPECT_EQ(film.size.height, 480);
    EXPECT_NEAR(film.frameRate, 23.976, 0.001);
}

}  // namespace
}  // namespace castor
