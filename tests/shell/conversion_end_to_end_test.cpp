// Whole conversions through the kinolux program, as a user runs them on a
// server: a copy of the program folder, no display, no sound device, a
// settings home of the test's own. Every output is checked from outside,
// with ffprobe and by decoding it.
#include "tests/avm2/document_movie.h"
#include "tests/shell/kinolux_program_runs.h"

namespace kinolux {
namespace {

namespace fs = std::filesystem;
using testing::ExpectEveryFrameOnceWithItsSound;
using testing::FindMarker;
using testing::MarkerTimes;
using testing::Psnr;
using testing::Quoted;
using testing::RunCommand;
using testing::RunResult;

class ConversionEndToEnd : public testing::KinoluxProgramTest {
protected:
    // A numbered movie with a flash and its beep every `flashEvery` frames
    // from `firstFlash`, converted to MP4 and read back frame by frame.
    void ConvertNumberedMovie(const std::string& name, int frames, int firstFlash, int flashEvery) {
        const std::string movie =
            WriteMovie(name + ".swf", testing::NumberedFlashMovie(frames, firstFlash, flashEvery, testing::Beep::Event));
        const std::string output = out_.path() + "/" + name + ".mp4";
        std::string debug;
        const RunResult run = Kinolux("/f " + movie + " /o " + output + " /pi ini/mp4.ini /pn mp4 Normal", &debug);
        ExpectEveryFrameOnceWithItsSound(run, debug, output, frames, firstFlash, flashEvery);
    }
};


std::vector<std::string> PercentLines(const std::string& output) {
    std::vector<std::string> lines;
    static const std::regex percent("(\\d+)% completed\n");
    for (auto it = std::sregex_iterator(output.begin(), output.end(), percent); it != std::sregex_iterator(); ++it)
        lines.push_back((*it)[1]);
    return lines;
}

TEST_F(ConversionEndToEnd, AutoModeWritesAnH264Mp4WhosePicturesAreTheMoviesOwn) {
    const std::string output = out_.path() + "/sample.mp4";
    const RunResult run =
        Kinolux("/f samples/kinolux-sample.swf /o " + output + " /pi ini/h264mp4.ini /pn H264 mp4 Normal");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("DONE!\n"), std::string::npos) << run.output;
    ASSERT_TRUE(fs::exists(output)) << run.output;
    EXPECT_TRUE(Leftovers(out_.path()).empty());

    EXPECT_EQ(Probe(output, "stream=codec_name", "v:0"), "h264\n");
    EXPECT_EQ(Probe(output, "stream=codec_name", "a:0"), "aac\n");
    EXPECT_EQ(Probe(output, "stream=width,height", "v:0"), "640\n480\n");
    // 150 frames at 25 fps.
    const double duration = std::stod(Probe(output, "format=duration"));
    EXPECT_GE(duration, 150 / 25.0 - 0.1);
    EXPECT_LE(duration, 150 / 25.0 + 0.2);

    // Each percentage once, rising.
    const std::vector<std::string> percents = PercentLines(run.output);
    ASSERT_GE(percents.size(), 10u) << run.output;
    for (size_t i = 1; i < percents.size(); ++i) EXPECT_LT(std::stoi(percents[i - 1]), std::stoi(percents[i]));

    // Output frame k against the engine's own picture of the same movie
    // frame: the best of its neighbours, as the replay follows the player's
    // sound, which may trail the movie's own pace by a frame or two.
    for (int k : {12, 60, 120}) {
        const std::string decoded = out_.path() + "/decoded" + std::to_string(k) + ".png";
        RunCommand("ffmpeg -v error -y -i " + Quoted(output) + " -vf " +
                   Quoted("select=eq(n\\," + std::to_string(k) + ")") + " -frames:v 1 " + Quoted(decoded));
        const QImage picture(QString::fromStdString(decoded));
        ASSERT_FALSE(picture.isNull()) << "frame " << k;
        double best = 0;
        for (int n = k - 2; n <= k + 4; ++n) {
            const std::string rendered = out_.path() + "/rendered" + std::to_string(n) + ".png";
            RunCommand(Quoted(std::string(KINOLUX_BIN_DIR) + "/swfrender") + " " + Quoted(Sample()) + " -n " +
                       std::to_string(n) + " -o " + Quoted(rendered) + " >/dev/null 2>&1");
            const QImage reference = QImage(QString::fromStdString(rendered)).scaled(picture.size());
            if (!reference.isNull()) best = std::max(best, Psnr(picture, reference));
        }
        EXPECT_GE(best, 30.0) << "output frame " << k;
    }
}

TEST_F(ConversionEndToEnd, MpegAndAviProfilesAndAnExistingOutputIsNeverOverwritten) {
    const std::string taken = out_.path() + "/movie.mpg";
    { std::ofstream(taken) << "mine"; }
    RunResult run = Kinolux("/f samples/kinolux-sample.swf /o " + taken + " /pi ini/mpg.ini /pn mpg Normal");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const std::string mpeg = out_.path() + "/kinolux-sample (1).mpg";
    ASSERT_TRUE(fs::exists(mpeg)) << run.output;
    std::ifstream kept(taken);
    std::string text;
    kept >> text;
    EXPECT_EQ(text, "mine");
    EXPECT_EQ(Probe(mpeg, "stream=codec_name", "v:0"), "mpeg1video\n");
    EXPECT_GE(std::stod(Probe(mpeg, "format=duration")), 5.5);

    const std::string avi = out_.path() + "/movie.avi";
    run = Kinolux("/f " + Sample() + " /o " + avi + " /pi ini/xvidavi.ini /pn Xvid avi Normal /om x");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(Probe(avi, "stream=codec_name", "a:0"), "mp3\n");
    EXPECT_GE(std::stod(Probe(avi, "format=duration")), 5.5);
    EXPECT_TRUE(Leftovers(out_.path()).empty());
}

// A movie authored on black, with nothing drawn: its video is black, not
// the white of a movie that declares no colour.
TEST_F(ConversionEndToEnd, AMovieConvertsOnTheBackgroundItDeclares) {
    std::vector<swf::Tag> tags{swf::SetBackgroundColor{{0, 0, 0, 255}}};
    for (int f = 0; f < 10; ++f) tags.push_back(swf::ShowFrame{});
    const std::string movie = WriteMovie("black.swf", testmovies::movie(tags, testmovies::header(320, 240, 10)));
    const std::string output = out_.path() + "/black.mp4";
    const RunResult run = Kinolux("/f " + movie + " /o " + output + " /pi ini/h264mp4.ini /pn H264 mp4 Normal");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const std::string pixels =
        RunCommand("ffmpeg -v error -i " + Quoted(output) + " -vf scale=32:24 -f rawvideo -pix_fmt gray -").output;
    ASSERT_GE(pixels.size(), 32u * 24u);
    int brightest = 0;
    for (unsigned char value : pixels) brightest = std::max(brightest, int(value));
    EXPECT_LT(brightest, 40) << "the frames are not the movie's black";
}

TEST_F(ConversionEndToEnd, HelpWinsOverEveryOtherSwitch) {
    const std::string output = out_.path() + "/never.mp4";
    const RunResult run = Kinolux("/f samples/kinolux-sample.swf /o " + output + " /h");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.output.find("command line using help"), std::string::npos) << run.output;
    EXPECT_FALSE(fs::exists(output));
}

TEST_F(ConversionEndToEnd, APlayerThatCannotStartLeavesNothingBehind) {
    fs::remove(fs::path(program_.path()) / "kinoluxplayer");
    const std::string output = out_.path() + "/sample.mp4";
    const RunResult run =
        Kinolux("/f samples/kinolux-sample.swf /o " + output + " /pi ini/h264mp4.ini /pn H264 mp4 Normal");
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.output.find("kinoluxplayer could not be started"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("DONE!\n"), std::string::npos) << run.output;
    EXPECT_FALSE(fs::exists(output));
    EXPECT_TRUE(Leftovers(out_.path()).empty());
}


TEST_F(ConversionEndToEnd, TheSoundStartsWithinAFrameOfItsPicture) {
    const std::string movie = WriteMovie("marker.swf", testing::MarkerSoundMovie());
    const std::string output = out_.path() + "/marker.mp4";
    const RunResult run = Kinolux("/f " + movie + " /o " + output + " /pi ini/h264mp4.ini /pn H264 mp4 Normal");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const MarkerTimes times = FindMarker(output);
    ASSERT_GE(times.picture, 0) << "the white frames reach the output";
    ASSERT_GE(times.sound, 0) << "the sound reaches the output";
    EXPECT_NEAR(times.picture, testing::kMarkerFrame / double(testing::kMarkerFps), 0.2);
    EXPECT_LE(std::abs(times.sound - times.picture), 1.0 / testing::kMarkerFps)
        << "picture at " << times.picture << " s, sound at " << times.sound << " s";
}

TEST_F(ConversionEndToEnd, BothInteractiveModesWritePlayableFilesByThemselves) {
    const std::string movie = WriteMovie("marker.swf", testing::MarkerSoundMovie());
    for (const char* mode : {"1", "2"}) {
        const std::string output = out_.path() + "/interactive" + mode + ".mp4";
        const RunResult run =
            Kinolux("/f " + movie + " /o " + output + " /pi ini/h264mp4.ini /pn H264 mp4 Normal /om " + mode);
        ASSERT_EQ(run.exitCode, 0) << "mode " << mode << "\n" << run.output;
        EXPECT_EQ(Probe(output, "stream=codec_name", "v:0"), "h264\n") << "mode " << mode;
        EXPECT_EQ(Probe(output, "stream=codec_name", "a:0"), "aac\n") << "mode " << mode;
        const MarkerTimes times = FindMarker(output);
        EXPECT_GE(times.picture, 0) << "mode " << mode;
        EXPECT_GE(times.sound, 0) << "mode " << mode;
    }
    EXPECT_TRUE(Leftovers(out_.path()).empty());
}

TEST_F(ConversionEndToEnd, StillImagesAreNumberedFromOneAndTransparentWhereNothingIsDrawn) {
    const std::string movie = WriteMovie("half.swf", testing::HalfDrawnMovie(20));
    RunResult run = Kinolux("/f " + movie + " /o " + out_.path() + "/half.png /pi ini/pngimg.ini /pn PNG images with alpha");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const std::string folder = out_.path() + "/half";
    ASSERT_TRUE(fs::exists(folder + "/ren0001.png")) << run.output;
    EXPECT_TRUE(fs::exists(folder + "/ren0010.png"));
    const QImage png(QString::fromStdString(folder + "/ren0005.png"));
    ASSERT_TRUE(png.hasAlphaChannel());
    EXPECT_EQ(qAlpha(png.pixel(10, 24)), 255);
    EXPECT_EQ(qRed(png.pixel(10, 24)), 255);
    EXPECT_EQ(qAlpha(png.pixel(54, 24)), 0);

    run = Kinolux("/f " + movie + " /o " + out_.path() + "/half.tga /pi ini/tgaimg.ini /pn TGA images with alpha");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const std::string tga = out_.path() + "/half (1)/ren0001.tga";  // the PNG run's folder is not reused
    ASSERT_TRUE(fs::exists(tga)) << run.output;
    std::ifstream in(tga, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GE(bytes.size(), 18u + 64 * 48 * 4);
    EXPECT_EQ(bytes[16], 32) << "32 bits a pixel: with alpha";
    EXPECT_EQ(bytes[17] & 0x0F, 8) << "8 alpha bits";
}

// An ActionScript 3 movie that draws its picture with Graphics from its
// document class: a red square on the left half of a 64x48 stage.
TEST_F(ConversionEndToEnd, AnActionScript3MovieConvertsToThePictureItsScriptDraws) {
    avm2test::AbcBuilder abc;
    avm2test::Code draw;
    auto graphics = [&](const char* method, std::uint32_t count, std::initializer_list<std::uint8_t> bytes) {
        draw.op(avm2test::op::GetLocal0).op(avm2test::op::GetProperty, abc.name("graphics"));
        if (std::string(method) == "beginFill") draw.op(avm2test::op::PushInt, abc.integer(0xFF0000));
        for (std::uint8_t b : bytes) draw.op(avm2test::op::PushByte).u8(b);
        draw.op(avm2test::op::CallPropVoid, abc.name(method), count);
    };
    graphics("beginFill", 1, {});
    graphics("drawRect", 4, {0, 0, 32, 48});
    graphics("endFill", 0, {});
    const std::string movie =
        WriteMovie("drawn.swf", avm2test::documentMovie(avm2test::documentAbc(abc, draw), {}, 64, 48, 10));
    RunResult run = Kinolux("/f " + movie + " /o " + out_.path() + "/drawn.png /pi ini/pngimg.ini /pn PNG images with alpha");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const QImage png(QString::fromStdString(out_.path() + "/drawn/ren0005.png"));
    ASSERT_FALSE(png.isNull()) << run.output;
    EXPECT_EQ(png.pixel(10, 24), qRgba(255, 0, 0, 255));
    EXPECT_EQ(qAlpha(png.pixel(54, 24)), 0) << "nothing is drawn on the right";
}

TEST_F(ConversionEndToEnd, APlayerThatEndsWithoutAWindowIsReported) {
    const fs::path player = fs::path(program_.path()) / "kinoluxplayer";
    fs::remove(player);
    { std::ofstream(player) << "#!/bin/sh\nexit 0\n"; }
    fs::permissions(player, fs::perms::owner_all);
    const std::string output = out_.path() + "/sample.mp4";
    const RunResult run =
        Kinolux("/f samples/kinolux-sample.swf /o " + output + " /pi ini/h264mp4.ini /pn H264 mp4 Normal");
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.output.find("did not open its window"), std::string::npos) << run.output;
    EXPECT_FALSE(fs::exists(output));
    EXPECT_TRUE(Leftovers(out_.path()).empty());
}


// The beeps are event sounds: a player starved on a loaded machine can
// leave its stream sound behind where its frame log does not show it.
TEST_F(ConversionEndToEnd, EveryFrameOfAShortMovieOnceInOrderEachFlashWithItsBeep) {
    ConvertNumberedMovie("numbered", 500, 25, 50);  // 20 s, a flash every 2 s from 1 s
}

TEST_F(ConversionEndToEnd, EveryFrameOfAThreeMinuteMovieOnceInOrderEachFlashWithItsBeep) {
    ConvertNumberedMovie("long", 4500, 25, 250);  // a flash every 10 s from 1 s
}

// A range in..out gives out - in + 1 frames, in real time and fast alike.
TEST_F(ConversionEndToEnd, AWholeMovieAndAMarkedRangeGiveExactlyTheirFramesWithTheirSound) {
    const std::string movie =
        WriteMovie("numbered.swf", testing::NumberedFlashMovie(750, 25, 50, testing::Beep::Event));
    for (const std::string way : {"", "/fast "})
        for (const auto& [range, first, last] : {std::tuple{"", 0, 749}, std::tuple{" /if 12 /of 31", 12, 31}}) {
            SCOPED_TRACE(way + range);
            const std::string output =
                out_.path() + "/range" + std::to_string(first) + (way.empty() ? "" : "-fast") + ".mp4";
            std::string debug;
            const RunResult run =
                Kinolux(way + "/f " + movie + " /o " + output + " /pi ini/mp4.ini /pn mp4 Normal" + range, &debug);
            testing::ExpectRangeOnceInOrder(run, debug, output, first, last);
        }
}

TEST_F(ConversionEndToEnd, StillImagesTakeEachFrameOfTheRangeOnceFromItsFirstToItsLast) {
    const std::string movie = WriteMovie("numbered.swf", testing::NumberedFlashMovie(60, 25, 50));
    for (const std::string way : {"", "/fast "}) {
        SCOPED_TRACE(way);
        const std::string folder = out_.path() + "/frames" + (way.empty() ? "" : "-fast");
        const RunResult run = Kinolux(way + "/f " + movie + " /o " + folder +
                                      ".png /pi ini/pngimg.ini /pn PNG images no alpha /if 10 /of 40");
        ASSERT_EQ(run.exitCode, 0) << run.output;
        auto image = [&](int n) {
            char name[32];
            std::snprintf(name, sizeof name, "/ren%04d.png", n);
            return folder + name;
        };
        std::vector<int> shown;
        for (int n = 1; fs::exists(image(n)); ++n) {
            const QImage picture(QString::fromStdString(image(n)));
            int number = 0;
            for (int bit = 0; bit < testing::kNumberBits; ++bit)
                if (qGray(picture.pixel(testing::NumberSquareX(bit) + 8, testing::NumberSquareY(bit) + 8)) > 128)
                    number |= 1 << bit;
            shown.push_back(number);
        }
        std::vector<int> expected;
        for (int f = 10; f <= 40; ++f) expected.push_back(f);
        EXPECT_EQ(shown, expected) << "ren0001 is frame 10, ren0031 the out frame, each frame once";
    }
}

}  // namespace
}  // namespace kinolux
