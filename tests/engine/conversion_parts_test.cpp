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

// A player's log at 25 fps: frame f first logged at 40 f + 38 ms, the
// times scattered as the sound engine's 11.6 ms blocks scatter them (the
// record of each tick lands one to four blocks after the frame's start).
std::vector<SyncRecord> LogKeepingPace(int frames, int firstFrame = 0) {
    const int scatter[] = {-4, 8, -8, 4, -3, 8, 0, -12, 5};
    std::vector<SyncRecord> log;
    for (int f = firstFrame + 2; f < firstFrame + frames; ++f)
        log.push_back({40 * (f - firstFrame) + 38 + scatter[f % 9], f});
    return log;
}

// The frame of every output period, starting from the range's first frame.
std::vector<int32_t> Periods(PlayerPace& pace, int32_t first, int periods) {
    std::vector<int32_t> shown{first};
    for (int p = 1; p < periods; ++p) shown.push_back(pace.FrameForPeriod(p, shown.back()));
    return shown;
}

TEST(PlayerPace, APlayerKeepingPaceGivesEveryFrameOnceWhateverTheScatterOfItsLog) {
    for (int first : {0, 40}) {
        PlayerPace pace(first, 40);
        for (const SyncRecord& record : LogKeepingPace(100, first)) pace.Add(record);
        EXPECT_TRUE(pace.Covers(first + 95));
        EXPECT_FALSE(pace.Covers(first + 96)) << "frame 100 is not in the log yet";
        pace.Add(kSyncEndRecord);
        EXPECT_TRUE(pace.Covers(first + 96));
        EXPECT_NEAR(pace.StartMs(), 38, 6) << "the first frame's sound";
        const std::vector<int32_t> shown = Periods(pace, first, 90);
        for (int p = 0; p < 90; ++p) ASSERT_EQ(shown[p], first + p) << "period " << p;
    }
}

TEST(PlayerPace, WhereThePlayerFellBehindItsFrameRepeatsAndWhereItSkippedFramesTheyAreLeftOut) {
    // Frame 30 stood three periods longer: its sound and all after came
    // 120 ms late. Then the player never showed 61 and 62, and from 63 on
    // it was back to 40 ms late.
    std::vector<SyncRecord> log;
    for (const SyncRecord& r : LogKeepingPace(100)) {
        if (r.frame == 61 || r.frame == 62) continue;
        const int late = r.frame > 62 ? 40 : r.frame > 30 ? 120 : 0;
        log.push_back({r.elapsed + late, r.frame});
        if (r.frame == 30)
            for (int extra = 1; extra <= 3; ++extra) log.push_back({r.elapsed + 40 * extra, 30});
    }
    PlayerPace pace(0, 40);
    for (const SyncRecord& record : log) pace.Add(record);
    const std::vector<int32_t> shown = Periods(pace, 0, 95);
    std::vector<int32_t> expected;
    for (int f = 0; f <= 30; ++f) expected.push_back(f);
    for (int extra = 0; extra < 3; ++extra) expected.push_back(30);
    for (int f = 31; f <= 60; ++f) expected.push_back(f);
    for (int f = 63; expected.size() < 95; ++f) expected.push_back(f);
    EXPECT_EQ(shown, expected);
}

TEST(PlayerPace, WhileThePlayerStandsOnAFrameSoDoesTheReplay) {
    // The player's log shows frame 3 from 160 ms up to 2000 ms.
    PlayerPace pace(0, 40);
    for (int k = 2; k < 50; ++k) pace.Add({40 * k + 40, std::min(k, 3)});
    EXPECT_EQ(pace.FrameForPeriod(3, 2), 3);
    EXPECT_EQ(pace.FrameForPeriod(10, 3), 3);
    EXPECT_EQ(pace.FrameForPeriod(40, 3), 3);
    EXPECT_FALSE(pace.EndedBefore(60)) << "a log still growing has not ended";
    EXPECT_TRUE(pace.Covers(4)) << "the player stood on frame 3 for longer than frames 4 to 8 take";
    // Then it plays on: frame 4 at 2040 ms, frame 12 at 2360 ms.
    for (int f = 4; f <= 12; ++f) pace.Add({2040 + 40 * (f - 4), f});
    EXPECT_EQ(pace.FrameForPeriod(49, 3), 3);
    EXPECT_EQ(pace.FrameForPeriod(50, 3), 4) << "frame 4's sound starts at 2040 ms, in period 50";
    EXPECT_EQ(pace.FrameForPeriod(51, 4), 5);
    pace.Add(kSyncEndRecord);
    EXPECT_FALSE(pace.EndedBefore(58));
    EXPECT_TRUE(pace.EndedBefore(59)) << "the last record was at 2360 ms, period 59 starts at 2400 ms";
    // A last record logged early, within the scatter of the log's steps,
    // still has its frame shown.
    PlayerPace early(0, 40);
    for (int f = 1; f <= 10; ++f) early.Add({40 * f - (f == 10 ? 20 : 0), f});
    early.Add(kSyncEndRecord);
    EXPECT_FALSE(early.EndedBefore(10)) << "frame 10 logged at 380 ms, its period starting at 400 ms";
    EXPECT_TRUE(early.EndedBefore(11));
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
