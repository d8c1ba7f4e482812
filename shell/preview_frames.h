// What the preview's frame buttons, its in and out marks and its frame
// display do with frame numbers, apart from any widget, so that the rules
// are tested on their own and the window only carries them out.
#pragma once

#include "engine/conversion_task.h"
#include "platform/clock.h"

#include <chrono>
#include <cstdint>
#include <optional>

namespace kinolux {

enum class FrameStep { First, Previous, Next, Last };

// The frame a step button sends the preview to, from the frame it shows
// and the movie's frame count. Nothing is held to the movie here: the
// control keeps its frame inside the timeline itself.
long FrameAfterStep(FrameStep step, long current, long totalFrames);

enum class MarkOutcome { Accepted, Refused };

// The in mark at `frame`: accepted from frame 0 up to the out frame, which
// then becomes the start of the range. A refused mark changes nothing.
MarkOutcome MarkIn(ConversionTask& task, int64_t frame);
// The out mark at `frame`: accepted from the in frame up to the movie's
// last frame, which then ends the range.
MarkOutcome MarkOut(ConversionTask& task, int64_t frame);

// The frame display: refreshed every 20 ms of its clock, it moves only
// when the preview shows another frame than the one it showed last.
class FrameDisplayPacer {
public:
    static constexpr std::chrono::milliseconds kPeriod{20};

    explicit FrameDisplayPacer(const Clock& clock) : clock_(&clock) {}
    void UseClock(const Clock& clock);

    // True once a period has passed since the last refresh that was due
    // (the first reading is due at once); the next one is then a period
    // later, or a period after now when the refreshes fell behind.
    bool RefreshDue();
    // From now until the next refresh is due (0 when it is).
    std::chrono::milliseconds UntilDue() const;

    // The frame to show when `current` differs from the one shown last
    // (0 before the first), which it then becomes; nothing otherwise.
    std::optional<long> FrameToShow(long current);
    // The display was set to `frame` by other means (a task was shown).
    void SetShown(long frame) { shown_ = frame; }
    long Shown() const { return shown_; }

private:
    const Clock* clock_;
    std::optional<Clock::TimePoint> due_;
    long shown_ = 0;
};

}  // namespace kinolux
