#include "capture/fast_capture.h"

#include "capture/call_interceptor.h"
#include "platform/report.h"
#include "platform/winmm/wave_sink_choice.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace kinolux {

namespace {

constexpr double kValuesPerMs = 88.2;
// The device's own steps while the tail of the sound is mixed.
constexpr double kTailStepMs = 10;
// A tail longer than this is not waited for: the device has stopped.
constexpr double kLongestTailMs = 2000;
// How often the wait for the device looks again between its news.
constexpr std::chrono::microseconds kCatchUpPoll{200};
// A device that has not caught up within this (real) time is left behind
// rather than stall the conversion.
constexpr std::chrono::seconds kCatchUpLimit{2};
constexpr size_t kBlocksKept = 4096;

// Never destroyed: a device still open when a capture ends keeps it.
SteppedClock& FastClock()
{
    static auto* clock = new SteppedClock;
    return *clock;
}

Clock::TimePoint At(double ms)
{
    return Clock::TimePoint{} + std::chrono::nanoseconds(std::llround(ms * 1e6));
}

}  // namespace

FastCapture::FastCapture() : clock_(FastClock())
{
    clock_.Restart();
    AudioTap& tap = AudioTap::Instance();
    tap.AbandonWav();
    tap.SetWatcher(this);
    winmm::useWaveOutClock(&clock_);
    CallInterceptor& interceptor = CallInterceptor::Instance();
    baseReading_ = interceptor.RealTimeGetTime();
    interceptor.virtualNow = baseReading_;
    interceptor.SetMode(kModeFastCapture);
}

FastCapture::~FastCapture()
{
    clock_.Release();
    winmm::useWaveOutClock(nullptr);
    AudioTap::Instance().SetWatcher(nullptr);
    // Frozen, as the virtual clock leaves it, until the movie is dropped.
    CallInterceptor::Instance().SetMode(kModeVirtualClock);
    AudioTap::Instance().AbandonWav();
}

void FastCapture::MarkStart()
{
    std::lock_guard lock(mutex_);
    startMs_ = engineMs_;
    Anchor();
}

void FastCapture::StepTo(double ms)
{
    MoveClocks(ms, std::max(deviceMs_, ms));
    WaitUntilCaughtUp();
}

void FastCapture::MoveClocks(double engineMs, double deviceMs)
{
    {
        // A device the engine opened at the time now ending has written its
        // first blocks and consumed none: where its first sound lands is
        // known exactly now.
        std::lock_guard lock(mutex_);
        Anchor();
    }
    engineMs_ = engineMs;
    deviceMs_ = deviceMs;
    CallInterceptor::Instance().virtualNow = baseReading_ + static_cast<uint32_t>(std::ceil(engineMs - 1e-6));
    clock_.StepTo(At(deviceMs));
}

void FastCapture::Anchor()
{
    if (anchored_ || !device_ || startMs_ < 0) return;
    const int64_t written = blockEnds_.empty() ? 0 : static_cast<int64_t>(blockEnds_.back() / 2);
    const int64_t landing = written + static_cast<int64_t>(lastBlockBytes_ / 2);
    const int64_t output = 2 * std::llround((engineMs_ - startMs_) * kValuesPerMs / 2);
    shift_ = landing - output;
    anchored_ = true;
}

bool FastCapture::CaughtUp()
{
    if (!device_) return true;
    // Read first: a sleeper counted here stays asleep until the next step,
    // so the position read after it is its last.
    const int waiting = clock_.Waiting();
    MMTIME position{};
    position.wType = TIME_BYTES;
    if (waveOutGetPosition(device_, &position, sizeof position) != MMSYSERR_NOERROR) return true;
    const uint64_t played = deviceBase_ + position.u.cb;
    // Blocks played through but not yet handed back and refilled.
    const auto unreturned = std::upper_bound(blockEnds_.begin() + static_cast<std::ptrdiff_t>(returned_),
                                             blockEnds_.end(), played);
    if (unreturned != blockEnds_.begin() + static_cast<std::ptrdiff_t>(returned_)) return false;
    return returned_ == blockEnds_.size() || waiting > 0;
}

void FastCapture::WaitUntilCaughtUp()
{
    std::unique_lock lock(mutex_);
    const auto giveUp = std::chrono::steady_clock::now() + kCatchUpLimit;
    while (!CaughtUp()) {
        if (std::chrono::steady_clock::now() > giveUp) {
            DebugOutput("Fast conversion: the sound device did not catch up with the clock");
            return;
        }
        changed_.wait_for(lock, kCatchUpPoll);
    }
}

bool FastCapture::Final(uint64_t endValue) const
{
    std::lock_guard lock(mutex_);
    if (anchored_) {
        const int64_t written = blockEnds_.empty() ? 0 : static_cast<int64_t>(blockEnds_.back() / 2);
        return written >= static_cast<int64_t>(endValue) + shift_;
    }
    if (startMs_ < 0) return false;
    return (engineMs_ - startMs_) * kValuesPerMs >= static_cast<double>(endValue) + kSilentLookaheadMs * kValuesPerMs;
}

void FastCapture::FinishTo(uint64_t endValue)
{
    bool anchored = false;
    {
        std::lock_guard lock(mutex_);
        Anchor();
        anchored = anchored_;
    }
    // Without a device no sound will come any more: the rest is silence.
    if (!anchored) return;
    for (double tail = 0; !Final(endValue) && tail < kLongestTailMs; tail += kTailStepMs) {
        MoveClocks(engineMs_, deviceMs_ + kTailStepMs);
        WaitUntilCaughtUp();
    }
}

void FastCapture::Read(int16_t* out, uint32_t count)
{
    std::lock_guard lock(mutex_);
    AudioTap& tap = AudioTap::Instance();
    while (count > 0) {
        const int64_t stream = static_cast<int64_t>(outputRead_) + shift_;
        if (!anchored_ || stream < 0) {
            const uint32_t silent =
                anchored_ ? static_cast<uint32_t>(std::min<int64_t>(count, -stream)) : count;
            std::fill_n(out, silent, int16_t{0});
            out += silent;
            count -= silent;
            outputRead_ += silent;
            continue;
        }
        // What the engine mixed before its first sound: not part of the output.
        int16_t skipped[1024];
        while (static_cast<int64_t>(streamRead_) < stream) {
            const auto part = static_cast<uint32_t>(std::min<int64_t>(1024, stream - static_cast<int64_t>(streamRead_)));
            const uint32_t got = tap.ReadCaptured(skipped, part);
            if (got == 0) break;
            streamRead_ += got;
        }
        const uint32_t got = static_cast<int64_t>(streamRead_) < stream ? 0 : tap.ReadCaptured(out, count);
        streamRead_ += got;
        outputRead_ += got;
        out += got;
        count -= got;
        if (got == 0) {
            // Not mixed (a device that was left behind): silence, in step.
            std::fill_n(out, count, int16_t{0});
            outputRead_ += count;
            streamRead_ += count;
            return;
        }
    }
}

void FastCapture::DeviceOpened(HWAVEOUT device)
{
    std::lock_guard lock(mutex_);
    // A second device (the engine closed its first) goes on in the same
    // stream: its sound follows the first one's.
    device_ = device;
    blockEnds_.erase(blockEnds_.begin(), blockEnds_.begin() + static_cast<std::ptrdiff_t>(returned_));
    returned_ = 0;
    deviceBase_ = blockEnds_.empty() ? 0 : blockEnds_.back();
    changed_.notify_all();
}

void FastCapture::BlockWritten(HWAVEOUT device, uint32_t bytes)
{
    std::lock_guard lock(mutex_);
    if (device != device_) return;
    blockEnds_.push_back((blockEnds_.empty() ? 0 : blockEnds_.back()) + bytes);
    lastBlockBytes_ = bytes;
    changed_.notify_all();
}

void FastCapture::BlockReturned(HWAVEOUT device)
{
    std::lock_guard lock(mutex_);
    if (device != device_ || returned_ >= blockEnds_.size()) return;
    ++returned_;
    // Only the blocks not yet returned are looked at again.
    if (returned_ >= kBlocksKept) {
        blockEnds_.erase(blockEnds_.begin(), blockEnds_.begin() + static_cast<std::ptrdiff_t>(returned_));
        returned_ = 0;
    }
    changed_.notify_all();
}

}  // namespace kinolux
