#include <gtest/gtest.h>

#include <algorithm>

#include "engine/argument_builder.h"
#include "platform/paths.h"
#include "platform/program_folder.h"
#include "tests/platform/scoped_temp_folder.h"

namespace kinolux {
namespace {

using Words = std::vector<std::string>;

Words Split(const std::string& text) {
    EncoderArguments arguments;
    EXPECT_TRUE(SplitArguments(text, arguments));
    return arguments.Arguments();
}

TEST(SplitArguments, BlanksSeparateAndNothingElseDoes) {
    EXPECT_EQ(Split(""), Words{});
    EXPECT_EQ(Split("-f  avi"), (Words{"-f", "avi"}));
    EXPECT_EQ(Split(" -f avi"), (Words{"", "-f", "avi"}));
    EXPECT_EQ(Split("-y   "), (Words{"-y"}));
    EXPECT_EQ(Split("   "), (Words{""}));
    EXPECT_EQ(Split("-vtag \"DX 50\""), (Words{"-vtag", "\"DX", "50\""}));
}

TEST(EncoderArguments, LimitsAreRefusedNeverOverrun) {
    EncoderArguments arguments;
    EXPECT_TRUE(arguments.Append(std::string(255, 'a')));
    EXPECT_FALSE(arguments.Append(std::string(256, 'b')));
    EXPECT_TRUE(arguments.Refused());
    EXPECT_FALSE(arguments.Append("later")) << "a refused vector stays refused";
    EXPECT_EQ(arguments.Count(), 1);

    EncoderArguments many;
    std::string text;
    for (int i = 0; i < 100; ++i) text += "-y ";
    EXPECT_TRUE(SplitArguments(text, many));
    EXPECT_FALSE(many.Append("one more"));
    char** argv = many.Argv();
    EXPECT_STREQ(argv[99], "-y");
    EXPECT_EQ(argv[100], nullptr);
}

ConversionTask TaskWith(const ProfileSettings& profile, const std::string& output = "/out/movie.mpg") {
    ConversionTask task;
    task.profile = profile;
    task.outputPath = output;
    return task;
}

TEST(ArgumentBuilder, EveryOptionOffGivesTheShortVector) {
    ProfileSettings profile{};
    profile.BeforePara = "-y";
    profile.Para = "-f  mpeg";
    profile.nDefaultVideoBitRate = 225;
    profile.cAudioCodec = "AUTO";
    profile.cVideoCodec = "mpeg1video";
    BuiltEncoding built = BuildFrameEncoding(TaskWith(profile));
    ASSERT_TRUE(built.ok());
    EXPECT_EQ(built.arguments.Arguments(), (Words{"ffmain", "-y", "-i", "frame_input.kinolux", "-f", "mpeg", "-b",
                                                  "225", "-vcodec", "mpeg1video", "/out/movie.mpg"}));
    profile.cAudioCodec = "";
    profile.cVideoCodec = "";
    EXPECT_EQ(BuildFinalEncoding(TaskWith(profile), "/tmp/in.avi").arguments.Arguments(),
              (Words{"ffmain", "-y", "-i", "/tmp/in.avi", "-f", "mpeg", "-b", "225", "-acodec", "", "-vcodec", "",
                     "/out/movie.mpg"}))
        << "an empty codec is not auto";
}

TEST(ArgumentBuilder, EveryOptionOnInTheirOrder) {
    ProfileSettings p{};
    p.bDisableAudio = p.bAudioCustomSampleRate = p.bAudioCustomVolume = p.bAudioCustomBitRate = 1;
    p.nAudioCustomSampleRate = 22050;
    p.nAudioChannel = 1;
    p.nAudioVolume = 300;
    p.nAudioCustomBitRate = 96.5f;
    p.bDisableVideo = p.bVideoHighQuality = p.bVideoCustomFrameRate = p.bVideoCustomBitRate = 1;
    p.nVideoCustomFrameRate = 29.97f;
    p.nVideoCustomBitRate = 1500;
    p.cAudioCodec = "mp2";
    p.cVideoCodec = "mpeg2video";
    p.bVideoEnableCrop = 1;
    p.nVideoCropTop = 1, p.nVideoCropBottom = 2, p.nVideoCropLeft = 3, p.nVideoCropRight = 4;
    p.bVideoEnablePad = 1;
    p.nVideoPadTop = 60, p.nVideoPadBottom = 60, p.nVideoPadLeft = 0, p.nVideoPadRight = 0;
    p.nVideoPadColor = 0xFF00AB;
    p.nVideoRiszeOption = 7;
    p.nAspect = 2;
    EncoderArguments arguments;
    ASSERT_TRUE(AppendProfileSwitches(p, arguments));
    EXPECT_EQ(arguments.Arguments(),
              (Words{"-an", "-ar", "22050", "-ac", "1", "-vol", "300", "-ab", "96.500000", "-vn", "-hq", "-r",
                     "29.9699993", "-b", "1500", "-acodec", "mp2", "-vcodec", "mpeg2video", "-croptop", "1",
                     "-cropbottom", "2", "-cropleft", "3", "-cropright", "4", "-padtop", "60", "-padbottom", "60",
                     "-padleft", "0", "-padright", "0", "-padcolor", "0xff00ab", "-s", "720x360", "-aspect", "16:9"}));
}

TEST(ArgumentBuilder, SizeArguments) {
    ProfileSettings p{};
    p.nVideoRiszeOption = 7;
    EXPECT_EQ(SizeArgument(p), "720x480");
    p.nVideoRiszeOption = 1;
    EXPECT_EQ(SizeArgument(p), "sqcif");
    p.nVideoRiszeOption = 9;
    p.nVideoCustomSizeX = 330;
    p.nVideoCustomSizeY = 250;
    EXPECT_EQ(SizeArgument(p), "336x256");
    p.bVideoEnablePad = 1;
    p.nVideoPadLeft = p.nVideoPadRight = 8;
    EXPECT_EQ(SizeArgument(p), "320x256");
    p.nVideoRiszeOption = 12;
    EXPECT_EQ(SizeArgument(p), "") << "no \"-s\" without a size";
    p.nVideoRiszeOption = -1;
    EXPECT_EQ(SizeArgument(p), "");
    p.nVideoRiszeOption = 0;
    p.nAspect = 5;
    EncoderArguments arguments;
    AppendProfileSwitches(p, arguments);
    EXPECT_EQ(arguments.Arguments().back(), "16:9");
    EXPECT_EQ(std::count(arguments.Arguments().begin(), arguments.Arguments().end(), "-s"), 0);
}

TEST(ArgumentBuilder, DvIsAskedForTheSamplingOfItsSizeUnlessTheProfileNamesOne) {
    ProfileSettings p{};
    p.cVideoCodec = "dvvideo";
    const auto pixelFormat = [&p] {
        EncoderArguments arguments;
        AppendProfileSwitches(p, arguments);
        const Words& words = arguments.Arguments();
        const auto at = std::find(words.begin(), words.end(), "-pix_fmt");
        return at == words.end() || at + 1 == words.end() ? std::string() : *(at + 1);
    };
    p.nVideoRiszeOption = 7;
    EXPECT_EQ(pixelFormat(), "yuv411p");
    p.nVideoRiszeOption = 8;
    EXPECT_EQ(pixelFormat(), "yuv420p");
    p.nVideoRiszeOption = 0;
    p.nSourceWidth = 1440;
    p.nSourceHeight = 1080;
    EXPECT_EQ(pixelFormat(), "yuv422p");
    p.Para = "-f avi -pix_fmt yuv422p";
    EXPECT_EQ(pixelFormat(), "") << "the profile's own choice stands";
    p.Para.clear();
    p.cVideoCodec = "mpeg4";
    EXPECT_EQ(pixelFormat(), "");
}

TEST(ArgumentBuilder, JpegOutputIsAnImageSequenceFolder) {
    testing::ScopedTempFolder dir;
    ProfileSettings profile{};
    profile.TargetType = "jpg";
    std::string output = dir.path() + "/my.shots/shot.jpg";
    BuiltEncoding built = BuildFrameEncoding(TaskWith(profile, output));
    ASSERT_TRUE(built.ok());
    EXPECT_EQ(built.arguments.Arguments().back(), dir.path() + "/my.shots/shot/ren%04d.jpg");
    EXPECT_TRUE(FolderExists(dir.path() + "/my.shots/shot"));
    EXPECT_TRUE(BuildFrameEncoding(TaskWith(profile, output)).ok()) << "an existing folder is fine";
    profile.TargetType = "JPG";
    EXPECT_EQ(BuildFrameEncoding(TaskWith(profile, output)).arguments.Arguments().back(), output);
}

TEST(ArgumentBuilder, AProfileBreakingTheLimitsIsRefusedWithAMessage) {
    ProfileSettings profile{};
    profile.ProfileName = "Huge";
    profile.Para = "-vtag " + std::string(300, 'x');
    BuiltEncoding built = BuildFrameEncoding(TaskWith(profile));
    EXPECT_FALSE(built.ok());
    EXPECT_NE(built.error.find("\"Huge\""), std::string::npos);
    EXPECT_NE(built.error.find("255"), std::string::npos);
    for (int i = 0; i < 60; ++i) profile.BeforePara += "-y -y ";
    profile.Para = "";
    built = BuildFrameEncoding(TaskWith(profile));
    EXPECT_FALSE(built.ok());
    EXPECT_NE(built.error.find("100 encoder arguments"), std::string::npos);
}

TEST(ArgumentBuilder, IntermediateEncodingTakesTheTaskGeometry) {
    testing::ScopedTempFolder program;
    std::filesystem::create_directories(program / "ini");
    testing::WriteTextFile(program / "ini/huffyuv.ini",
                           "[Huffyuv Avi normal quality]\nTargetType=avi\nPara=-f avi\ncAudioCodec=pcm_s16le\n"
                           "cVideoCodec=huffyuv\nnVideoBitRateLevel=1\nnVideoRiszeOption=5\n");
    SetProgramFolder(program.path());
    ProfileSettings profile{};
    profile.nVideoRiszeOption = 9;
    profile.nVideoCustomSizeX = 160;
    profile.nVideoCustomSizeY = 120;
    profile.nAspect = 1;
    profile.cVideoCodec = "mpeg4";
    ConversionTask task = TaskWith(profile, "/out.d/movie.mpg");
    ProfileSettings intermediate = IntermediateProfile(task.profile);
    EXPECT_EQ(intermediate.ProfileFile, program.path() + "/ini/huffyuv.ini");
    EXPECT_EQ(intermediate.nVideoRiszeOption, 9);
    EXPECT_EQ(intermediate.nDefaultVideoBitRate, 18);  // 160 x 120 x 1 x 0.9765625 / 1000
    EXPECT_EQ(IntermediatePath(task.outputPath, intermediate), "/out.d/movie~temp.avi");
    EXPECT_EQ(IntermediatePath("/out.d/movie", intermediate), "/out.d/movie~temp.avi");
    BuiltEncoding built = BuildIntermediateEncoding(task);
    ASSERT_TRUE(built.ok());
    EXPECT_EQ(built.arguments.Arguments(),
              (Words{"ffmain", "-i", "frame_input.kinolux", "-f", "avi", "-b", "18", "-acodec", "pcm_s16le",
                     "-vcodec", "huffyuv", "-s", "160x128", "-aspect", "4:3", "/out.d/movie~temp.avi"}));
    SetProgramFolder("");
}

}  // namespace
}  // namespace kinolux
