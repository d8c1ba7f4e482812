// The rules of the player's timer, apart from the window that runs them: when
// the movie counts as finished, and how much sound each tick writes.
#pragma once

#include <cstdint>

namespace kinolux {

// What the ticks remember about the frames they saw.
struct FrameWatch {
    int32_t lastFrame = 0;   // the frame seen at the previous tick; 0 at the start
    int32_t stallCount = 0;  // consecutive ticks that saw that same frame
};

// Notes the frame `current` seen by a tick and says whether the run is over
// before anything is recorded for it: the movie has stood on one frame near
// the end of the range (within 50 frames of `toFrame`) for more than five
// seconds of ticks, or it jumped back more than five frames, that is, it
// looped. A movie standing still far from the end keeps the run going: its
// sound may still play, and the main program decides when to stop.
bool MovieStalledOrLooped(FrameWatch& watch, int32_t current, int32_t toFrame, float frameRate);

// The last two frames of the range end the run once the movie shows them.
inline bool ReachedEndOfRange(int32_t current, int32_t toFrame) { return int64_t(current) >= int64_t(toFrame) - 2; }

// The timer's interval: one frame period in whole milliseconds, truncated,
// and never 0 (a faster rate than 1000 frames a second ticks every ms).
int TickIntervalMs(float frameRate);

// The WAV's length follows the real time since playback started: 88.2
// 16-bit values (44.1 kHz stereo) per millisecond. Counting from the start,
// rather than adding up each tick's share, keeps the channels in their
// places (a share is always whole left-right pairs) and loses no fraction
// of a value on any tick, so the sound never drifts from the pictures.
class WavPace {
public:
    // The values to write now so that the file holds `elapsedMs` of sound.
    uint32_t ValuesDue(uint32_t elapsedMs);
    uint64_t ValuesWritten() const { return 2 * framesWritten_; }

private:
    uint64_t framesWritten_ = 0;
};

// Where in the WAV the sound of the frame the movie shows now will be, so
// that the sync file can log each frame at the WAV time of its sound. The
// engine renders its sound ahead and starts a new sound one output block
// after the next block it renders; the WAV takes the rendered stream in
// order, after whatever silence was written while nothing was buffered. So
// a sound started now lands at: values captured so far + that lead +
// silence written so far. That is about 46 ms after real time when the
// device opens with the first sound, a little less on a device that was
// already open, and more when a tick found too little buffered; measured
// this way, it needs no knowledge of the device's queue.
class WavTimeline {
public:
    // One WriteSamples of `count` values, with `buffered` values captured
    // and not yet written just before it: it took them from the buffer when
    // there were enough, else it wrote silence.
    void NoteWrite(uint32_t count, uint32_t buffered);
    // The WAV time, in ms, of a sound started now with `buffered` values
    // waiting; `elapsedMs`, real time, while nothing has been captured yet.
    uint32_t SoundTimeMs(uint32_t elapsedMs, uint32_t buffered) const;

    // The engine's lead: one output block of 512 stereo frames.
    static constexpr uint64_t kEngineLeadValues = 2 * 512;

private:
    uint64_t taken_ = 0;
    uint64_t silence_ = 0;
};

}  // namespace kinolux
