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
    const auto now = clock_.now();
    if (bytesSinceStart_ == 0 || start_ + durationOf(bytesSinceStart_, format_.bytesPerSecond()) + kLongestLateness < now) {
        start_ = now;
        bytesSinceStart_ = 0;
    }
    bytesSinceStart_ += size;
    clock_.sleepUntil(start_ + durationOf(bytesSinceStart_, format_.bytesPerSecond()));
}

}  // namespace kinolux::winmm
