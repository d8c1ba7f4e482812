#include "shell/preview_frames.h"

namespace kinolux {

long FrameAfterStep(FrameStep step, long current, long totalFrames) {
    switch (step) {
    case FrameStep::First: return 0;
    case FrameStep::Previous: return current >= 0 ? current - 1 : current;
    case FrameStep::Next: return current + 1;
    case FrameStep::Last: return totalFrames - 1;
    }
    return current;
}

MarkOutcome MarkIn(ConversionTask& task, int64_t frame) {
    if (frame < 0 || frame > task.outFrame) return MarkOutcome::Refused;
    task.inFrame = frame;
    return MarkOutcome::Accepted;
}

MarkOutcome MarkOut(ConversionTask& task, int64_t frame) {
    if (frame < task.inFrame || frame >= task.totalFrames) return MarkOutcome::Refused;
    task.outFrame = frame;
    return MarkOutcome::Accepted;
}

void FrameDisplayPacer::UseClock(const Clock& clock) {
    clock_ = &clock;
    due_.reset();
}

bool FrameDisplayPacer::RefreshDue() {
    const Clock::TimePoint now = clock_->now();
    if (due_ && now < *due_) return false;
    due_ = due_ && now - *due_ < kPeriod ? *due_ + kPeriod : now + kPeriod;
    return true;
}

std::chrono::milliseconds FrameDisplayPacer::UntilDue() const {
    if (!due_) return std::chrono::milliseconds(0);
    const Clock::TimePoint now = clock_->now();
    if (now >= *due_) return std::chrono::milliseconds(0);
    return std::chrono::ceil<std::chrono::milliseconds>(*due_ - now);
}

std::optional<long> FrameDisplayPacer::FrameToShow(long current) {
    if (current == shown_) return std::nullopt;
    shown_ = current;
    return current;
}

}  // namespace kinolux
