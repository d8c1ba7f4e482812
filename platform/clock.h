// The monotonic clock that code pacing itself by real time reads and waits
// on, behind an interface so that tests can move time by hand instead of
// waiting for it.
#pragma once

#include <atomic>
#include <chrono>
#include <thread>

namespace kinolux {

class Clock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~Clock() = default;
    virtual TimePoint now() const = 0;
    // Returns once now() has reached `deadline` (at once if it has).
    virtual void sleepUntil(TimePoint deadline) = 0;
    // As sleepUntil, but a clock that may stand still for long also returns
    // once `cancelled` is set and interruptSleepers called, so that whoever
    // waits for the sleeper (a device being closed) is not held for ever. A
    // clock that always moves lets it sleep on.
    virtual void sleepUntilOrCancelled(TimePoint deadline, const std::atomic<bool>& cancelled)
    {
        (void)cancelled;
        sleepUntil(deadline);
    }
    virtual void interruptSleepers() {}
};

class RealClock final : public Clock {
public:
    TimePoint now() const override { return std::chrono::steady_clock::now(); }
    void sleepUntil(TimePoint deadline) override { std::this_thread::sleep_until(deadline); }
};

// The machine's monotonic clock, for every user that is not given another.
inline Clock& realClock()
{
    static RealClock clock;
    return clock;
}

}  // namespace kinolux
