// Probing movies and what the result means for a task.
#include <gtest/gtest.h>

#include <filesystem>

#include "flash/swf/write.h"
#include "platform/report.h"
#include "profiles/app_settings.h"
#include "shell/probe_rules.h"
#include "shell/swf_probe.h"
#include "tests/platform/scoped_temp_folder.h"

namespace kinolux {
namespace {

using testing::ScopedTempFolder;

std::string WriteMovie(const std::string& path, uint16_t frames, uint16_t rate88,
                       swf::Compression compression = swf::Compression::None, int width = 550, int height = 400) {
    swf::Header header;
    header.compression = compression;
    header.stageSize = {0, width * 20, 0, height * 20};
    header.frameRate = rate88;
    header.frameCount = frames;
    std::vector<swf::Tag> tags{swf::SetBackgroundColor{{1, 2, 3, 255}}};
    for (uint16_t i = 0; i < frames; ++i) tags.push_back(swf::ShowFrame{});
    std::vector<uint8_t> bytes = swf::writeMovie(header, tags);
    testing::WriteTextFile(path, std::string(bytes.begin(), bytes.end()));
    return path;
}

class Probing : public ::testing::Test {
protected:
    void SetUp() override { CurrentAppSettings().convertDir = output_.path() + "/"; }
    void TearDown() override { CurrentAppSettings().convertDir.clear(); }

    ScopedTempFolder movies_;
    ScopedTempFolder output_;
};

TEST_F(Probing, AnUncompressedMovieIsProbedItself) {
    std::string movie = WriteMovie(movies_ / "plain.swf", 42, 0x0c80);
    SwfProbe probe;
    EXPECT_EQ(probe.Probe(movie), 1);
    const SwfProbeResult* result = probe.Result();
    EXPECT_EQ(result->width, 550);
    EXPECT_EQ(result->height, 400);
    EXPECT_EQ(result->frameRate, 12) << "whole frames per second";
    EXPECT_EQ(result->totalFrames, 42);
    EXPECT_FALSE(std::filesystem::exists(UncompressedCopyPath()));
}

TEST_F(Probing, ACompressedMovieLeavesItsUncompressedCopy) {
    std::string movie = WriteMovie(movies_ / "packed.swf", 7, 0x1800, swf::Compression::Zlib, 320, 240);
    SwfProbe probe;
    probe.Probe(movie);
    EXPECT_EQ(probe.Result()->width, 320);
    EXPECT_EQ(probe.Result()->totalFrames, 7);
    EXPECT_EQ(UncompressedCopyPath(), output_ / "~temp1.swf");
    std::string copy = testing::ReadTextFile(UncompressedCopyPath());
    EXPECT_EQ(copy.substr(0, 3), "FWS");
}

TEST_F(Probing, AMovieThatCannotBeDecompressedIsReportedAndNeverTakesAnotherMoviesCopy) {
    // The copy of an earlier movie still lies in the output folder.
    SwfProbe probe;
    probe.Probe(WriteMovie(movies_ / "earlier.swf", 99, 0x1800, swf::Compression::Lzma, 800, 600));
    ASSERT_TRUE(std::filesystem::exists(UncompressedCopyPath()));

    testing::WriteTextFile(movies_ / "broken.swf", "CWS\x0a\x10\x00\x00\x00not zlib at all");
    probe.SetConsoleFlag(1);
    ::testing::internal::CaptureStdout();
    probe.Probe(movies_ / "broken.swf");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Swf File Decompress Error!\n");
    EXPECT_NE(probe.Result()->totalFrames, 99);
    EXPECT_NE(probe.Result()->width, 800);

    // A copy that cannot be written (no output folder): the movie itself
    // still tells its size.
    CurrentAppSettings().convertDir = output_ / "missing/";
    ::testing::internal::CaptureStdout();
    probe.Probe(WriteMovie(movies_ / "fine.swf", 3, 0x1800, swf::Compression::Zlib, 200, 100));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Swf File Decompress Error!\n");
    EXPECT_EQ(probe.Result()->width, 200);
    EXPECT_EQ(probe.Result()->totalFrames, 3);
}

ConversionTask TaskFor(const std::string& formatName) {
    ConversionTask task;
    task.profile.FormatName = formatName;
    task.profile.nVideoRiszeOption = 0;  // the source's own size
    task.profile.nVideoBitRateLevel = 3;
    return task;
}

SwfProbeResult Header(int32_t frames, int32_t rate = 24) { return SwfProbeResult{10, 1000, 640, 480, rate, frames}; }

TEST(ProbeRules, FrameRangeRateSizeAndInfoText) {
    ConversionTask task = TaskFor("AVI");
    ApplyProbeResult(Header(42, 0), ProbePath::ConversionStart, task);
    EXPECT_EQ(task.totalFrames, 42);
    EXPECT_EQ(task.inFrame, 0);
    EXPECT_EQ(task.outFrame, 41);
    EXPECT_FLOAT_EQ(task.frameRate, 15.0f) << "a rate of 0 becomes 15";
    EXPECT_EQ(task.infoText, "Width:640,Height:480,Total frames:42,Frame rate:0") << "the text shows the header's rate";
    EXPECT_EQ(task.sourceWidth, 640);
    EXPECT_EQ(task.profile.nSourceHeight, 480);
    EXPECT_EQ(task.profile.nDefaultVideoBitRate, 0) << "the conversion start keeps the bit rate";
    EXPECT_EQ(task.probedFlag, 1);

    ConversionTask selected = TaskFor("AVI");
    ApplyProbeResult(Header(42, -3), ProbePath::Selection, selected);
    EXPECT_FLOAT_EQ(selected.frameRate, 15.0f);
    EXPECT_GT(selected.profile.nDefaultVideoBitRate, 0) << "selection recomputes it for the source size";

    ConversionTask empty = TaskFor("AVI");
    ApplyProbeResult(Header(0), ProbePath::ConversionStart, empty);
    EXPECT_EQ(empty.outFrame, -1);
    EXPECT_EQ(empty.outputMode, kOutputInteractiveTwoPasses);
}

TEST(ProbeRules, OutputModesOfTheTwoPaths) {
    struct Case {
        int32_t frames;
        const char* format;
        ProbePath path;
        int32_t mode;
    };
    for (Case c : {Case{5, "AVI", ProbePath::Selection, kOutputInteractiveTwoPasses},
                   Case{6, "AVI", ProbePath::Selection, kOutputAuto},
                   Case{5, "AVI", ProbePath::ConversionStart, kOutputInteractiveTwoPasses},
                   Case{6, "PNG image", ProbePath::ConversionStart, kOutputAuto},
                   Case{3, "PNG image", ProbePath::Selection, kOutputInteractiveOnePass},
                   Case{3, "TGA image", ProbePath::Selection, kOutputInteractiveOnePass},
                   Case{3, "PNG image", ProbePath::ConversionStart, kOutputInteractiveTwoPasses},
                   Case{3, "PNG images", ProbePath::Selection, kOutputInteractiveTwoPasses}}) {
        ConversionTask task = TaskFor(c.format);
        ApplyProbeResult(Header(c.frames), c.path, task);
        EXPECT_EQ(task.outputMode, c.mode) << c.frames << " frames of " << c.format;
        EXPECT_EQ(PreviewAllowsClicks(task.outputMode), c.mode != kOutputAuto);
    }
}

TEST_F(Probing, ATaskIsProbedOnce) {
    ConversionTask task = TaskFor("AVI");
    task.inputPath = WriteMovie(movies_ / "once.swf", 10, 0x1e00);
    SwfProbe probe;
    std::optional<SwfProbeResult> first = ProbeTaskOnce(probe, task, ProbePath::Selection);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->totalFrames, 10);
    EXPECT_FLOAT_EQ(task.frameRate, 30.0f);
    task.outFrame = 5;  // the user's out mark
    EXPECT_FALSE(ProbeTaskOnce(probe, task, ProbePath::ConversionStart));
    EXPECT_EQ(task.outFrame, 5) << "a probed task keeps what the user set";
}

}  // namespace
}  // namespace kinolux
