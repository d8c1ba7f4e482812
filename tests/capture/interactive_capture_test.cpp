// Interactive capture on the real engine module in console mode: frames
// queued in order with growing times, the capture ending by itself at the
// end of the range, on a loop, through the idle limit and when the movie
// makes no progress; the queue's limit and its end marker; stopping twice
// and starting again; the WAV that follows the capture's duration; the
// window shrinking while the movie runs and coming back while it waits.
#include "capture/call_interceptor.h"
#include "capture/movie_window.h"
#include "controlkit/artwork.h"
#include "controlkit/skin_button.h"
#include "platform/program_folder.h"
#include "profiles/dialog_table.h"
#include "profiles/language_manager.h"
#include "tests/capture/engine_interception.h"
#include "tests/flash_control/control_support.h"
#include "tests/platform/manual_clock.h"
#include "tests/platform/scoped_temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

namespace kinolux {
namespace {

using flash::testing::MovieFiles;
using flash::testing::pumpUntil;

constexpr int kFps = 30;  // one tick every 100 ms
constexpr int kWidth = 40;
constexpr int kHeight = 30;
// stop(), then the end of the actions.
constexpr uint8_t kStopActions[] = {0x07, 0x00};

// colouredFramesMovie with a stop() on each of `stopFrames`.
std::vector<uint8_t> MovieStoppingAt(int frames, const std::vector<int>& stopFrames)
{
    std::vector<swf::Tag> tags;
    for (int f = 0; f < frames; ++f) {
        const auto id = swf::CharacterId(f + 1);
        tags.push_back(testmovies::rect(id, flash::testing::frameColor(f), 0, 0, kWidth, kHeight));
        swf::PlaceObject p = testmovies::place(1, id);
        if (f > 0) p.action = swf::PlaceAction::Replace;
        tags.push_back(p);
        if (std::find(stopFrames.begin(), stopFrames.end(), f) != stopFrames.end())
            tags.push_back(swf::DoAction{swf::Bytes(kStopActions)});
        tags.push_back(swf::ShowFrame{});
    }
    swf::Header header = testmovies::header(kWidth, kHeight, frames);
    header.frameRate = std::uint16_t(kFps * 256);
    return testmovies::movie(tags, header);
}

// Everything NextCapturedFrame handed out, up to and with the end marker.
struct Taken {
    std::vector<CapturedFrame> entries;
    bool endedWithMarker = false;
};

class InteractiveCapture : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("KINOLUX_AUDIO", "null", 1);
        ASSERT_TRUE(testing::InstallInterceptionOnce()) << "the engine module's three imports are redirected";
        window = std::make_unique<MovieWindow>(nullptr, 1);
        ASSERT_NE(window->Pane(), nullptr);
        // A recording tick reads the window's clock twice: 100 ms a tick,
        // the tick interval, however late the machine runs the ticks.
        clock.advanceOnEveryReading(std::chrono::milliseconds(50));
        window->UseClock(clock);
    }
    void TearDown() override
    {
        window->StopCapture();
        window.reset();
        CallInterceptor::Instance().SetMode(kModePassThrough);
    }

    CaptureRequest Request(const std::vector<uint8_t>& movie, int endFrame, int kind = 1)
    {
        return {files.write("movie.swf", movie), folder / "~temp.wav", kind, float(kFps), 0, endFrame, kWidth, kHeight};
    }

    // Runs the window's events until the capture stops by itself, while a
    // worker takes the entries as the engine does; false when it never stops.
    bool RunUntilFinished(Taken& taken, int timeoutMs)
    {
        std::thread taker([&] {
            for (;;) {
                CapturedFrame entry;
                EXPECT_EQ(window->NextCapturedFrame(entry), 0);
                const bool end = IsCaptureEndMarker(entry);
                taken.entries.push_back(std::move(entry));
                if (end) {
                    taken.endedWithMarker = true;
                    return;
                }
            }
        });
        const bool finished = pumpUntil([&] { return window->IsFinished() == 1; }, timeoutMs);
        if (!finished) window->StopCapture();
        taker.join();
        return finished;
    }

    MovieFiles files;
    testing::ScopedTempFolder folder;
    testing::ManualClock clock;
    std::unique_ptr<MovieWindow> window;
};

// How many entries show `frame`: how many ticks the capture waited on it.
int EntriesOnFrame(const Taken& taken, int frame)
{
    return int(std::count_if(taken.entries.begin(), taken.entries.end(), [&](const CapturedFrame& entry) {
        return !IsCaptureEndMarker(entry) && entry.frame == frame;
    }));
}

// Checks what a capture handed out: pictures at the movie's size, frames
// that never go back, times that grow, and one end marker, last.
void ExpectInOrderWithOneMarkerLast(const Taken& taken, bool withPictures)
{
    ASSERT_TRUE(taken.endedWithMarker);
    ASSERT_GE(taken.entries.size(), 3u);
    for (size_t i = 0; i + 1 < taken.entries.size(); ++i) {
        const CapturedFrame& entry = taken.entries[i];
        ASSERT_FALSE(IsCaptureEndMarker(entry)) << "entry " << i;
        if (withPictures) {
            ASSERT_TRUE(entry.bitmap) << "entry " << i;
            EXPECT_EQ(entry.bitmap->size(), QSize(kWidth, kHeight));
            const swf::Color c = flash::testing::frameColor(entry.frame);
            EXPECT_EQ(entry.bitmap->pixel(kWidth / 2, kHeight / 2), qRgb(c.r, c.g, c.b)) << "the picture shows frame " << entry.frame;
        } else {
            EXPECT_FALSE(entry.bitmap) << "sound only";
        }
        EXPECT_GT(entry.elapsedMs, 0);
        if (i > 0) {
            EXPECT_GT(entry.elapsedMs, taken.entries[i - 1].elapsedMs) << "entry " << i;
            EXPECT_GE(entry.frame, taken.entries[i - 1].frame) << "entry " << i;
        }
    }
}

TEST_F(InteractiveCapture, QueuesFramesInOrderAndStopsByItselfAtTheEndOfTheRange)
{
    // 60 frames, of which the range takes the first 21: the movie would go
    // on, the capture must not.
    window->StartInteractive(Request(flash::testing::colouredFramesMovie(60, kFps), 20));
    EXPECT_EQ(window->IsFinished(), 0);
    Taken taken;
    ASSERT_TRUE(RunUntilFinished(taken, 60000)) << "console captures stop by themselves";
    ExpectInOrderWithOneMarkerLast(taken, true);
    const CapturedFrame& last = taken.entries[taken.entries.size() - 2];
    EXPECT_GE(last.frame, 20) << "up to the range's last frame";
    EXPECT_LT(last.frame, 30) << "not long after it";
    EXPECT_GT(taken.entries.front().frame, 0) << "the first tick only starts the sound clock";

    CapturedFrame after;
    ASSERT_EQ(window->NextCapturedFrame(after), 0);
    EXPECT_TRUE(IsCaptureEndMarker(after)) << "a taker that comes back after the end is not left waiting";
}

TEST_F(InteractiveCapture, StopsByItselfWhenTheMovieLoops)
{
    // The range reaches past the movie's 20 frames, so only the loop ends it.
    window->StartInteractive(Request(flash::testing::colouredFramesMovie(20, kFps), 100, kCaptureSoundOnly));
    Taken taken;
    ASSERT_TRUE(RunUntilFinished(taken, 60000));
    ExpectInOrderWithOneMarkerLast(taken, false);
    EXPECT_GE(taken.entries[taken.entries.size() - 2].frame, 12) << "no frame of the second round is queued";
}

TEST_F(InteractiveCapture, ASlowTakerLosesTheOldestEntriesNeverTheEndMarker)
{
    window->StartInteractive(Request(flash::testing::colouredFramesMovie(90, kFps), 60));
    size_t most = 0;
    ASSERT_TRUE(pumpUntil([&] {
        most = std::max(most, window->capturedFrames.Count());
        return window->IsFinished() == 1;
    }, 60000));
    EXPECT_EQ(most, CapturedFrameQueue::kMaxEntries) << "about 20 pictures were grabbed, 10 are kept";

    std::vector<CapturedFrame> queued;
    for (CapturedFrame entry; window->capturedFrames.TakeOldest(entry);) queued.push_back(std::move(entry));
    ASSERT_EQ(queued.size(), CapturedFrameQueue::kMaxEntries);
    EXPECT_TRUE(IsCaptureEndMarker(queued.back()));
    EXPECT_GE(queued[queued.size() - 2].frame, 58) << "the most recent pictures are kept";
    EXPECT_GT(queued.front().frame, 20) << "the oldest were dropped";
}

TEST_F(InteractiveCapture, AMovieThatStopsIsPlayedOnAfterTheIdleLimitAndEndsThroughIt)
{
    // Stops at frame 5 and at its last frame, 14.
    window->SetAutoRestart(1, 1);
    window->StartInteractive(Request(MovieStoppingAt(15, {5, 14}), 14));
    Taken taken;
    ASSERT_TRUE(RunUntilFinished(taken, 60000));
    ExpectInOrderWithOneMarkerLast(taken, true);
    EXPECT_GE(taken.entries[taken.entries.size() - 2].frame, 12) << "played on past frame 5";
    // The idle limit of 1 s is counted in 100 ms ticks: the 11th idle tick
    // passes it.
    EXPECT_GE(EntriesOnFrame(taken, 5), 11) << "after waiting the idle limit on frame 5";

    // A short range stays on its last frame for the idle limit, then ends.
    window->StartInteractive(Request(MovieStoppingAt(3, {2}), 2));
    Taken shortRange;
    ASSERT_TRUE(RunUntilFinished(shortRange, 60000));
    // The first tick may fall on frame 2 and only starts the sound clock.
    EXPECT_GE(EntriesOnFrame(shortRange, 2), 10);
    EXPECT_LE(EntriesOnFrame(shortRange, 2), 11) << "ends at the idle limit";
}

TEST_F(InteractiveCapture, AConsoleCaptureOfAMovieThatMakesNoProgressEndsAnyway)
{
    // Without the restart, a movie stopped in the middle never reaches the
    // end of its range; a one-frame movie never leaves its frame.
    // The limit: the idle limit of 1 s and a margin of 1 s, on the window's
    // clock, which moves 100 ms a tick.
    window->SetAutoRestart(0, 1);
    window->StartInteractive(Request(MovieStoppingAt(30, {5}), 29));
    Taken taken;
    ASSERT_TRUE(RunUntilFinished(taken, 60000));
    EXPECT_EQ(window->lastFrame, 5);
    const CapturedFrame& lastEntry = taken.entries[taken.entries.size() - 2];
    const auto firstOnFive = std::find_if(taken.entries.begin(), taken.entries.end(),
                                          [](const CapturedFrame& entry) { return entry.frame == 5; });
    ASSERT_NE(firstOnFive, taken.entries.end());
    // Frame 5 was first seen 50 ms after its entry's time; the capture ends
    // at the first tick more than 2000 ms after that.
    EXPECT_EQ(lastEntry.elapsedMs - firstOnFive->elapsedMs, 2100);

    // Recording nothing (still images take their own pictures) ends alike.
    // Such a tick reads the clock once, so it moves 100 ms at each reading.
    clock.advanceOnEveryReading(std::chrono::milliseconds(100));
    const auto started = clock.sinceStart();
    window->StartInteractive(Request(flash::testing::colouredFramesMovie(1, kFps), 0, 0));
    ASSERT_TRUE(pumpUntil([&] { return window->IsFinished() == 1; }, 60000));
    EXPECT_GT(clock.sinceStart() - started, std::chrono::milliseconds(2000)) << "a single frame is shown for the limit";
    EXPECT_LE(clock.sinceStart() - started, std::chrono::milliseconds(2200));
    CapturedFrame only;
    ASSERT_TRUE(window->capturedFrames.TakeOldest(only));
    EXPECT_TRUE(IsCaptureEndMarker(only)) << "nothing but the end marker is queued";
    EXPECT_EQ(window->capturedFrames.Count(), 0u);
}

TEST_F(InteractiveCapture, StoppingTwiceIsHarmlessAndANewCaptureStartsAfresh)
{
    window->StartInteractive(Request(flash::testing::colouredFramesMovie(90, kFps), 80));
    ASSERT_TRUE(pumpUntil([&] { return window->capturedFrames.Count() >= 2; }, 60000));
    window->StopCapture();
    window->StopCapture();
    EXPECT_EQ(window->IsFinished(), 1);
    std::vector<CapturedFrame> queued;
    for (CapturedFrame entry; window->capturedFrames.TakeOldest(entry);) queued.push_back(std::move(entry));
    ASSERT_GE(queued.size(), 3u);
    EXPECT_TRUE(IsCaptureEndMarker(queued.back()));
    EXPECT_EQ(std::count_if(queued.begin(), queued.end(), IsCaptureEndMarker), 1) << "one end marker";

    window->StartInteractive(Request(flash::testing::colouredFramesMovie(60, kFps), 20));
    EXPECT_EQ(window->IsFinished(), 0);
    EXPECT_EQ(window->capturedFrames.Count(), 0u);
    EXPECT_EQ(window->run.endFrame, 20);
    EXPECT_EQ(window->run.sameFrameTicks, 0);
    Taken taken;
    ASSERT_TRUE(RunUntilFinished(taken, 60000));
    ExpectInOrderWithOneMarkerLast(taken, true);
    EXPECT_LT(taken.entries.front().frame, 10) << "the new capture starts from its own first frame";
}

// The WAV of a capture: 44.1 kHz stereo 16-bit, its header sizes matching
// the file, as long as the time between the first tick and the last.
TEST_F(InteractiveCapture, TheWavLastsAsLongAsTheCapture)
{
    // The sound follows the real clock, so the entries' times must too.
    window->UseClock(realClock());
    const CaptureRequest request = Request(flash::testing::colouredFramesMovie(60, kFps), 45, 3);
    window->StartInteractive(request);
    Taken taken;
    ASSERT_TRUE(RunUntilFinished(taken, 60000));
    ExpectInOrderWithOneMarkerLast(taken, true);

    std::ifstream in(request.wavPath, std::ios::binary);
    const std::vector<char> wav{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_GT(wav.size(), 44u);
    const auto u32 = [&](size_t at) { uint32_t v; std::memcpy(&v, wav.data() + at, 4); return v; };
    const auto u16 = [&](size_t at) { uint16_t v; std::memcpy(&v, wav.data() + at, 2); return v; };
    EXPECT_EQ(std::string(wav.data(), 4), "RIFF");
    EXPECT_EQ(std::string(wav.data() + 8, 4), "WAVE");
    EXPECT_EQ(u32(4), wav.size() - 8);
    EXPECT_EQ(u16(22), 2);
    EXPECT_EQ(u32(24), 44100u);
    EXPECT_EQ(u16(34), 16);
    EXPECT_EQ(u32(40), wav.size() - 44);
    EXPECT_EQ(u32(40) % 4, 0u) << "whole stereo pairs";

    // Sound runs from the first tick, which queues nothing and so comes
    // before the first entry, to the last tick.
    const double seconds = u32(40) / 176400.0;
    const double firstEntry = taken.entries.front().elapsedMs / 1000.0;
    const double lastTick = taken.entries[taken.entries.size() - 2].elapsedMs / 1000.0;
    EXPECT_GT(seconds, 1.0);
    EXPECT_LE(seconds, lastTick + 0.005);
    EXPECT_GE(seconds, lastTick - firstEntry - 0.005);
}

TEST_F(InteractiveCapture, OnTheScreenTheWindowShrinksWhileTheMoviePlaysAndComesBackWhileItWaits)
{
    window->SetConsoleMode(0);
    window->StartInteractive(Request(MovieStoppingAt(15, {12}), 100));
    EXPECT_TRUE(window->isVisible());
    const QRect full = window->run.savedRect;
    EXPECT_EQ(full.size(), QSize(kWidth, kHeight + 50));
    ASSERT_TRUE(pumpUntil([&] { return window->run.shrunk == 1; }, 60000));
    EXPECT_EQ(window->size(), QSize(350, 78));
    ASSERT_TRUE(pumpUntil([&] { return window->run.restored == 1; }, 60000)) << "four ticks on frame 12";
    EXPECT_EQ(window->geometry(), full);
    EXPECT_EQ(window->IsFinished(), 0) << "on the screen nothing stops by itself";

    window->close();
    EXPECT_EQ(window->IsFinished(), 1) << "closing the window stops the capture";
    EXPECT_FALSE(window->isVisible());
    CapturedFrame last;
    for (CapturedFrame entry; window->capturedFrames.TakeOldest(entry);) last = std::move(entry);
    EXPECT_TRUE(IsCaptureEndMarker(last));
}

template <typename Control>
Control* ItemOf(QWidget& window, int itemId)
{
    for (Control* control : window.findChildren<Control*>())
        if (control->property("itemId").toInt() == itemId) return control;
    return nullptr;
}

TEST_F(InteractiveCapture, OnTheScreenTheCheckBoxesAndStopButtonTakeEffectAtOnce)
{
    window->SetConsoleMode(0);
    window->StartInteractive(Request(flash::testing::colouredFramesMovie(60, kFps), 20));
    SkinButton* autoHide = ItemOf<SkinButton>(*window, 1317);
    SkinButton* autoStop = ItemOf<SkinButton>(*window, 1294);
    SkinButton* stop = ItemOf<SkinButton>(*window, 1295);
    ASSERT_TRUE(autoHide && autoStop && stop);
    EXPECT_EQ(autoHide->ButtonKind(), SkinButton::kCheckBox);
    EXPECT_EQ(autoStop->ButtonKind(), SkinButton::kCheckBox);
    EXPECT_EQ(autoHide->FaceShown(), artwork::kButtonPressed) << "checked, it shows the pressed face";
    EXPECT_EQ(autoStop->FaceShown(), artwork::kButtonNormal);
    EXPECT_EQ(autoHide->accessibleName(), "Auto hide play window");
    EXPECT_TRUE(autoHide->isChecked());
    EXPECT_FALSE(autoStop->isChecked()) << "on the screen the user stops";
    EXPECT_EQ(stop->text(), "Stop");
    EXPECT_EQ(stop->toolTip(), "Stop capture...");

    ASSERT_TRUE(pumpUntil([&] { return window->run.shrunk == 1; }, 60000));
    autoHide->click();
    EXPECT_EQ(window->run.autoHide, 0);
    EXPECT_EQ(window->geometry(), window->run.savedRect) << "back to full size at once";
    // A few more ticks, each of which would shrink it again.
    const int32_t frameBefore = window->lastFrame;
    ASSERT_TRUE(pumpUntil([&] { return window->lastFrame >= frameBefore + 6; }, 60000));
    EXPECT_EQ(window->geometry(), window->run.savedRect) << "and it stays while the movie plays";

    autoStop->click();
    EXPECT_EQ(window->run.autoStop, 1);
    stop->click();
    EXPECT_EQ(window->IsFinished(), 1);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(InteractiveCapture, TheCaptureWindowFollowsALanguageSwitchAtOnce) {
    Languages().SetLanguageFolder(GetProgramFolder(true) + "language/kinolux/");
    window->SetConsoleMode(0);
    window->StartInteractive(Request(flash::testing::colouredFramesMovie(60, kFps), 20));
    SkinButton* stop = ItemOf<SkinButton>(*window, 1295);
    SkinButton* autoStop = ItemOf<SkinButton>(*window, 1294);
    ASSERT_TRUE(stop && autoStop);
    Languages().SelectLanguage("Deutsch - German");
    RelabelAllDialogs();
    EXPECT_EQ(window->windowTitle(), "Bild und Ton aufnehmen...");
    EXPECT_EQ(stop->text(), "Stopp");
    EXPECT_EQ(stop->toolTip(), "Aufnahme beenden...");
    EXPECT_EQ(autoStop->accessibleName(), "Automatisch beenden");
    EXPECT_EQ(stop->geometry().right(), window->width() - 5) << "the row is laid out again for the new texts";
    Languages().SelectLanguage("English");
    RelabelAllDialogs();
    EXPECT_EQ(stop->text(), "Stop");
}

}  // namespace
}  // namespace kinolux
