#include "engine/player_frame.h"

#include <algorithm>
#include <cmath>

namespace kinolux {

namespace {

// How far the median offset must move from a frame's lag so far before the
// lag changes: beyond what the log's steps scatter, and within a period.
constexpr double kLagToleranceOfPeriod = 0.65;

}  // namespace

PlayerPace::PlayerPace(int32_t firstFrame, double periodMs) : firstFrame_(firstFrame), periodMs_(periodMs) {}

void PlayerPace::Add(const SyncRecord& record) {
    if (ended_) return;
    if (IsSyncEnd(record)) {
        ended_ = true;
        return;
    }
    lastElapsed_ = record.elapsed;
    // A frame counts from its first record; a movie that jumps back has
    // looped, and the player ends there.
    if (record.frame <= lastFrame_ && lastFrame_ != INT32_MIN) return;
    lastFrame_ = record.frame;
    lastFrameSince_ = record.elapsed;
    if (record.frame < firstFrame_) return;
    offsets_.emplace(record.frame, record.elapsed - static_cast<double>(record.frame - firstFrame_) * periodMs_);
}

bool PlayerPace::CoversFrame(int32_t frame) const {
    return ended_ || (lastFrame_ != INT32_MIN &&
                      static_cast<int64_t>(lastFrame_) >= static_cast<int64_t>(frame) + kWindowFrames);
}

bool PlayerPace::Covers(int32_t frame) const {
    return CoversFrame(frame) || lastElapsed_ - lastFrameSince_ >= (kWindowFrames + 1) * periodMs_;
}

bool PlayerPace::EndedBefore(int64_t period) const {
    return ended_ && PeriodStartMs(period) > lastElapsed_ + kLagToleranceOfPeriod * periodMs_;
}

double PlayerPace::StartMs() {
    if (!startMs_) {
        std::vector<double> first;
        for (auto it = offsets_.begin(); it != offsets_.end() && first.size() < 2 * kWindowFrames + 1; ++it)
            first.push_back(it->second);
        if (first.empty()) {
            startMs_ = 0;
        } else {
            std::nth_element(first.begin(), first.begin() + first.size() / 2, first.end());
            startMs_ = first[first.size() / 2];
        }
    }
    return *startMs_;
}

std::optional<double> PlayerPace::MedianOffset(int32_t frame) const {
    std::vector<double> near;
    for (auto it = offsets_.lower_bound(frame - kWindowFrames);
         it != offsets_.end() && static_cast<int64_t>(it->first) <= static_cast<int64_t>(frame) + kWindowFrames; ++it)
        near.push_back(it->second);
    if (near.empty()) return std::nullopt;
    std::nth_element(near.begin(), near.begin() + near.size() / 2, near.end());
    return near[near.size() / 2];
}

int64_t PlayerPace::NextLag(int64_t previous, int32_t frame) const {
    const double tolerance = kLagToleranceOfPeriod * periodMs_;
    int64_t lag = previous;
    if (const std::optional<double> median = MedianOffset(frame)) {
        const double lagMs = *median - startMs_.value_or(0);
        if (std::abs(lagMs - static_cast<double>(previous) * periodMs_) > tolerance)
            lag = std::llround(lagMs / periodMs_);
    }
    // A frame the player has not shown yet, though its log has gone past
    // its place: the player stands on a frame, and so does the replay.
    if (!ended_ && lastFrame_ != INT32_MIN && frame > lastFrame_) {
        const double waitedMs = lastElapsed_ - static_cast<double>(frame - firstFrame_) * periodMs_ - startMs_.value_or(0);
        if (waitedMs > static_cast<double>(lag) * periodMs_ + tolerance)
            lag = static_cast<int64_t>(std::floor(waitedMs / periodMs_));
    }
    return lag;
}

int64_t PlayerPace::Lag(int32_t frame) {
    if (frame < firstFrame_) return 0;
    StartMs();
    // Lags are settled in order, as far as the log covers; beyond that a lag
    // is worked out afresh each time, since more records may change it.
    int64_t lag = lags_.empty() ? 0 : lags_.back();
    int32_t next = firstFrame_ + static_cast<int32_t>(lags_.size());
    while (next <= frame) {
        lag = NextLag(lag, next);
        if (static_cast<size_t>(next - firstFrame_) == lags_.size() && CoversFrame(next)) lags_.push_back(lag);
        ++next;
    }
    return lag;
}

int32_t PlayerPace::FrameForPeriod(int64_t period, int32_t current) {
    // The latest frame whose place in the output, its place in the range
    // plus its lag, has come by this period.
    int32_t frame = current;
    for (int32_t next = current + 1;; ++next) {
        if (static_cast<int64_t>(next - firstFrame_) + Lag(next) > period) break;
        frame = next;
    }
    return frame;
}

}  // namespace kinolux
