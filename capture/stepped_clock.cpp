#include "capture/stepped_clock.h"

namespace kinolux {

Clock::TimePoint SteppedClock::now() const
{
    std::lock_guard lock(mutex_);
    return now_;
}

void SteppedClock::sleepUntil(TimePoint deadline)
{
    const std::atomic<bool> never{false};
    sleepUntilOrCancelled(deadline, never);
}

void SteppedClock::sleepUntilOrCancelled(TimePoint deadline, const std::atomic<bool>& cancelled)
{
    std::unique_lock lock(mutex_);
    const auto over = [&] { return released_ || deadline <= now_ || cancelled; };
    if (over()) return;
    const auto entry = deadlines_.insert(deadline);
    wake_.wait(lock, over);
    deadlines_.erase(entry);
}

void SteppedClock::interruptSleepers()
{
    // Under the lock: a sleeper between its check and its wait still hears it.
    std::lock_guard lock(mutex_);
    wake_.notify_all();
}

void SteppedClock::StepTo(TimePoint to)
{
    std::lock_guard lock(mutex_);
    if (to <= now_) return;
    now_ = to;
    wake_.notify_all();
}

int SteppedClock::Waiting() const
{
    std::lock_guard lock(mutex_);
    // A sleeper whose deadline has been reached no longer counts, even
    // before its thread has woken.
    return static_cast<int>(std::distance(deadlines_.upper_bound(now_), deadlines_.end()));
}

void SteppedClock::Release()
{
    std::lock_guard lock(mutex_);
    released_ = true;
    wake_.notify_all();
}

void SteppedClock::Restart()
{
    std::lock_guard lock(mutex_);
    now_ = TimePoint{};
    released_ = false;
}

}  // namespace kinolux
