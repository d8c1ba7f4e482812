// What the tests of whole conversions share: a copy of the program folder,
// kinolux run in it as a user runs it on a server (no display, no sound
// device, a settings home of the test's own), and readings of its outputs
// from outside, with ffprobe and ffmpeg.
#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <tuple>

#include "platform/paths.h"
#include "tests/platform/outside_requirements.h"
#include "tests/platform/program_folder_copy.h"
#include "tests/platform/run_command.h"
#include "tests/platform/scoped_temp_folder.h"
#include "tests/shell/marker_movies.h"
#include "tests/shell/numbered_output.h"

namespace kinolux::testing {

namespace fs = std::filesystem;
using RunResult = CommandResult;
using numbered_detail::Quoted;

class KinoluxProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        const fs::path bin = KINOLUX_BIN_DIR;
        if (!fs::exists(bin / "kinoluxplayer")) KINOLUX_MISSING("the player program, built");
        for (const char* tool : {"ffmpeg", "ffprobe"})
            if (!ProgramOnPath(tool)) KINOLUX_MISSING(tool);
        CopyProgramFolder(bin, program_.path());
    }

    // `debugOutput`, when given, receives the program's debugger output.
    RunResult Kinolux(const std::string& arguments, std::string* debugOutput = nullptr) {
        const std::string debugFile = out_.path() + "/debug.txt";
        const RunResult run =
            RunCommand("cd " + Quoted(elsewhere_.path()) +
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
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    ScopedTempFolder program_, elsewhere_, config_, out_;
};

inline double Psnr(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            for (int d : {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q)}) sum += double(d) * d;
        }
    const double mse = sum / (3.0 * a.width() * a.height());
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

// The first white picture and the first loud sound of a marker movie's
// output, in seconds.
struct MarkerTimes {
    double picture = -1;
    double sound = -1;
};

inline MarkerTimes FindMarker(const std::string& file) {
    MarkerTimes times;
    const std::string pixels =
        RunCommand("ffmpeg -v error -i " + Quoted(file) + " -f rawvideo -pix_fmt gray -s 64x48 -").output;
    const size_t frameBytes = 64 * 48;
    for (size_t frame = 0; (frame + 1) * frameBytes <= pixels.size(); ++frame)
        if (static_cast<unsigned char>(pixels[frame * frameBytes + frameBytes / 2 + 32]) > 128) {
            times.picture = double(frame) / kMarkerFps;
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

// Where the replay said it repeated or left out frames because the player
// fell behind or skipped them (a loaded machine can starve the player).
struct ReplayBends {
    std::multiset<int> repeated;
    std::set<int> leftOut;
};

inline ReplayBends ReadReplayBends(const std::string& debugOutput) {
    ReplayBends bends;
    static const std::regex again("Auto replay: frame (\\d+) shown again");
    static const std::regex out("Auto replay: frames (\\d+) to (\\d+) left out");
    for (auto it = std::sregex_iterator(debugOutput.begin(), debugOutput.end(), again); it != std::sregex_iterator();
         ++it)
        bends.repeated.insert(std::stoi((*it)[1]));
    for (auto it = std::sregex_iterator(debugOutput.begin(), debugOutput.end(), out); it != std::sregex_iterator();
         ++it)
        for (int f = std::stoi((*it)[1]); f <= std::stoi((*it)[2]); ++f) bends.leftOut.insert(f);
    return bends;
}

// The frames ffprobe counts in a file's first video stream.
inline int CountedFrames(const std::string& file) {
    const std::string counted = RunCommand(
                                    "ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                                    "stream=nb_read_frames -of csv=p=0 " +
                                    Quoted(file))
                                    .output;
    return counted.empty() ? -1 : std::atoi(counted.c_str());
}

// Checks the output of a numbered movie's range first..last from outside:
// the movie frames first to last each once and in order, but where the
// replay said the player fell behind or skipped (none of which a fast run
// does); as many frames as ffprobe counts; sound as long as the pictures.
inline NumberedOutput ExpectRangeOnceInOrder(const RunResult& run, const std::string& debug, const std::string& output,
                                             int first, int last) {
    EXPECT_EQ(run.exitCode, 0) << run.output;
    const NumberedOutput read = ReadNumberedOutput(output);
    const ReplayBends bends = ReadReplayBends(debug);
    std::vector<int> expected;
    for (int f = first; f <= last; ++f) {
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
        EXPECT_EQ(ShareShownOnce(read.frames, first, last), 1.0);
        EXPECT_EQ(CountedFrames(output), last - first + 1);
    }
    const std::string sound = RunCommand("ffmpeg -v error -i " + Quoted(output) + " -f s16le -ac 1 -ar 44100 -").output;
    // One AAC block of priming or padding either way.
    EXPECT_NEAR(double(sound.size() / 2), double(expected.size()) * 44100 / kNumberedFps, 2048)
        << "the last frame's sound too";
    return read;
}

// Converts a numbered movie of `frames` frames with ini/mp4.ini "mp4
// Normal" and checks the output from outside: every frame of the movie
// once and in order (see ExpectRangeOnceInOrder); every flash of a frame
// shown within one frame period of its beep.
inline void ExpectEveryFrameOnceWithItsSound(const RunResult& run, const std::string& debug, const std::string& output,
                                             int frames, int firstFlash, int flashEvery) {
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const int last = frames - 1;
    const NumberedOutput read = ExpectRangeOnceInOrder(run, debug, output, 0, last);
    const ReplayBends bends = ReadReplayBends(debug);

    int flashes = 0;
    for (size_t k = 0; k < read.frames.size(); ++k) {
        const bool flashFrame = IsFlashFrame(read.frames[k], firstFlash, flashEvery);
        EXPECT_EQ(read.flashes[k], flashFrame) << "output frame " << k << " shows movie frame " << read.frames[k];
        if (!read.flashes[k] || (k > 0 && read.frames[k - 1] == read.frames[k])) continue;
        ++flashes;
        const double at = double(k) / kNumberedFps;
        double nearest = 1e9;
        for (double beep : read.beepStarts) nearest = std::abs(beep - at) < std::abs(nearest) ? beep - at : nearest;
        EXPECT_LE(std::abs(nearest), 1.0 / kNumberedFps)
            << "the flash at " << at << " s, its beep " << nearest << " s off";
    }
    int expectedFlashes = 0;
    for (int f = 0; f <= last; ++f)
        expectedFlashes += IsFlashFrame(f, firstFlash, flashEvery) && !bends.leftOut.count(f);
    EXPECT_EQ(flashes, expectedFlashes);
    EXPECT_EQ(int(read.beepStarts.size()), expectedFlashes);
}

}  // namespace kinolux::testing
