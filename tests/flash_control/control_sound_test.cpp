// The control's sound, played in real time through the null device: what it
// writes to the wave-out device is exactly (or, for MP3, very nearly) the
// movie's sounds decoded directly, and the stream goes with its timeline.
//
// This program defines waveOutWrite itself: the engine module's import of it
// binds here, and every block is recorded before it goes on to the device.
#include "flash/control/control_entries.h"
#include "tests/flash_audio/reference_codec.h"
#include "tests/flash_control/control_support.h"
#include "tests/flash_control/sound_movie.h"

#include "platform/winmm/winmm.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QWidget>
#include <dlfcn.h>
#include <mutex>

namespace {

std::mutex recordingMutex;
std::vector<std::int16_t> recording;

}  // namespace

extern "C" MMRESULT waveOutWrite(HWAVEOUT device, LPWAVEHDR header, UINT size)
{
    static const auto real = reinterpret_cast<MMRESULT (*)(HWAVEOUT, LPWAVEHDR, UINT)>(dlsym(RTLD_NEXT, "waveOutWrite"));
    if (header && header->lpData) {
        std::lock_guard lock(recordingMutex);
        const auto* values = reinterpret_cast<const std::int16_t*>(header->lpData);
        recording.insert(recording.end(), values, values + header->dwBufferLength / 2);
    }
    return real(device, header, size);
}

namespace flash {
namespace {

using kinolux::audio::SoundCodec;
namespace reference = kinolux::audio::test;

std::vector<std::int16_t> takeRecording()
{
    std::lock_guard lock(recordingMutex);
    std::vector<std::int16_t> taken;
    taken.swap(recording);
    return taken;
}

std::vector<std::int16_t> slice(const std::vector<std::int16_t>& values, long at, std::size_t count)
{
    if (at < 0 || std::size_t(at) + count > values.size()) return {};
    return {values.begin() + at, values.begin() + at + long(count)};
}

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

// Plays the movie in real time until its last frame, stops it there and
// lets the device play out; returns everything written to the device.
std::vector<std::int16_t> playAndRecord(const std::vector<std::uint8_t>& file)
{
    setenv("KINOLUX_AUDIO", "null", 1);
    testing::ensureApplication();
    testing::MovieFiles files;
    const std::string path = files.write("sound.swf", file);
    QWidget parent;
    void* control = FlashControlCreate(&parent);
    takeRecording();
    const FlashVariant movie{FLASH_VT_BSTR, 0, const_cast<char*>(path.c_str())};
    EXPECT_EQ(call(control, FLASH_DISPID_MOVIE, FLASH_DISPATCH_PROPERTYPUT, &movie), FLASH_S_OK);
    EXPECT_TRUE(testing::pumpUntil([&] { return currentFrame(control) >= testing::kSoundMovieFrames - 2; }, 10000));
    call(control, FLASH_DISPID_STOP, FLASH_DISPATCH_METHOD);
    QElapsedTimer playOut;
    playOut.start();
    testing::pumpUntil([&] { return playOut.elapsed() > 200; }, 1000);
    delete static_cast<QWidget*>(control);
    return takeRecording();
}

void expectSoundsAsDecoded(SoundCodec codec, bool exact)
{
    const testing::SoundMovie movie = testing::makeSoundMovie(codec);
    const std::vector<std::int16_t> heard = playAndRecord(movie.file);

    // Eight frames of the stream have surely played before its timeline left
    // it; the device has taken the whole event sound.
    const std::size_t streamValues = 2 * 8 * 1764;
    ASSERT_GE(movie.stream.size(), streamValues);
    const long streamAt = testing::findSignal(heard, movie.stream, 0);
    ASSERT_GE(streamAt, 0) << "the stream was not heard";
    const auto streamHeard = slice(heard, streamAt, streamValues);
    const std::vector<std::int16_t> streamExpected(movie.stream.begin(), movie.stream.begin() + long(streamValues));

    const long eventAt = testing::findSignal(heard, movie.event, std::size_t(streamAt) + streamValues + 2 * 4000);
    ASSERT_GE(eventAt, 0) << "the event sound was not heard";
    const auto eventHeard = slice(heard, eventAt, movie.event.size());
    ASSERT_EQ(eventHeard.size(), movie.event.size());
    // They are as far apart as their frames.
    const double apartMs = double(eventAt - streamAt) / 2 / 44.1;
    EXPECT_NEAR(apartMs, testing::kEventFrame * 40.0, 40.0);

    if (exact) {
        EXPECT_EQ(streamHeard, streamExpected);
        EXPECT_EQ(eventHeard, movie.event);
    } else {
        EXPECT_GT(reference::correlation(streamHeard, streamExpected), 0.99);
        EXPECT_GT(reference::correlation(eventHeard, movie.event), 0.99);
    }
    // Between the stream's end and the event the timeline ran no sound.
    const auto gap = slice(heard, std::size_t(streamAt) + 2 * 10 * 1764 + 2 * 2048, 2 * 4000);
    EXPECT_EQ(gap, std::vector<std::int16_t>(gap.size(), 0));
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

}  // namespace
}  // namespace flash
