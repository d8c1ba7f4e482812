// The frame supply on the real engine module: Auto frames stepped under the
// virtual clock with the sound and frame log that a player would write
// (written here with the program's own writers), the sound-only branch, the
// interactive branches from a queue, and how each way ends.
#include "capture/call_interceptor.h"
#include "capture/captured_frame.h"
#include "capture/flash_control_module.h"
#include "capture/movie_window.h"
#include "capture/sync_file_writer.h"
#include "capture/wav_file_writer.h"
#include "conversion_window/movie_window_frame_source.h"
#include "engine/frame_supply.h"
#include "engine/stream_description.h"
#include "tests/capture/flash_host_support.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

namespace kinolux {
namespace {

using flash::testing::colouredFramesMovie;
using flash::testing::frameColor;
using flash::testing::MovieFiles;

constexpr int kWidth = 48;  // a row of 144 bytes: no padding
constexpr int kHeight = 32;

bool InstallOnce() {
    static const bool installed = [] {
        testing::UseBuiltProgramFolder();
        if (!LoadFlashControlModule()) return false;
        CallInterceptor& interceptor = CallInterceptor::Instance();
        interceptor.consoleMode = 1;
        interceptor.Install();
        return true;
    }();
    return installed;
}

class RecordingHost : public FrameSupplyHost {
public:
    void ShowProgress(int64_t frame) override { progress.push_back(frame); }
    void PumpMessages() override { QCoreApplication::processEvents(); }
    void ShowPreview(const CxImage&) override { ++previews; }
    bool IsCaptureOver() override { return captureOver; }
    void ReportMessage(const std::string& text) override { messages.push_back(text); }

    std::vector<int64_t> progress;
    std::vector<std::string> messages;
    int previews = 0;
    bool captureOver = false;
};

// Sound whose every value tells its position, so a record shows which part
// of the file it carries.
std::vector<int16_t> CountingSound(uint32_t values) {
    std::vector<int16_t> sound(values);
    for (uint32_t i = 0; i < values; ++i) sound[i] = static_cast<int16_t>(i % 30000);
    return sound;
}

class FrameSupplyTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(InstallOnce());
        window = std::make_unique<MovieWindow>(nullptr, 1);
        source = std::make_unique<MovieWindowFrameSource>(*window);
        task.frameRate = 25;
        task.inFrame = 0;
        task.outFrame = 9;
        task.totalFrames = 10;
        task.outputMode = kOutputAuto;
        task.backgroundColor = 0xFFFFFF;
        task.inputPath = files.write("frames.swf", colouredFramesMovie(60, 25, kWidth, kHeight));
        description = MakeStreamDescription(task, kStreamVideoAudio);
        description.frameWidth = kWidth;
        description.frameHeight = kHeight;
        syncPath = files.path("movie~temp.sync");
        wavPath = files.path("movie~temp.wav");
    }
    void TearDown() override {
        if (window) window->Unload();
        CallInterceptor::Instance().SetMode(kModePassThrough);
    }

    // The log of a player that showed frame k at k x 40 ms, then the end.
    void WritePlayerFiles(int records, uint32_t soundValues, bool finished) {
        SyncFileWriter sync;
        ASSERT_TRUE(sync.Create(syncPath));
        for (int k = 1; k <= records; ++k) sync.Append(k * 40, k);
        if (finished) sync.Finish();
        WriteCountingSound(soundValues, finished);
    }

    // The player's sound file holding CountingSound(values); unless
    // finished, left open-ended as a writer that stopped leaves it.
    void WriteCountingSound(uint32_t values, bool finished = true) {
        WavFileWriter wav;
        ASSERT_TRUE(wav.Open(wavPath));
        sound = CountingSound(values);
        ASSERT_TRUE(wav.Write(sound.data(), values));
        if (finished) wav.Close(); else wav.Abandon();
    }

    MovieFiles files;
    std::unique_ptr<MovieWindow> window;
    std::unique_ptr<MovieWindowFrameSource> source;
    RunFlags flags;
    ConversionTask task;
    FrameInfo description{};
    std::string syncPath;
    std::string wavPath;
    std::vector<int16_t> sound;
    RecordingHost host;
};

QRgb CentreOfRecord(const FrameInfo& record) {
    const uint8_t* pixel = record.picture + ((record.pictureHeight / 2) * record.pictureWidth + record.pictureWidth / 2) * 3;
    return qRgb(pixel[2], pixel[1], pixel[0]);
}

TEST_F(FrameSupplyTest, AutoFramesCarryTheirPictureTheirSoundAndTheirTime) {
    WritePlayerFiles(20, 3528 * 20, true);
    FrameSupply supply(task, description, source.get(), host, flags, syncPath, wavPath);
    FrameInfo record{};
    ASSERT_EQ(supply.Deliver(0, &record), 0);
    EXPECT_EQ(record.streamKind, kStreamVideoAudio);
    EXPECT_EQ(record.picture, nullptr);

    std::vector<int> shownFrames;
    int n = 0;
    for (;;) {
        const int shown = window->CurrentFrame();
        if (supply.Deliver(1, &record) != 0) break;
        ++n;
        shownFrames.push_back(shown);
        ASSERT_EQ(record.soundBytes, 7056) << "25 fps: 3528 values a frame";
        EXPECT_FLOAT_EQ(record.pictureTime, n * 0.04f);
        EXPECT_FLOAT_EQ(record.soundTime, n * 0.04f);
        ASSERT_EQ(record.pictureWidth, kWidth);
        ASSERT_EQ(record.pictureHeight, kHeight);
        ASSERT_EQ(record.pictureBytes, kWidth * kHeight * 3);
        const std::vector<int16_t> expected(sound.begin() + (n - 1) * 3528, sound.begin() + n * 3528);
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), record.sound)) << "frame " << n << "'s sound";
        const swf::Color c = frameColor(shown);
        EXPECT_EQ(CentreOfRecord(record), qRgb(c.r, c.g, c.b)) << "the picture of frame " << shown;
        ASSERT_LT(n, 40) << "the supply must end";
    }
    EXPECT_EQ(shownFrames, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9})) << "the range 0..9, its out frame too";
    EXPECT_TRUE(supply.Failure().empty()) << supply.Failure();
    EXPECT_EQ(flags.stop.load(), 1);
    EXPECT_EQ(host.previews, n);
    EXPECT_EQ(supply.Deliver(1, &record), -1) << "once stopped, nothing more";
}

// The player of a range 12..31 logs frame k 46 ms after its place and stops
// logging at the out frame; its sound reaches a period past that frame's.
TEST_F(FrameSupplyTest, AMarkedRangeGivesEachFrameFromItsInFrameToItsOutFrameWithItsSound) {
    task.inFrame = 12;
    task.outFrame = 31;
    task.totalFrames = 60;
    SyncFileWriter sync;
    ASSERT_TRUE(sync.Create(syncPath));
    for (int k = 13; k <= 31; ++k) sync.Append(40 * (k - 12) + 46, k);
    sync.Finish();
    const size_t skipped = 2 * 2029;  // 46 ms of stereo pairs
    WriteCountingSound(static_cast<uint32_t>(skipped + 3528 * 21));
    host.captureOver = true;
    for (const int kind : {kStreamVideoAudio, kStreamAudio}) {
        SCOPED_TRACE(kind);
        flags.stop = 0;
        description.streamKind = kind;
        FrameSupply supply(task, description, source.get(), host, flags, syncPath, wavPath);
        FrameInfo record{};
        ASSERT_EQ(supply.Deliver(0, &record), 0);
        std::vector<int> shown;
        for (int n = 1; n <= 25; ++n) {
            const int frame = window->CurrentFrame();
            if (supply.Deliver(1, &record) != 0) break;
            shown.push_back(frame);
            ASSERT_EQ(record.soundBytes, 7056);
            if (kind == kStreamVideoAudio) {
                EXPECT_EQ(record.sound[0], sound[skipped + (n - 1) * 3528]) << "output frame " << n;
                const swf::Color c = frameColor(frame);
                EXPECT_EQ(CentreOfRecord(record), qRgb(c.r, c.g, c.b)) << "the picture of frame " << frame;
            }
        }
        std::vector<int> expected;
        for (int frame = 12; frame <= 31; ++frame) expected.push_back(frame);
        EXPECT_EQ(shown, expected);
        EXPECT_TRUE(supply.Failure().empty()) << supply.Failure();
        window->Unload();
    }
}

TEST_F(FrameSupplyTest, EveryFrameOnceAndTheSoundStartsWhereTheFirstFramesSoundStarts) {
    // Frame k logged 46 ms after its place: the first 46 ms of the player's
    // sound come before frame 0's.
    task.outFrame = 59;
    task.totalFrames = 60;
    SyncFileWriter sync;
    ASSERT_TRUE(sync.Create(syncPath));
    for (int k = 2; k < 50; ++k) sync.Append(40 * k + 46, k);
    sync.Finish();
    WriteCountingSound(3528 * 50);
    FrameSupply supply(task, description, source.get(), host, flags, syncPath, wavPath);
    FrameInfo record{};
    ASSERT_EQ(supply.Deliver(0, &record), 0);
    const size_t skipped = 2 * 2029;  // 46 ms of stereo pairs
    for (int n = 1; n <= 30; ++n) {
        const int shown = window->CurrentFrame();
        ASSERT_EQ(supply.Deliver(1, &record), 0);
        ASSERT_EQ(shown, n - 1) << "output frame n shows frame n - 1 of the range";
        const swf::Color c = frameColor(shown);
        EXPECT_EQ(CentreOfRecord(record), qRgb(c.r, c.g, c.b));
        ASSERT_EQ(record.soundBytes, 7056);
        EXPECT_EQ(record.sound[0], sound[skipped + (n - 1) * 3528]) << "output frame " << n;
    }
}

TEST_F(FrameSupplyTest, ALogStartingLaterThanItsFramesPutsSilenceBeforeTheSound) {
    // Frame 30 logged at 1000 ms: its sound starts 200 ms before its place.
    task.outFrame = 59;
    task.totalFrames = 60;
    SyncFileWriter sync;
    ASSERT_TRUE(sync.Create(syncPath));
    for (int k = 0; k < 30; ++k) sync.Append(1000 + 40 * k, 30 + k);
    sync.Finish();
    WriteCountingSound(3528 * 40);
    FrameSupply supply(task, description, source.get(), host, flags, syncPath, wavPath);
    FrameInfo record{};
    ASSERT_EQ(supply.Deliver(0, &record), 0);
    for (int n = 1; n <= 6; ++n) {
        ASSERT_EQ(supply.Deliver(1, &record), 0);
        const std::vector<int16_t> silence(3528, 0);
        if (n <= 5) {
            EXPECT_TRUE(std::equal(silence.begin(), silence.end(), record.sound)) << "output frame " << n;
        }
    }
    EXPECT_TRUE(std::equal(sound.begin(), sound.begin() + 3528, record.sound)) << "200 ms in, the player's sound";
    for (int n = 7; n <= 25; ++n) ASSERT_EQ(supply.Deliver(1, &record), 0);
    EXPECT_EQ(window->CurrentFrame(), 25) << "one frame a period";
}

TEST_F(FrameSupplyTest, PicturesRepeatOnlyWhereThePlayerFellBehindAndSkipOnlyFramesItNeverShowed) {
    // The player kept pace 46 ms behind, stood on frame 20 for three more
    // ticks (its sound and all after came 120 ms later), then never showed
    // frames 41 and 42 and was back to 86 ms behind from 43 on.
    task.outFrame = 59;
    task.totalFrames = 60;
    SyncFileWriter sync;
    ASSERT_TRUE(sync.Create(syncPath));
    for (int f = 2; f < 58; ++f) {
        if (f == 41 || f == 42) continue;
        const int late = f > 42 ? 40 : f > 20 ? 120 : 0;
        sync.Append(40 * f + 46 + late, f);
        if (f == 20)
            for (int extra = 1; extra <= 3; ++extra) sync.Append(40 * (f + extra) + 46, 20);
    }
    sync.Finish();
    WriteCountingSound(3528 * 70);
    FrameSupply supply(task, description, source.get(), host, flags, syncPath, wavPath);
    FrameInfo record{};
    ASSERT_EQ(supply.Deliver(0, &record), 0);
    std::vector<int> shown;
    const size_t skipped = 2 * 2029;  // 46 ms of stereo pairs
    for (int n = 1; supply.Deliver(1, &record) == 0 && n < 80; ++n) {
        const QRgb centre = CentreOfRecord(record);
        int frame = -1;
        for (int f = 0; f < 60; ++f)
            if (const swf::Color c = frameColor(f); qRgb(c.r, c.g, c.b) == centre) frame = f;
        shown.push_back(frame);
        ASSERT_EQ(record.sound[0], sound[skipped + (n - 1) * 3528]) << "the sound runs on unbent, output frame " << n;
    }
    std::vector<int> expected;
    for (int f = 0; f <= 20; ++f) expected.push_back(f);
    for (int extra = 0; extra < 3; ++extra) expected.push_back(20);
    for (int f = 21; f <= 40; ++f) expected.push_back(f);
    for (int f = 43; f <= 57; ++f) expected.push_back(f);
    EXPECT_EQ(shown, expected) << "up to frame 57, the last the player logged";
}

// A whole movie whose last frame the player logged late, within the log's
// scatter: the period after it still counts as begun before the log's end,
// and the replay must end at the last frame rather than step on through
// the movie starting over.
TEST_F(FrameSupplyTest, AWholeMovieEndsAtItsLastFrameThoughItsLogReachesFurther) {
    task.inputPath = files.write("ten.swf", colouredFramesMovie(10, 25, kWidth, kHeight));
    SyncFileWriter sync;
    ASSERT_TRUE(sync.Create(syncPath));
    for (int k = 1; k <= 9; ++k) sync.Append(40 * k + (k == 9 ? 30 : 0), k);
    sync.Finish();
    WavFileWriter wav;
    ASSERT_TRUE(wav.Open(wavPath));
    ASSERT_TRUE(wav.WriteSilence(3528u * 12));
    wav.Close();
    host.captureOver = true;
    FrameSupply supply(task, description, source.get(), host, flags, syncPath, wavPath);
    FrameInfo record{};
    ASSERT_EQ(supply.Deliver(0, &record), 0);
    std::vector<int> shown;
    for (int n = 0; n < 40; ++n) {
        const int frame = window->CurrentFrame();
        if (supply.Deliver(1, &record) != 0) break;
        shown.push_back(frame);
    }
    EXPECT_EQ(shown, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

// Frames 0 to 9 coloured as colouredFramesMovie, with a stop on frame 3.
std::vector<uint8_t> MovieStoppingAtFrame3() {
    static const std::vector<uint8_t> stop{0x07, 0x00};
    std::vector<swf::Tag> tags;
    for (int f = 0; f < 10; ++f) {
        const auto id = swf::CharacterId(f + 1);
        tags.push_back(testmovies::rect(id, frameColor(f), 0, 0, kWidth, kHeight));
        swf::PlaceObject p = testmovies::place(1, id);
        if (f > 0) p.action = swf::PlaceAction::Replace;
        tags.push_back(p);
        if (f == 3) tags.push_back(swf::DoAction{stop});
        tags.push_back(swf::ShowFrame{});
    }
    return testmovies::movie(tags, testmovies::header(kWidth, kHeight, 10));
}

TEST_F(FrameSupplyTest, AMovieThatStopsEndsAfterStandingStillForItsLimit) {
    task.inputPath = files.write("stops.swf", MovieStoppingAtFrame3());
    const int frames = 25 * (kStandingStillLimitSeconds + 2);
    SyncFileWriter sync;
    ASSERT_TRUE(sync.Create(syncPath));
    for (int k = 1; k <= frames + 5; ++k) sync.Append(k * 40, std::min(k, 3));
    WavFileWriter wav;
    ASSERT_TRUE(wav.Open(wavPath));
    ASSERT_TRUE(wav.WriteSilence(3528u * (frames + 5)));
    FrameSupply supply(task, description, source.get(), host, flags, syncPath, wavPath);
    FrameInfo record{};
    ASSERT_EQ(supply.Deliver(0, &record), 0);
    int delivered = 0;
    while (supply.Deliver(1, &record) == 0 && delivered < frames) ++delivered;
    EXPECT_EQ(window->CurrentFrame(), 3);
    EXPECT_GE(delivered, 25 * kStandingStillLimitSeconds);
    EXPECT_LT(delivered, frames) << "a stopped movie does not run for ever";
    EXPECT_TRUE(supply.Failure().empty()) << supply.Failure();
}

TEST_F(FrameSupplyTest, ASoundWriterThatStopsEarlyEndsTheEncodingAtThatFrame) {
    WritePlayerFiles(20, 3528 * 3 + 100, true);
    host.captureOver = true;  // the player has said it is done
    FrameSupply supply(task, description, source.get(), host, flags, syncPath, wavPath);
    FrameInfo record{};
    ASSERT_EQ(supply.Deliver(0, &record), 0);
    int delivered = 0;
    while (supply.Deliver(1, &record) == 0) ++delivered;
    EXPECT_EQ(delivered, 3);
    EXPECT_TRUE(supply.Failure().empty()) << "an ordinary end: " << supply.Failure();
}

TEST_F(FrameSupplyTest, ASoundWriterThatFallsSilentWhileRunningEndsWithAReason) {
    WritePlayerFiles(20, 3528 * 2, false);
    FrameSupply supply(task, description, source.get(), host, flags, syncPath, wavPath);
    supply.SetWriterSilenceLimit(300);
    FrameInfo record{};
    ASSERT_EQ(supply.Deliver(0, &record), 0);
    int delivered = 0;
    while (supply.Deliver(1, &record) == 0) ++delivered;
    EXPECT_EQ(delivered, 2);
    EXPECT_NE(supply.Failure().find("sound"), std::string::npos) << supply.Failure();
}

TEST_F(FrameSupplyTest, AMissingFrameLogIsReportedAndLoadsNothing) {
    FrameSupply supply(task, description, source.get(), host, flags, files.path("absent.sync"), wavPath);
    EXPECT_FALSE(supply.PrepareAutoCapture());
    EXPECT_EQ(host.messages, std::vector<std::string>{"sync file error"});
}

TEST_F(FrameSupplyTest, SoundOnlyStepsOneFramePerRecordWithoutPictures) {
    WritePlayerFiles(20, 3528 * 20, true);
    description.streamKind = kStreamAudio;
    FrameSupply supply(task, description, source.get(), host, flags, syncPath, wavPath);
    FrameInfo record{};
    ASSERT_EQ(supply.Deliver(0, &record), 0);
    ASSERT_EQ(supply.Deliver(1, &record), 0);
    EXPECT_EQ(record.picture, nullptr);
    EXPECT_EQ(record.pictureBytes, 0);
    EXPECT_EQ(record.soundBytes, 7056);
    EXPECT_FLOAT_EQ(record.soundTime, 0.04f);
    const int before = window->CurrentFrame();
    ASSERT_EQ(supply.Deliver(1, &record), 0);
    EXPECT_EQ(window->CurrentFrame(), before + 1);
}

// A capture queue played by a list.
class ListedFrames : public CapturedFrameSource {
public:
    void Next(CapturedFrame& out) override {
        if (entries.empty()) {
            out = CaptureEndMarker();
            return;
        }
        out = std::move(entries.front());
        entries.pop_front();
    }
    void Add(int32_t elapsedMs, int32_t frame, bool withPicture) {
        CapturedFrame entry;
        entry.elapsedMs = elapsedMs;
        entry.frame = frame;
        if (withPicture) {
            entry.bitmap = std::make_unique<QImage>(kWidth, kHeight, QImage::Format_RGB32);
            entry.bitmap->fill(qRgb(10, 20, frame));
        }
        entries.push_back(std::move(entry));
    }
    std::deque<CapturedFrame> entries;
};

TEST_F(FrameSupplyTest, InteractiveSoundCoversExactlyTheTimeSinceTheLastEntry) {
    task.outputMode = kOutputInteractiveOnePass;
    description.streamKind = kStreamAudio;
    WavFileWriter wav;
    ASSERT_TRUE(wav.Open(wavPath));
    sound = CountingSound(88200);
    ASSERT_TRUE(wav.Write(sound.data(), 88200));
    ListedFrames queue;
    queue.Add(100, 2, false);
    queue.Add(250, 5, false);
    queue.Add(260, 5, false);
    FrameSupply supply(task, description, nullptr, host, flags, std::string(), wavPath);
    supply.SetCapturedFrameSource(&queue);
    FrameInfo record{};
    ASSERT_EQ(supply.Deliver(0, &record), 0);
    const int expected[] = {8820, 13230, 882};
    const float times[] = {0.1f, 0.25f, 0.26f};
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(supply.Deliver(1, &record), 0);
        EXPECT_EQ(record.soundBytes, 2 * expected[i]);
        EXPECT_EQ(record.picture, nullptr);
        EXPECT_FLOAT_EQ(record.soundTime, times[i]);
    }
    EXPECT_EQ(supply.Deliver(1, &record), -1) << "the end marker ends the encoding";
    EXPECT_EQ(host.progress, (std::vector<int64_t>{2, 5, 5}));
}

TEST_F(FrameSupplyTest, InteractiveFramesHandOverTheQueuedPicturesUntilTheEndMarker) {
    task.outputMode = kOutputInteractiveOnePass;
    WavFileWriter wav;
    ASSERT_TRUE(wav.Open(wavPath));
    ASSERT_TRUE(wav.WriteSilence(88200));
    ListedFrames queue;
    queue.Add(40, 1, true);
    queue.Add(80, 2, true);
    FrameSupply supply(task, description, nullptr, host, flags, std::string(), wavPath);
    supply.SetCapturedFrameSource(&queue);
    FrameInfo record{};
    ASSERT_EQ(supply.Deliver(0, &record), 0);
    for (int frame = 1; frame <= 2; ++frame) {
        ASSERT_EQ(supply.Deliver(1, &record), 0);
        EXPECT_EQ(CentreOfRecord(record), qRgb(10, 20, frame));
        EXPECT_EQ(record.soundBytes, 2 * 3528);
        EXPECT_FLOAT_EQ(record.pictureTime, frame * 0.04f);
    }
    EXPECT_EQ(supply.Deliver(1, &record), -1);
    EXPECT_TRUE(supply.Failure().empty());
}

TEST_F(FrameSupplyTest, TheStopFlagEndsEveryRequest) {
    FrameSupply supply(task, description, source.get(), host, flags, syncPath, wavPath);
    flags.stop = 1;
    FrameInfo record{};
    EXPECT_EQ(supply.Deliver(0, &record), -1);
    EXPECT_EQ(supply.Deliver(1, &record), -1);
}

}  // namespace
}  // namespace kinolux
