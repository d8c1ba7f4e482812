// Which movie frame the Auto replay shows in each output frame period, from
// the player's frame log.
//
// Each log record holds the time in the player's sound at which a frame
// the player showed has its sound, sampled once a tick. Those times move in
// steps of the sound engine's blocks and of the ticks, so a single record
// says little about one frame: read literally, the log drops some frames
// and doubles others even when the player keeps pace. The replay therefore
// shows frame n of the range in output frame n and uses the log only to
// find where the player really fell behind (its sound for a frame came a
// whole period or more late: the frame before is repeated) or ran ahead
// (the frames it never showed are skipped), so that the sound stays with
// its picture within one frame period.
//
// For every frame the log shows, its offset is the time of its first record
// less its place in the range times the period. While the player keeps
// pace the offsets scatter around one value, the start: where the range's
// first frame has its sound. The median of the offsets around a frame
// follows a real change at the frame where it happens and ignores the
// scatter; a frame's lag, in whole periods, changes only when that median
// has moved 0.65 of a period away from the lag so far.
#pragma once

#include "capture/sync_file.h"

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace kinolux {

class PlayerPace {
public:
    // Frames on either side of a frame whose offsets decide its lag.
    static constexpr int32_t kWindowFrames = 4;

    PlayerPace(int32_t firstFrame, double periodMs);

    // The next record of the log, in the log's order (the end record too).
    void Add(const SyncRecord& record);
    bool Ended() const { return ended_; }
    // True when the log reaches far enough past `frame` for that frame's
    // lag to be settled: frames beyond it, a player standing on its last
    // frame for longer than those frames would take, or the log's end.
    bool Covers(int32_t frame) const;
    // True when the log ended before output period `period` began: the
    // player is done. A frame's logged time scatters, so a period that
    // begins within that scatter after the last record still counts: the
    // last frame logged is shown even when logged a little early.
    bool EndedBefore(int64_t period) const;

    // Where in the player's sound the range's first frame has its sound, in
    // ms; settled by the first call, from the records read by then.
    double StartMs();
    // The frame for output period `period` (from 0), never before
    // `current`, the frame shown now.
    int32_t FrameForPeriod(int64_t period, int32_t current);
    // The lag of `frame` in whole periods: how many more periods than
    // frames of the range have gone by when it is shown.
    int64_t Lag(int32_t frame);

private:
    bool CoversFrame(int32_t frame) const;
    std::optional<double> MedianOffset(int32_t frame) const;
    int64_t NextLag(int64_t previous, int32_t frame) const;
    double PeriodStartMs(int64_t period) const { return startMs_.value_or(0) + static_cast<double>(period) * periodMs_; }

    int32_t firstFrame_;
    double periodMs_;
    std::map<int32_t, double> offsets_;  // frame -> offset of its first record
    int32_t lastFrame_ = INT32_MIN;
    int32_t lastElapsed_ = 0;
    int32_t lastFrameSince_ = 0;  // the first record of lastFrame_
    bool ended_ = false;
    std::optional<double> startMs_;
    std::vector<int64_t> lags_;  // settled lags of firstFrame_, firstFrame_ + 1, ...
};

}  // namespace kinolux
