// Whole conversions through the kinolux program, as a user runs them on a
// server: a copy of the program folder, no display, no sound device, a
// settings home of the test's own. Every output is checked from outside,
// with ffprobe and by decoding it.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <algorithm>
#include <regex>
#include <set>

#include "platform/paths.h"
#include "tests/platform/outside_requirements.h"
#include "tests/platform/program_folder_copy.h"
#include "tests/platform/run_command.h"
#include "tests/platform/scoped_temp_folder.h"
#include "tests/shell/marker_movies.h"
#include "tests/shell/numbered_output.h"

namespace kinolux {
namespace {

namespace fs = std::filesystem;
using testing::ScopedTempFolder;

using RunResult = testing::CommandResult;
using testing::RunCommand;

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

class ConversionEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        const fs::path bin = KINOLUX_BIN_DIR;
        if (!fs::exists(bin / "kinoluxplayer")) KINOLUX_MISSING("the player program, built");
        for (const char* tool : {"ffmpeg", "ffprobe"})
            if (!testing::ProgramOnPath(tool)) KINOLUX_MISSING(tool);
        testing::CopyProgramFolder(bin, program_.path());
    }

    // `debugOutput`, when given, receives the program's debugger output.
    RunResult Kinolux(const std::string& arguments, std::string* debugOutput = nullptr) {
        const std::string debugFile = out_.path() + "/debug.txt";
        const RunResult run = RunCommand(
            "cd " + Quoted(elsewhere_.path()) +
            " && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u PULSE_SERVER -u KINOLUX_AUDIO " +
            (debugOutput ? "KINOLUX_DEBUG=1 " : "") + "XDG_CONFIG_HOME=" + Quoted(config_.path()) + " " +
            Quoted(program_.path() + "/kinolux") + " " + arguments + " 2>" +
            (debugOutput ? Quoted(debugFile) : "/dev/null") + " </dev/null");
        if (debugOutput) {
            std::ifstream in(debugFile);
            debugOutput->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            fs::remove(debugFile);
        }
        return run;
    }

    std::string Probe(const std::string& file, const std::string& entries, const std::string& stream = "") {
        return RunCommand("ffprobe -v error " + (stream.empty() ? "" : "-select_streams " + stream + " ") +
                          "-show_entries " + entries + " -of default=noprint_wrappers=1:nokey=1 " + Quoted(file))
            .output;
    }

    // Files the run left in the output folder and beside the output.
    std::vector<std::string> Leftovers(const std::string& folder) {
        std::vector<std::string> found;
        for (const std::string& where : {program_.path() + "/output", folder})
            if (fs::exists(where))
                for (const auto& entry : fs::directory_iterator(where)) {
                    const std::string name = entry.path().filename();
                    if (name.find("~temp") != std::string::npos || name[0] == '.') found.push_back(name);
                }
        return found;
    }

    std::string Sample() const { return program_.path() + "/samples/kinolux-sample.swf"; }

    std::string WriteMovie(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const std::string path = out_.path() + "/" + name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    // A numbered movie with a flash and its beep every `flashEvery` frames
    // from `firstFlash`, converted to MP4 and read back frame by frame.
    void ConvertNumberedMovie(const std::string& name, int frames, int firstFlash, int flashEvery);

    ScopedTempFolder program_, elsewhere_, config_, out_;
};

double Psnr(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            for (int d : {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q)}) sum += double(d) * d;
        }
    const double mse = sum / (3.0 * a.width() * a.height());
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

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
    // 150 frames at 25 fps; the last two of the range are never delivered.
    const double duration = std::stod(Probe(output, "format=duration"));
    EXPECT_GE(duration, 147 / 25.0 - 0.1);
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

// The first white picture and the first loud sound of a marker movie's
// output, in seconds.
struct MarkerTimes {
    double picture = -1;
    double sound = -1;
};

MarkerTimes FindMarker(const std::string& file) {
    MarkerTimes times;
    const std::string pixels =
        RunCommand("ffmpeg -v error -i " + Quoted(file) + " -f rawvideo -pix_fmt gray -s 64x48 -").output;
    const size_t frameBytes = 64 * 48;
    for (size_t frame = 0; (frame + 1) * frameBytes <= pixels.size(); ++frame)
        if (static_cast<unsigned char>(pixels[frame * frameBytes + frameBytes / 2 + 32]) > 128) {
            times.picture = double(frame) / testing::kMarkerFps;
            break;
        }
    const std::string sound = RunCommand("ffmpeg -v error -i " + Quoted(file) + " -f s16le -ac 1 -ar 44100 -").output;
    for (size_t i = 0; 2 * i + 1 < sound.size(); ++i) {
        int16_t value;
        std::memcpy(&value, sound.data() + 2 * i, 2);
        if (std::abs(value) > 4000) {
            times.sound = double(i) / 44100;
            break;
        }
    }
    return times;
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

// Where the replay said it repeated or left out frames because the player
// fell behind or skipped them (a loaded machine can starve the player).
struct ReplayBends {
    std::multiset<int> repeated;
    std::set<int> leftOut;
};

ReplayBends ReadReplayBends(const std::string& debugOutput) {
    ReplayBends bends;
    static const std::regex again("Auto replay: frame (\\d+) shown again");
    static const std::regex out("Auto replay: frames (\\d+) to (\\d+) left out");
    for (auto it = std::sregex_iterator(debugOutput.begin(), debugOutput.end(), again); it != std::sregex_iterator(); ++it)
        bends.repeated.insert(std::stoi((*it)[1]));
    for (auto it = std::sregex_iterator(debugOutput.begin(), debugOutput.end(), out); it != std::sregex_iterator(); ++it)
        for (int f = std::stoi((*it)[1]); f <= std::stoi((*it)[2]); ++f) bends.leftOut.insert(f);
    return bends;
}

// Converts a numbered movie of `frames` frames with ini/mp4.ini "mp4
// Normal" and checks the output from outside: frames 0 to frames - 4 (the
// last two of the range are never delivered) each once and in order, but
// where the replay said the player fell behind or skipped; every flash of
// a frame shown within one frame period of its beep.
void ExpectEveryFrameOnceWithItsSound(const RunResult& run, const std::string& debug,
                                      const std::string& output, int frames, int firstFlash, int flashEvery) {
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const testing::NumberedOutput read = testing::ReadNumberedOutput(output);
    const ReplayBends bends = ReadReplayBends(debug);
    const int last = frames - 4;
    std::vector<int> expected;
    for (int f = 0; f <= last; ++f) {
        if (bends.leftOut.count(f)) continue;
        for (size_t k = 0; k <= bends.repeated.count(f); ++k) expected.push_back(f);
    }
    const auto differ = std::mismatch(read.frames.begin(), read.frames.end(), expected.begin(), expected.end());
    EXPECT_TRUE(differ.first == read.frames.end() && differ.second == expected.end())
        << "output frame " << (differ.first - read.frames.begin()) << " shows "
        << (differ.first == read.frames.end() ? -1 : *differ.first) << " instead of "
        << (differ.second == expected.end() ? -1 : *differ.second) << " (" << read.frames.size() << " frames for "
        << expected.size() << "; repeated " << bends.repeated.size() << ", left out " << bends.leftOut.size() << ")";
    if (bends.repeated.empty() && bends.leftOut.empty()) {
        EXPECT_EQ(testing::ShareShownOnce(read.frames, 0, last), 1.0);
    }

    int flashes = 0;
    for (size_t k = 0; k < read.frames.size(); ++k) {
        const bool flashFrame = testing::IsFlashFrame(read.frames[k], firstFlash, flashEvery);
        EXPECT_EQ(read.flashes[k], flashFrame) << "output frame " << k << " shows movie frame " << read.frames[k];
        if (!read.flashes[k] || (k > 0 && read.frames[k - 1] == read.frames[k])) continue;
        ++flashes;
        const double at = double(k) / testing::kNumberedFps;
        double nearest = 1e9;
        for (double beep : read.beepStarts) nearest = std::abs(beep - at) < std::abs(nearest) ? beep - at : nearest;
        EXPECT_LE(std::abs(nearest), 1.0 / testing::kNumberedFps) << "the flash at " << at << " s, its beep " << nearest << " s off";
    }
    int expectedFlashes = 0;
    for (int f = 0; f <= last; ++f) expectedFlashes += testing::IsFlashFrame(f, firstFlash, flashEvery) && !bends.leftOut.count(f);
    EXPECT_EQ(flashes, expectedFlashes);
    EXPECT_EQ(int(read.beepStarts.size()), expectedFlashes);
}

// The beeps are event sounds: a player starved on a loaded machine can
// leave its stream sound behind where its frame log does not show it.
void ConversionEndToEnd::ConvertNumberedMovie(const std::string& name, int frames, int firstFlash, int flashEvery) {
    const std::string movie =
        WriteMovie(name + ".swf", testing::NumberedFlashMovie(frames, firstFlash, flashEvery, testing::Beep::Event));
    const std::string output = out_.path() + "/" + name + ".mp4";
    std::string debug;
    const RunResult run = Kinolux("/f " + movie + " /o " + output + " /pi ini/mp4.ini /pn mp4 Normal", &debug);
    ExpectEveryFrameOnceWithItsSound(run, debug, output, frames, firstFlash, flashEvery);
}

TEST_F(ConversionEndToEnd, EveryFrameOfAShortMovieOnceInOrderEachFlashWithItsBeep) {
    ConvertNumberedMovie("numbered", 500, 25, 50);  // 20 s, a flash every 2 s from 1 s
}

TEST_F(ConversionEndToEnd, EveryFrameOfAThreeMinuteMovieOnceInOrderEachFlashWithItsBeep) {
    ConvertNumberedMovie("long", 4500, 25, 250);  // a flash every 10 s from 1 s
}

TEST_F(ConversionEndToEnd, StillImagesStartAtTheRangesFirstFrameAndTakeEachFrameOnce) {
    const std::string movie = WriteMovie("numbered.swf", testing::NumberedFlashMovie(60, 25, 50));
    const RunResult run = Kinolux("/f " + movie + " /o " + out_.path() + "/frames.png /pi ini/pngimg.ini /pn PNG images no alpha /if 10");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    auto image = [&](int n) {
        char name[32];
        std::snprintf(name, sizeof name, "/frames/ren%04d.png", n);
        return out_.path() + name;
    };
    std::vector<int> shown;
    for (int n = 1; fs::exists(image(n)); ++n) {
        const QImage picture(QString::fromStdString(image(n)));
        int number = 0;
        for (int bit = 0; bit < testing::kNumberBits; ++bit)
            if (qGray(picture.pixel(testing::NumberSquareX(bit) + 8, testing::NumberSquareY(bit) + 8)) > 128) number |= 1 << bit;
        shown.push_back(number);
    }
    ASSERT_FALSE(shown.empty()) << run.output;
    std::vector<int> expected;
    for (int f = 10; f < 10 + int(shown.size()); ++f) expected.push_back(f);
    EXPECT_EQ(shown, expected) << "ren0001 is frame 10, each frame once";
    EXPECT_GE(shown.back(), 56);
}

}  // namespace
}  // namespace kinolux
