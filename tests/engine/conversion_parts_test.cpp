// The conversion run's smaller parts: the stream description, percentages,
// the player's parameter text and numbered still images.
#include "engine/player_frame.h"
#include "engine/player_process.h"
#include "engine/progress_percent.h"
#include "engine/still_image_sequence.h"
#include "engine/stream_description.h"
#include "tests/platform/scoped_temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace kinolux {
namespace {

ConversionTask TaskWithSize(int resizeOption) {
    ConversionTask task;
    task.frameRate = 12.5f;
    task.profile.nVideoRiszeOption = resizeOption;
    return task;
}

TEST(StreamDescription, KindFollowsTheDisabledStreamsAndStillImagesUseNoEncoder) {
    ProfileSettings profile;
    bool both = false;
    EXPECT_EQ(StreamKindOf(profile, both), kStreamVideoAudio);
    profile.bDisableAudio = 1;
    EXPECT_EQ(StreamKindOf(profile, both), kStreamVideo);
    profile.bDisableVideo = 1;
    EXPECT_EQ(StreamKindOf(profile, both), kStreamNone);
    EXPECT_TRUE(both);
    profile.bDisableAudio = 0;
    EXPECT_EQ(StreamKindOf(profile, both), kStreamAudio);
    EXPECT_FALSE(both);
    profile.bDisableVideo = 0;
    profile.FormatName = "PNG image";
    EXPECT_EQ(StreamKindOf(profile, both), kStreamNone);
    EXPECT_FALSE(both);
}

TEST(StreamDescription, PicturesAreTheOutputFrameLessItsPadding) {
    ConversionTask task = TaskWithSize(1);  // 128 x 96
    task.profile.bVideoEnablePad = 1;
    task.profile.nVideoPadLeft = 8;
    task.profile.nVideoPadRight = 8;
    task.profile.nVideoPadTop = 16;
    task.profile.nVideoPadBottom = 0;
    const FrameInfo info = MakeStreamDescription(task, kStreamVideo);
    EXPECT_EQ(info.frameWidth, 128 - 8 - 8);
    EXPECT_EQ(info.frameHeight, 96 - 16 - 0);
    EXPECT_EQ(info.streamKind, kStreamVideo);
    EXPECT_EQ(info.audioSampleRate, 44100);
    EXPECT_EQ(info.audioChannels, 2);
    EXPECT_EQ(info.fixed128, 128);
    EXPECT_EQ(info.fixed32, 32);
    EXPECT_EQ(info.bytesPerPixel, 3);
    EXPECT_EQ(info.bitsPerPixel, 24);
    EXPECT_FLOAT_EQ(info.frameRate, 12.5f);
    EXPECT_EQ(info.picture, nullptr);
}

TEST(ProgressPercent, CountsFromTheInFrameAndStopsAtAHundred) {
    EXPECT_EQ(ProgressPercent(10, 10, 110), 0);
    EXPECT_EQ(ProgressPercent(47, 10, 110), 37);
    EXPECT_EQ(ProgressPercent(500, 10, 110), 100);
    EXPECT_EQ(ProgressPercent(3, 3, 3), 0) << "an empty range counts as one frame";
    EXPECT_EQ(ProgressPercent(4, 3, 3), 100);
}

TEST(ProgressPercent, EachValueIsShownOnce) {
    PercentTracker tracker;
    EXPECT_EQ(tracker.Next(37), 37);
    EXPECT_EQ(tracker.Next(37), std::nullopt);
    EXPECT_EQ(tracker.Next(37), std::nullopt);
    EXPECT_EQ(tracker.Next(38), 38);
    tracker.Reset();
    EXPECT_EQ(tracker.Next(38), 38);
}

TEST(PlayerParameters, TheTextQuotesEverySwitchAndKeepsBlanksInPaths) {
    PlayerParameters p;
    p.inputPath = "/home/ann/my movie.swf";
    p.wavPath = "/out/my movie~temp.wav";
    p.syncPath = "/out/my movie~temp.sync";
    p.frameRate = 29.97f;
    p.fromFrame = 0;
    p.toFrame = 119;
    p.totalFrames = 120;
    EXPECT_EQ(PlayerParameterText(p),
              "'-in' /home/ann/my movie.swf '-ou' /out/my movie~temp.wav '-sn' /out/my movie~temp.sync "
              "'-fr' 29.970 '-ff' 0 '-tf' 119 '-of' 120 '-cm' 1");
}

TEST(PlayerFrame, APeriodShowsTheLastFrameWhoseSoundStartsByItsEnd) {
    const std::vector<SyncRecord> log{{81, 2}, {121, 3}, {961, 24}, {1046, 25}, {1081, 26}};
    EXPECT_FALSE(PlayerFrameForPeriod(log, 40, 40).known) << "before the first record";
    EXPECT_EQ(PlayerFrameForPeriod(log, 80, 40).frame, 2);
    EXPECT_EQ(PlayerFrameForPeriod(log, 1000, 40).frame, 24) << "25's sound starts after the period";
    EXPECT_EQ(PlayerFrameForPeriod(log, 1040, 40).frame, 25);
    EXPECT_FALSE(PlayerFrameForPeriod(log, 2000, 40).ended) << "a log still growing has not ended";

    std::vector<SyncRecord> ended = log;
    ended.push_back(kSyncEndRecord);
    EXPECT_FALSE(PlayerFrameForPeriod(ended, 1040, 40).ended);
    const PeriodFrame after = PlayerFrameForPeriod(ended, 1080, 40);
    EXPECT_TRUE(after.ended);
    EXPECT_EQ(after.frame, 26);
}

CxImage Picture() {
    CxImage image(4, 4, 24);
    image.Clear(0x80);
    return image;
}

TEST(StillImageSequence, PicturesAreNumberedFromOneInAFolderNamedLikeTheOutput) {
    testing::ScopedTempFolder folder;
    StillImageSequence sequence(folder.path() + "/clip.png", "png");
    CxImage image = Picture();
    ASSERT_TRUE(sequence.Save(image, 1)) << sequence.Error();
    ASSERT_TRUE(sequence.Save(image, 2)) << sequence.Error();
    EXPECT_EQ(sequence.Folder(), folder.path() + "/clip");
    EXPECT_TRUE(std::filesystem::exists(folder.path() + "/clip/ren0001.png"));
    EXPECT_TRUE(std::filesystem::exists(folder.path() + "/clip/ren0002.png"));
    EXPECT_EQ(StillImagePath("/a", 12345, ".tga"), "/a/ren12345.tga");
    EXPECT_EQ(StillImageExtension("tif"), ".tif");
    EXPECT_EQ(StillImageExtension("jpg"), "");
}

TEST(StillImageSequence, DiscardRemovesWhatTheRunWroteAndNothingElse) {
    testing::ScopedTempFolder folder;
    std::filesystem::create_directories(folder.path() + "/kept");
    const std::string users = folder.path() + "/kept/notes.txt";
    { std::ofstream(users) << "mine"; }
    StillImageSequence fresh(folder.path() + "/new.bmp", "bmp");
    StillImageSequence existing(folder.path() + "/kept.tga", "tga");
    CxImage image = Picture();
    ASSERT_TRUE(fresh.Save(image, 1));
    ASSERT_TRUE(existing.Save(image, 1));
    fresh.Discard();
    existing.Discard();
    EXPECT_FALSE(std::filesystem::exists(folder.path() + "/new")) << "the folder the run made goes too";
    EXPECT_FALSE(std::filesystem::exists(folder.path() + "/kept/ren0001.tga"));
    EXPECT_TRUE(std::filesystem::exists(users)) << "a folder that was there keeps what it held";
}

TEST(StillImageSequence, AnExistingPictureIsNeverOverwritten) {
    testing::ScopedTempFolder folder;
    std::filesystem::create_directories(folder.path() + "/clip");
    { std::ofstream(folder.path() + "/clip/ren0001.png") << "earlier"; }
    StillImageSequence sequence(folder.path() + "/clip.png", "png");
    CxImage image = Picture();
    EXPECT_FALSE(sequence.Save(image, 1));
    EXPECT_NE(sequence.Error().find("exists"), std::string::npos);
    std::ifstream kept(folder.path() + "/clip/ren0001.png");
    std::string text;
    kept >> text;
    EXPECT_EQ(text, "earlier");
}

}  // namespace
}  // namespace kinolux
