#include "platform/winmm/null_wave_sink.h"

namespace kinolux::winmm {

namespace {

// Exact for any play time: whole seconds and the rest are converted apart.
std::chrono::nanoseconds durationOf(std::uint64_t bytes, std::uint64_t bytesPerSecond)
{
    return std::chrono::seconds(bytes / bytesPerSecond) +
           std::chrono::nanoseconds(bytes % bytesPerSecond * 1'000'000'000 / bytesPerSecond);
}

// A writer may come back this late and still keep its place, as a device's
// buffer lets it: a thread woken a little late on a busy machine must not
// slow the device down. Only a longer pause starts the timing afresh.
constexpr std::chrono::milliseconds kLongestLateness(50);

}  // namespace

void NullWaveSink::play(const std::uint8_t*, std::size_t size)
{
    // A chunk interrupted before it began ends at once too: the device is
    // being reset or closed.
    if (interrupted_.exchange(false)) return;
    const auto now = clock_.now();
    const bool paused = pause_ == Pause::RestartsTiming &&
                        start_ + durationOf(bytesSinceStart_, format_.bytesPerSecond()) + kLongestLateness < now;
    if (bytesSinceStart_ == 0 || paused) {
        start_ = now;
        bytesSinceStart_ = 0;
    }
    bytesSinceStart_ += size;
    clock_.sleepUntilOrCancelled(start_ + durationOf(bytesSinceStart_, format_.bytesPerSecond()), interrupted_);
}

void NullWaveSink::interrupt()
{
    interrupted_ = true;
    clock_.interruptSleepers();
}

}  // namespace kinolux::winmm
