// The device behind the entries, driven with a sink that records what it is
// given: order of blocks, whole frames only, and the volume convention
// applied to the samples.
#include "platform/winmm/wave_out_device.h"
#include "platform/winmm/wave_volume.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <vector>

namespace kinolux::winmm {
namespace {

struct Recording {
    std::mutex mutex;
    std::condition_variable grew;
    std::vector<std::uint8_t> bytes;
    int discards = 0;
    int blocksDone = 0;

    // The device's callback: counts the blocks it returns done.
    static void callback(HWAVEOUT, UINT message, DWORD_PTR instance, DWORD_PTR, DWORD_PTR)
    {
        if (message != WOM_DONE) return;
        auto* self = reinterpret_cast<Recording*>(instance);
        std::lock_guard lock(self->mutex);
        ++self->blocksDone;
        self->grew.notify_all();
    }
    WaveCallbackTarget target() { return {&callback, nullptr, reinterpret_cast<DWORD_PTR>(this)}; }
};

class RecordingSink final : public WaveSink {
public:
    explicit RecordingSink(Recording& recording) : recording_(recording) {}
    void play(const std::uint8_t* bytes, std::size_t size) override
    {
        std::lock_guard lock(recording_.mutex);
        recording_.bytes.insert(recording_.bytes.end(), bytes, bytes + size);
        recording_.grew.notify_all();
    }
    void discard() override
    {
        std::lock_guard lock(recording_.mutex);
        ++recording_.discards;
        recording_.grew.notify_all();
    }

private:
    Recording& recording_;
};

std::vector<std::int16_t> samplesOf(const std::vector<std::uint8_t>& bytes)
{
    std::vector<std::int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

WAVEHDR headerFor(std::vector<std::uint8_t>& data)
{
    WAVEHDR header{};
    header.lpData = reinterpret_cast<LPSTR>(data.data());
    header.dwBufferLength = DWORD(data.size());
    header.dwFlags = WHDR_PREPARED;
    return header;
}

// Waits for the device's threads, with a generous bound that only a hang reaches.
void waitUntil(Recording& recording, const std::function<bool()>& done)
{
    std::unique_lock lock(recording.mutex);
    ASSERT_TRUE(recording.grew.wait_for(lock, std::chrono::seconds(20), done));
}

void waitForBytes(Recording& recording, std::size_t count)
{
    waitUntil(recording, [&] { return recording.bytes.size() >= count; });
}

TEST(WaveVolume, LowWordIsLeftHighWordIsRightAndFullLeavesSamplesAlone)
{
    const PcmFormat stereo16{44100, 2, 16};
    std::vector<std::int16_t> samples = {32767, 32767, -32768, -32768, 1000, -1000};
    std::vector<std::uint8_t> bytes(samples.size() * 2);
    std::memcpy(bytes.data(), samples.data(), bytes.size());

    auto full = bytes;
    applyVolume(stereo16, 0xFFFFFFFF, full.data(), full.size());
    EXPECT_EQ(full, bytes);

    auto leftOnly = bytes;
    applyVolume(stereo16, 0x0000FFFF, leftOnly.data(), leftOnly.size());
    EXPECT_EQ(samplesOf(leftOnly), (std::vector<std::int16_t>{32767, 0, -32768, 0, 1000, 0}));

    auto rightHalf = bytes;
    applyVolume(stereo16, 0x8000FFFF, rightHalf.data(), rightHalf.size());
    EXPECT_EQ(samplesOf(rightHalf), (std::vector<std::int16_t>{32767, 16383, -32768, -16384, 1000, -500}));
}

TEST(WaveVolume, MonoAndEightBitUseTheLowWordAroundTheMidpoint)
{
    std::vector<std::uint8_t> mono8 = {255, 128, 0, 200};
    applyVolume(PcmFormat{11025, 1, 8}, 0xFFFF8000, mono8.data(), mono8.size());
    EXPECT_EQ(mono8, (std::vector<std::uint8_t>{191, 128, 64, 164}));

    std::vector<std::uint8_t> stereo8 = {255, 255, 0, 0};
    applyVolume(PcmFormat{11025, 2, 8}, 0x00000000, stereo8.data(), stereo8.size());
    EXPECT_EQ(stereo8, (std::vector<std::uint8_t>{128, 128, 128, 128}));
}

TEST(WaveOutDevice, PlaysBlocksInOrderWithTheVolumeOfTheMomentAndWholeFramesOnly)
{
    Recording recording;
    const PcmFormat format{44100, 2, 16};
    std::vector<std::uint8_t> first(4 * 1000), second(4 * 700 + 3);  // a trailing partial frame
    for (std::size_t i = 0; i < first.size(); ++i) first[i] = std::uint8_t(i * 7);
    for (std::size_t i = 0; i < second.size(); ++i) second[i] = std::uint8_t(i * 13 + 1);
    WAVEHDR a = headerFor(first), b = headerFor(second);
    {
        WaveOutDevice device(format, std::make_unique<RecordingSink>(recording), recording.target(), 0xFFFFFFFF);
        ASSERT_EQ(device.write(&a), MMSYSERR_NOERROR);
        ASSERT_EQ(device.write(&b), MMSYSERR_NOERROR);
        waitUntil(recording, [&] { return recording.blocksDone == 2; });
        EXPECT_EQ(device.close(), MMSYSERR_NOERROR);
        EXPECT_EQ(device.bytesPlayed(), first.size() + 4 * 700);
    }
    std::vector<std::uint8_t> expected = first;
    expected.insert(expected.end(), second.begin(), second.end() - 3);
    EXPECT_EQ(recording.bytes, expected);
    EXPECT_TRUE(a.dwFlags & WHDR_DONE);
    EXPECT_TRUE(b.dwFlags & WHDR_DONE);
    EXPECT_FALSE((a.dwFlags | b.dwFlags) & WHDR_INQUEUE);
}

TEST(WaveOutDevice, VolumeIsAppliedToThePlayedSamples)
{
    Recording recording;
    const PcmFormat format{44100, 2, 16};
    std::vector<std::int16_t> samples(2 * 441, 20000);
    std::vector<std::uint8_t> data(samples.size() * 2);
    std::memcpy(data.data(), samples.data(), data.size());
    WAVEHDR header = headerFor(data);
    WaveOutDevice device(format, std::make_unique<RecordingSink>(recording), {}, 0xFFFFFFFF);
    device.setVolume(0x4000FFFF);
    ASSERT_EQ(device.write(&header), MMSYSERR_NOERROR);
    waitForBytes(recording, data.size());
    std::lock_guard lock(recording.mutex);
    const auto played = samplesOf(recording.bytes);
    for (std::size_t i = 0; i < played.size(); i += 2) {
        ASSERT_EQ(played[i], 20000);
        ASSERT_EQ(played[i + 1], 20000 * 0x4000 / 0xFFFF);
    }
}

TEST(WaveOutDevice, ResetDiscardsWhatTheSinkHoldsAndRestartsThePosition)
{
    Recording recording;
    std::vector<std::uint8_t> data(4 * 441);
    WAVEHDR header = headerFor(data);
    WaveOutDevice device(PcmFormat{44100, 2, 16}, std::make_unique<RecordingSink>(recording), {}, 0xFFFFFFFF);
    ASSERT_EQ(device.write(&header), MMSYSERR_NOERROR);
    waitForBytes(recording, data.size());
    device.reset();
    EXPECT_EQ(device.bytesPlayed(), 0u);
    waitUntil(recording, [&] { return recording.discards > 0; });
    std::lock_guard lock(recording.mutex);
    EXPECT_EQ(recording.discards, 1);
}

}  // namespace
}  // namespace kinolux::winmm
