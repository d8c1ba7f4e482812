// The sound of a fast conversion: a stepped clock that holds the device's
// sleepers until it is stepped, and the capture that ties what a stand-in
// mixer writes through the tap to the output's time, exactly, whenever the
// first sound opens the device.
#include "capture/fast_capture.h"
#include "capture/audio_tap.h"
#include "capture/call_interceptor.h"
#include "capture/stepped_clock.h"
#include "tests/capture/cd_quality_format.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace kinolux {
namespace {

using namespace std::chrono_literals;

TEST(SteppedClock, ASleeperWaitsUntilTheClockIsSteppedToItsDeadline) {
    SteppedClock clock;
    std::atomic<bool> woke{false};
    std::thread sleeper([&] {
        clock.sleepUntil(Clock::TimePoint{} + 30ms);
        woke = true;
    });
    while (clock.Waiting() == 0) std::this_thread::yield();
    clock.StepTo(Clock::TimePoint{} + 20ms);
    EXPECT_EQ(clock.Waiting(), 1) << "20 ms is not its deadline yet";
    EXPECT_FALSE(woke);
    clock.StepTo(Clock::TimePoint{} + 30ms);
    EXPECT_EQ(clock.Waiting(), 0) << "no longer counted, even before it has woken";
    sleeper.join();
    EXPECT_TRUE(woke);
    clock.StepTo(Clock::TimePoint{} + 10ms);
    EXPECT_EQ(clock.now(), Clock::TimePoint{} + 30ms) << "never back";
}

TEST(SteppedClock, ReleasedItLetsEverySleeperGo) {
    SteppedClock clock;
    std::thread sleeper([&] { clock.sleepUntil(Clock::TimePoint{} + 1h); });
    while (clock.Waiting() == 0) std::this_thread::yield();
    clock.Release();
    sleeper.join();
    clock.sleepUntil(Clock::TimePoint{} + 2h);  // returns at once
    clock.Restart();
    EXPECT_EQ(clock.now(), Clock::TimePoint{});
}

// What the engine's sound output does: three blocks of 512 frames queued,
// each refilled when the device hands it back. Every frame holds its own
// number from 1 on, in both channels.
class StandInMixer {
public:
    static constexpr uint32_t kBlockFrames = 512;

    void Open() {
        const WAVEFORMATEX format = testing::CdQualityFormat();
        ASSERT_EQ(TapWaveOutOpen(&device_, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(&Done),
                                 reinterpret_cast<DWORD_PTR>(this), CALLBACK_FUNCTION),
                  MMSYSERR_NOERROR);
        for (int i = 0; i < 3; ++i) {
            headers_[i].lpData = reinterpret_cast<LPSTR>(blocks_[i].data());
            headers_[i].dwBufferLength = 4 * kBlockFrames;
            waveOutPrepareHeader(device_, &headers_[i], sizeof(WAVEHDR));
        }
        for (WAVEHDR& header : headers_) Refill(&header);
    }
    void Close() {
        closing_ = true;
        waveOutReset(device_);
        for (WAVEHDR& header : headers_) waveOutUnprepareHeader(device_, &header, sizeof(WAVEHDR));
        waveOutClose(device_);
    }

private:
    static void Done(HWAVEOUT, UINT message, DWORD_PTR instance, DWORD_PTR header, DWORD_PTR) {
        auto* mixer = reinterpret_cast<StandInMixer*>(instance);
        if (message == WOM_DONE && !mixer->closing_) mixer->Refill(reinterpret_cast<WAVEHDR*>(header));
    }
    void Refill(WAVEHDR* header) {
        auto* values = reinterpret_cast<int16_t*>(header->lpData);
        for (uint32_t f = 0; f < kBlockFrames; ++f) values[2 * f] = values[2 * f + 1] = int16_t(++frames_);
        TapWaveOutWrite(device_, header, sizeof(WAVEHDR));
    }

    HWAVEOUT device_ = nullptr;
    std::vector<int16_t> blocks_[3] = {std::vector<int16_t>(2 * kBlockFrames), std::vector<int16_t>(2 * kBlockFrames),
                                       std::vector<int16_t>(2 * kBlockFrames)};
    WAVEHDR headers_[3] = {};
    std::atomic<bool> closing_{false};
    int frames_ = 0;
};

// A first sound a second in: the stream is placed so that where a sound
// started then lands (after the three blocks the device was opened with and
// one block of lead) is the output's second; silence before the stream.
TEST(FastCapture, TheFirstSoundLandsAtItsTimeAndTheStreamFollowsWithoutAGap) {
    StandInMixer mixer;
    {
        FastCapture capture;
        EXPECT_EQ(CallInterceptor::Instance().mode, kModeFastCapture);
        capture.MarkStart();
        const uint32_t values = 3528;  // a frame at 25 fps
        for (int frame = 1; frame <= 25; ++frame) capture.StepTo(frame * 40.0);
        EXPECT_FALSE(capture.Final(uint64_t(25) * values)) << "a sound opened at once could still land there";
        mixer.Open();  // the sound of the frame a second in
        for (int frame = 26; frame <= 40; ++frame) capture.StepTo(frame * 40.0);
        ASSERT_TRUE(capture.Final(uint64_t(30) * values));
        EXPECT_FALSE(capture.Final(uint64_t(80) * values));
        capture.FinishTo(uint64_t(80) * values);
        EXPECT_TRUE(capture.Final(uint64_t(80) * values)) << "the device alone mixes the tail";

        std::vector<int16_t> sound(80 * values);
        capture.Read(sound.data(), 30 * values);
        capture.Read(sound.data() + 30 * values, 50 * values);
        // The stream begins with what the device was opened with, four blocks
        // before the sound's moment.
        const size_t streamStart = 88200 - 4 * 2 * StandInMixer::kBlockFrames;
        for (size_t i = 0; i < streamStart; ++i) ASSERT_EQ(sound[i], 0) << "silence before the device, at value " << i;
        for (size_t i = streamStart; i < sound.size(); ++i)
            ASSERT_EQ(sound[i], int16_t(1 + (i - streamStart) / 2)) << "at value " << i;
        EXPECT_EQ(sound[88200], int16_t(4 * StandInMixer::kBlockFrames + 1)) << "the sound's moment";
        mixer.Close();  // while the clock stands: the device is let go at once
    }
    EXPECT_EQ(CallInterceptor::Instance().mode, kModeVirtualClock) << "frozen until the movie is dropped";
    CallInterceptor::Instance().SetMode(kModePassThrough);
}

TEST(FastCapture, TheEnginesClockReadsTheStepsInWholeMillisecondsRoundedUp) {
    FastCapture capture;
    const DWORD start = VirtualTimeGetTime();
    capture.StepTo(1000.0 / 30);
    EXPECT_EQ(VirtualTimeGetTime() - start, 34u);
    capture.StepTo(2000.0 / 30);
    EXPECT_EQ(VirtualTimeGetTime() - start, 67u);
    capture.StepTo(100);
    EXPECT_EQ(VirtualTimeGetTime() - start, 100u) << "a whole millisecond stays as it is";
    EXPECT_EQ(VirtualTimeGetTime() - start, 100u) << "and stands still between steps";
    CallInterceptor::Instance().SetMode(kModePassThrough);
}

}  // namespace
}  // namespace kinolux
