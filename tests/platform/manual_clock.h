// A clock that moves only when told: by advance(), by a sleeper, whose wait
// ends at once with the clock set to its deadline, or by a set step at every
// reading, so that times measured by code that reads it once per turn grow
// by its turns and not by the machine's speed. Safe to share with the
// threads of the code under test.
#pragma once

#include "platform/clock.h"

#include <mutex>

namespace kinolux::testing {

class ManualClock final : public Clock {
public:
    TimePoint now() const override
    {
        std::lock_guard lock(mutex_);
        now_ += stepPerReading_;
        return now_;
    }
    void sleepUntil(TimePoint deadline) override
    {
        std::lock_guard lock(mutex_);
        if (deadline > now_) now_ = deadline;
    }
    void advance(std::chrono::nanoseconds by)
    {
        std::lock_guard lock(mutex_);
        now_ += by;
    }
    void advanceOnEveryReading(std::chrono::nanoseconds step)
    {
        std::lock_guard lock(mutex_);
        stepPerReading_ = step;
    }
    // Time since the clock was made; not a reading, so it moves nothing.
    std::chrono::nanoseconds sinceStart() const
    {
        std::lock_guard lock(mutex_);
        return now_ - TimePoint{};
    }

private:
    mutable std::mutex mutex_;
    mutable TimePoint now_{};
    std::chrono::nanoseconds stepPerReading_{0};
};

}  // namespace kinolux::testing
