// The capture's hold on the real engine module: with its imports of
// timeGetTime, waveOutOpen and waveOutWrite redirected, the movie stands
// still while the virtual clock does, each step of the clock by two frame
// periods followed by Play moves it exactly one frame, and in sound-capture
// mode the audio tap records exactly the sound the movie makes. The program
// stands in for libwinmm's clock and wave-out device, so real time is a
// manual clock here too.
#include "capture/audio_tap.h"
#include "capture/call_interceptor.h"
#include "capture/shockwave_flash.h"
#include "tests/capture/engine_interception.h"
#include "tests/flash_control/control_support.h"
#include "tests/flash_control/sound_movie.h"
#include "tests/platform/scoped_temp_folder.h"
#include "tests/winmm/fake_wave_out.h"

#include <gtest/gtest.h>

#include <cstring>
#include <mutex>
#include <fstream>
#include <iterator>

namespace kinolux {
namespace {

using flash::testing::MovieFiles;
using std::chrono::milliseconds;
using testing::FakeWaveOut;

class FlashCapture : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(testing::InstallInterceptionOnce()) << "the engine module's three imports are redirected"; }
    void TearDown() override { CallInterceptor::Instance().SetMode(kModePassThrough); }

    MovieFiles files;
};

// The sound movie in a 40 x 30 control, in a window of its own.
struct SoundMovieControl {
    explicit SoundMovieControl(MovieFiles& files)
    {
        flash.resize(40, 30);
        flash.SetMovie(files.write("sound.swf", movie.file));
    }
    QWidget window;
    CShockwaveFlash flash{&window};
    const flash::testing::SoundMovie movie = flash::testing::makeSoundMovie(audio::SoundCodec::PcmLittleEndian);
};

QRgb ColourOfFrame(int frame)
{
    const swf::Color c = flash::testing::frameColor(frame);
    return qRgb(c.r, c.g, c.b);
}

QRgb CentreOf(CShockwaveFlash& flash)
{
    QImage picture(flash.size(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_TRUE(flash.PrintInto(picture));
    return picture.pixel(picture.width() / 2, picture.height() / 2);
}

// Real time passes and the control looks at its clock, as its timer would.
void LetRealTimePass(CShockwaveFlash& flash, milliseconds time) {
    FakeWaveOut::instance().advance(time);
    flash.Play();
    QCoreApplication::processEvents();
}

// The capture window's step: the clock moves, Play, the events are pumped.
void Step(CShockwaveFlash& flash, std::uint32_t ms)
{
    CallInterceptor::Instance().ClockAdvance(ms);
    flash.Play();
    QCoreApplication::processEvents();
}

TEST_F(FlashCapture, EachStepOfTheVirtualClockMovesTheMovieExactlyOneFrame)
{
    CallInterceptor& interceptor = CallInterceptor::Instance();
    // The frame rate the capture steps at may be the movie's rounded down:
    // 1000 / 25 is 40 ms; a 12.5 frames-a-second movie is stepped at 12.
    struct Case {
        int fpsTimes2;
        std::uint32_t stepMs;
    };
    for (const Case c : {Case{50, 40}, Case{25, 83}, Case{60, 33}}) {
        QWidget window;
        CShockwaveFlash flash(&window);
        flash.resize(40, 30);
        interceptor.SetMode(kModeVirtualClock);
        const auto movie = flash::testing::colouredFramesMovie(60, c.fpsTimes2 / 2.0);
        flash.LoadMovie(0, "");
        flash.SetMovie(files.write("frames.swf", movie));
        interceptor.ClockStart();
        flash.Play();
        ASSERT_EQ(flash.CurrentFrame(), 0);

        LetRealTimePass(flash, milliseconds(60));
        EXPECT_EQ(flash.CurrentFrame(), 0) << "the clock stands still, so does the movie";
        EXPECT_EQ(CentreOf(flash), ColourOfFrame(0));
        for (int frame = 1; frame < 40; ++frame) {
            Step(flash, c.stepMs);
            ASSERT_EQ(flash.CurrentFrame(), frame) << c.fpsTimes2 / 2.0 << " frames a second, stepped at " << c.stepMs;
            ASSERT_EQ(CentreOf(flash), ColourOfFrame(frame));
            if (frame % 10 == 0) {
                LetRealTimePass(flash, milliseconds(30));
                ASSERT_EQ(flash.CurrentFrame(), frame) << "no debt is left for later";
            }
        }
        // Unloading leaves an empty stage and the clock at real time.
        FakeWaveOut::instance().advance(milliseconds(7));
        interceptor.ClockReset();
        EXPECT_EQ(interceptor.virtualNow, ::timeGetTime());
        flash.SetMovie("null.swf");
        flash.Stop();
        EXPECT_EQ(flash.GetTotalFrames(), 0);
    }
}

TEST_F(FlashCapture, UnderTheVirtualClockTheMoviePlaysSilently)
{
    AudioTap::Instance().AbandonWav();
    CallInterceptor::Instance().SetMode(kModeVirtualClock);
    SoundMovieControl control(files);
    CShockwaveFlash& flash = control.flash;
    CallInterceptor::Instance().ClockStart();
    flash.Play();
    for (int frame = 1; frame <= flash::testing::kEventFrame + 2; ++frame) {
        Step(flash, 40);
        ASSERT_EQ(flash.CurrentFrame(), frame);
    }
    EXPECT_EQ(AudioTap::Instance().Buffer().Available(), 0u) << "no device was opened, nothing was written";
}

TEST_F(FlashCapture, InSoundCaptureModeTheTapRecordsTheMoviesSoundExactly) {
    testing::ScopedTempFolder folder;
    const std::string wavPath = folder / "~temp.wav";
    AudioTap& tap = AudioTap::Instance();
    tap.AbandonWav();
    ASSERT_EQ(tap.OpenWav(wavPath), 1);
    CallInterceptor::Instance().SetMode(kModeSoundCapture);

    SoundMovieControl control(files);
    CShockwaveFlash& flash = control.flash;
    const flash::testing::SoundMovie& movie = control.movie;
    // Far more clock than the movie needs: one that never gets there fails
    // instead of looping for ever.
    const milliseconds longest(10'000);
    milliseconds played(0);
    for (; flash.CurrentFrame() < flash::testing::kSoundMovieFrames - 2 && played < longest; ++played)
        LetRealTimePass(flash, milliseconds(1));
    ASSERT_LT(played, longest);
    flash.Stop();
    // The event sound started before the timeline reached its last frame, so
    // it ends within its own length of what the device had taken by then,
    // plus the few blocks the mixer runs ahead.
    const auto captured = [&] {
        std::lock_guard lock(CallInterceptor::Instance().captureLock);
        return std::size_t(tap.Buffer().Available());
    };
    const std::size_t eventEnd = captured() + movie.event.size() + 8 * 2048;
    for (played = milliseconds(0); captured() < eventEnd && played < longest; ++played)
        FakeWaveOut::instance().advance(milliseconds(1));
    EXPECT_GE(captured(), eventEnd);
    flash.SetMovie("null.swf");

    ASSERT_EQ(tap.WriteSamples(tap.Buffer().Available()), 1);
    tap.CloseWav();
    std::ifstream wav(wavPath, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(wav), std::istreambuf_iterator<char>()};
    ASSERT_GT(bytes.size(), 44u);
    std::vector<std::int16_t> recorded((bytes.size() - 44) / 2);
    std::memcpy(recorded.data(), bytes.data() + 44, recorded.size() * 2);
    flash::testing::HeardAt at;
    flash::testing::expectHeardAsDecoded(movie, recorded, true, &at);
    // As the control plays it alone (tests/flash_control): the device opens
    // with the stream at 2 ms and takes three blocks of 512 frames, a sound
    // starts a block after the next one to be mixed, and frame 16 runs
    // 639 ms later, when 55 more blocks have been mixed.
    EXPECT_EQ(at.stream, 2 * 4 * 512);
    EXPECT_EQ(at.event, 2 * (4 + 55) * 512);
}

}  // namespace
}  // namespace kinolux
