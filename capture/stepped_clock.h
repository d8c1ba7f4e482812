// A clock that moves only when its owner steps it: the time base of a fast
// conversion, on which the engine's sound device consumes its blocks. A
// sleeper waits until the clock has been stepped to its deadline, so the
// device plays exactly as much sound as the clock has moved on, however
// long the steps take in real time.
//
// The owner learns when the device has caught up from Waiting: the sleepers
// whose deadline still lies ahead. Released, the clock lets every sleeper
// go at once, so a device can always be closed.
#pragma once

#include "platform/clock.h"

#include <condition_variable>
#include <mutex>
#include <set>

namespace kinolux {

class SteppedClock final : public Clock {
public:
    TimePoint now() const override;
    void sleepUntil(TimePoint deadline) override;
    // A device being closed must not wait for a step that may never come.
    void sleepUntilOrCancelled(TimePoint deadline, const std::atomic<bool>& cancelled) override;
    void interruptSleepers() override;

    // Moves the clock on to `to` (never back) and wakes the sleepers it
    // reaches.
    void StepTo(TimePoint to);
    // Sleepers whose deadline lies beyond now.
    int Waiting() const;
    // Lets every sleeper go and every later sleep return at once.
    void Release();
    // Back to its start, holding sleepers again. Only while none sleeps.
    void Restart();

private:
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    TimePoint now_{};
    std::multiset<TimePoint> deadlines_;
    bool released_ = false;
};

}  // namespace kinolux
