// The control's sound, played in real time through the null device: what it
// writes to the wave-out device is exactly (or, for MP3, very nearly) the
// movie's sounds decoded directly, and the stream goes with its timeline.
//
// This program defines waveOutWrite itself: the engine module's import of it
// binds here, and every block is recorded before it goes on to the device.
#include "flash/control/control_entries.h"
#include "tests/flash_control/control_support.h"
#include "tests/flash_control/sound_movie.h"

#include "platform/winmm/winmm.h"

#include <gtest/gtest.h>

#include <QThread>
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

std::size_t recordedValues()
{
    std::lock_guard lock(recordingMutex);
    return recording.size();
}

std::vector<std::int16_t> takeRecording()
{
    std::lock_guard lock(recordingMutex);
    std::vector<std::int16_t> taken;
    taken.swap(recording);
    return taken;
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
// lets the device play on until it has taken the event sound whole; returns
// everything written to the device. `drawingMs`: after each turn of the
// event loop the thread is busy this long, as with a movie that is slow to
// draw.
std::vector<std::int16_t> playAndRecord(const testing::SoundMovie& sounds, int drawingMs = 0)
{
    const std::vector<std::uint8_t>& file = sounds.file;
    setenv("KINOLUX_AUDIO", "null", 1);
    testing::ensureApplication();
    testing::MovieFiles files;
    const std::string path = files.write("sound.swf", file);
    QWidget parent;
    void* control = FlashControlCreate(&parent);
    takeRecording();
    const FlashVariant movie{FLASH_VT_BSTR, 0, const_cast<char*>(path.c_str())};
    EXPECT_EQ(call(control, FLASH_DISPID_MOVIE, FLASH_DISPATCH_PROPERTYPUT, &movie), FLASH_S_OK);
    EXPECT_TRUE(testing::pumpUntil(
        [&] {
            QThread::msleep(std::uint32_t(drawingMs));
            return currentFrame(control) >= testing::kSoundMovieFrames - 2;
        },
        10000));
    call(control, FLASH_DISPID_STOP, FLASH_DISPATCH_METHOD);
    // The event sound started before the timeline reached its last frame, so
    // it ends within its own length of what was written by then, plus the
    // few blocks the mixer runs ahead.
    const std::size_t eventEnd = recordedValues() + sounds.event.size() + 8 * 2048;
    EXPECT_TRUE(testing::pumpUntil([&] { return recordedValues() >= eventEnd; }, 20000));
    delete static_cast<QWidget*>(control);
    return takeRecording();
}

void expectSoundsAsDecoded(SoundCodec codec, bool exact)
{
    const testing::SoundMovie movie = testing::makeSoundMovie(codec);
    testing::expectHeardAsDecoded(movie, playAndRecord(movie), exact);
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
    // Thirty milliseconds of drawing after every turn: each frame runs up to
    // that late, far later than the mixer's lead.
    const testing::SoundMovie movie = testing::makeSoundMovie(SoundCodec::PcmLittleEndian);
    testing::expectHeardAsDecoded(movie, playAndRecord(movie, 30), true);
}

}  // namespace
}  // namespace flash
