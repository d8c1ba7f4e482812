// The control's sound, played on the wave-out device this program fakes on a
// manual clock: what it writes to the device is exactly (or, for MP3, very
// nearly) the movie's sounds decoded directly, and the stream goes with its
// timeline.
#include "flash/control/control_entries.h"
#include "tests/flash_control/control_support.h"
#include "tests/flash_control/sound_movie.h"
#include "tests/winmm/fake_wave_out.h"

#include <gtest/gtest.h>

#include <QWidget>

namespace flash {
namespace {

using kinolux::audio::SoundCodec;
using kinolux::testing::FakeWaveOut;
using std::chrono::milliseconds;

std::int32_t call(void* control, std::int32_t id, std::uint16_t flags, const FlashVariant* arg = nullptr,
                  FlashVariant* result = nullptr)
{
    return FlashControlInvoke(control, id, flags, arg, arg ? 1 : 0, result);
}

int currentFrame(void* control)
{
    FlashVariant result{};
    call(control, FLASH_DISPID_CURRENTFRAME, FLASH_DISPATCH_METHOD, nullptr, &result);
    return result.value;
}

// Far more clock than the movie needs: a movie that never gets there fails
// instead of looping for ever.
constexpr milliseconds kLongestPlay(10'000);

// Plays the movie until its last frame but one, the control looking at the
// clock every `turn` (its timer's turn, or a movie slow to draw coming back
// late), stops it there and lets the device play on until it has taken the
// event sound whole; returns everything written to the device.
std::vector<std::int16_t> playAndRecord(const testing::SoundMovie& sounds, milliseconds turn = milliseconds(1))
{
    testing::ensureApplication();
    testing::MovieFiles files;
    const std::string path = files.write("sound.swf", sounds.file);
    FakeWaveOut& device = FakeWaveOut::instance();
    QWidget parent;
    void* control = FlashControlCreate(&parent);
    device.takeWritten();
    const FlashVariant movie{FLASH_VT_BSTR, 0, const_cast<char*>(path.c_str())};
    EXPECT_EQ(call(control, FLASH_DISPID_MOVIE, FLASH_DISPATCH_PROPERTYPUT, &movie), FLASH_S_OK);
    // Play reads the clock at once, as the control's timer would.
    milliseconds played(0);
    for (; currentFrame(control) < testing::kSoundMovieFrames - 2 && played < kLongestPlay; played += turn) {
        call(control, FLASH_DISPID_PLAY, FLASH_DISPATCH_METHOD);
        device.advance(turn);
    }
    EXPECT_LT(played, kLongestPlay) << "the movie reached its last frames";
    call(control, FLASH_DISPID_STOP, FLASH_DISPATCH_METHOD);
    // The event sound started before the timeline reached its last frame, so
    // it ends within its own length of what was written by then, plus the
    // few blocks the mixer runs ahead.
    const std::size_t eventEnd = device.writtenValues() + sounds.event.size() + 8 * 2048;
    for (played = milliseconds(0); device.writtenValues() < eventEnd && played < kLongestPlay; ++played)
        device.advance(milliseconds(1));
    EXPECT_GE(device.writtenValues(), eventEnd);
    delete static_cast<QWidget*>(control);
    EXPECT_FALSE(device.isOpen()) << "the control closes the device with its movie";
    return device.takeWritten();
}

// Where the sounds begin in what was written, in 16-bit values, worked out
// by hand. The device opens with the first sound and takes three blocks of
// 512 frames at once; a sound starts one block (the mixer's lead) after the
// next block to be mixed, so the stream, the first sound, begins at
// 2 x 4 x 512 = 4096. Each block the device returns done is mixed anew,
// one every 512 / 44.1 = 11.61 ms; the event sound of frame 16 begins
// after the blocks mixed by the time that frame runs.
constexpr long kStreamAt = 4096;
// The control looks every millisecond: the device opens at 1 ms, frame 16
// runs on time at 640 ms, 639 ms later, when 55 more blocks have been
// mixed: 2 x (4 + 55) x 512.
constexpr long kEventAt = 60416;

void expectSoundsAsDecoded(SoundCodec codec, bool exact)
{
    const testing::SoundMovie movie = testing::makeSoundMovie(codec);
    testing::HeardAt at;
    testing::expectHeardAsDecoded(movie, playAndRecord(movie), exact, &at);
    EXPECT_EQ(at.stream, kStreamAt);
    EXPECT_EQ(at.event, kEventAt);
}

TEST(ControlSound, UncompressedSoundsAreWrittenSampleForSample)
{
    expectSoundsAsDecoded(SoundCodec::PcmLittleEndian, true);
}

TEST(ControlSound, AdpcmSoundsAreWrittenSampleForSample)
{
    expectSoundsAsDecoded(SoundCodec::Adpcm, true);
}

TEST(ControlSound, Mp3SoundsAreWrittenAsDecoded)
{
    expectSoundsAsDecoded(SoundCodec::Mp3, false);
}

TEST(ControlSound, AStreamPlaysWholeWhileItsTimelineRunsLate)
{
    // The control comes back only every 35 ms of a 40 ms frame: each frame
    // runs up to 34 ms late, far later than the mixer's lead.
    const testing::SoundMovie movie = testing::makeSoundMovie(SoundCodec::PcmLittleEndian);
    testing::HeardAt at;
    testing::expectHeardAsDecoded(movie, playAndRecord(movie, milliseconds(35)), true, &at);
    EXPECT_EQ(at.stream, kStreamAt);
    // The device opens at 35 ms; frame 16, due at 640 ms, runs at the next
    // look, 665 ms, 630 ms later, when 54 more blocks have been mixed.
    EXPECT_EQ(at.event, 2 * (4 + 54) * 512);
}

}  // namespace
}  // namespace flash
