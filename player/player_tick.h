// The rules of the player's timer, apart from the window that runs them: when
// the movie counts as finished, and how much sound each tick writes.
#pragma once

#include <algorithm>
#include <cstdint>

namespace kinolux {

// What the ticks remember about the frames they saw.
struct FrameWatch {
    int32_t lastFrame = 0;   // the frame seen at the previous tick; 0 at the start
    int32_t stallCount = 0;  // consecutive ticks that saw that same frame
};

// Notes the frame `current` seen by a tick and says whether the movie is
// done before the end of its range: it has stood on one frame near
// the end of the range (within 50 frames of `toFrame`) for more than five
// seconds of ticks, or it jumped back more than five frames, that is, it
// looped. A movie standing still far from the end keeps the run going: its
// sound may still play, and the main program decides when to stop. Either
// way the run still records the sound of the frames already shown.
bool MovieStalledOrLooped(FrameWatch& watch, int32_t current, int32_t toFrame, float frameRate);

// The movie has shown the range's last frame (or gone past it).
inline bool ReachedEndOfRange(int32_t current, int32_t toFrame) { return current >= toFrame; }

// Where the WAV must reach, in ms, before the run may end, once a tick saw
// a frame whose sound starts at `soundMs`, with `framesLeft` frames of the
// range from that one on (the range's last frame among them; 0 when the
// movie went past it, stood still or started over): their sound, and one
// frame period more, since the log samples a frame's place in the WAV only
// once a tick.
uint32_t RunSoundEndMs(uint32_t soundMs, int64_t framesLeft, float frameRate);

// The frames of the range from `current` on, `toFrame` included.
inline int64_t FramesLeftInRange(int32_t current, int32_t toFrame)
{
    return std::max<int64_t>(int64_t(toFrame) - current + 1, 0);
}

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
    // The WAV's length in ms once `more` values are written after these
    // (fewer when `more` is negative: values due but still owed).
    uint32_t LengthMsWith(int64_t more) const;

private:
    uint64_t framesWritten_ = 0;
};

// What a tick writes of the values real time asks for: the engine's sound,
// as a sound card plays what it is given. Before the engine has delivered
// any, the values are silence. Once it delivers, its device refills without
// a break, so finding fewer values than are due means its process was kept
// from the CPU for a moment: the rest is owed rather than made up by
// silence, and follows as soon as the engine catches up, so the WAV holds
// the engine's sound without gaps, however busy the machine. As a sound
// card's buffer does, this rides out only so much: beyond
// kLongestShortfallValues the engine has stopped delivering, and silence
// fills the rest.
struct WavWrite {
    uint32_t taken = 0;    // values taken from the buffer, written first
    uint32_t silence = 0;  // values of silence after them
};

class WavDebt {
public:
    static constexpr uint32_t kLongestShortfallValues = 2 * 44100 * 2;  // 2 s

    // `due` more values asked for, with `buffered` captured ones waiting.
    WavWrite Next(uint32_t due, uint32_t buffered);
    // Values due and neither taken nor written as silence yet.
    uint32_t Owed() const { return owed_; }

private:
    uint32_t owed_ = 0;
    bool delivering_ = false;
};

// Where in the WAV each frame's sound starts. The movie runs a frame, and
// starts the frame's sounds, on its own timer; the player's tick comes up
// to a period later (later still on a busy machine, and a tick more than a
// period late starts the timer's rhythm afresh), and by then the engine
// has rendered more sound: a frame logged with the sound time of the tick
// would be logged late by a varying part of a period. So the player also
// looks at the frame whenever its thread has run what was due, which is
// right after the movie ran a frame, and a frame's first record carries
// the sound time at which it was first seen. Later records of the same
// frame (the movie stands on it) carry their tick's own time, which shows
// how long it stood.
class FrameSoundTimes {
public:
    bool IsNew(int32_t frame) const { return !seen_ || frame != frame_; }
    // The movie shows `frame`, and a sound started now would be heard at
    // `soundMs`: kept when the frame is new.
    void See(int32_t frame, uint32_t soundMs);
    // The time to log for `frame` at a tick whose sound time is `soundMs`.
    uint32_t TimeToLog(int32_t frame, uint32_t soundMs);

private:
    bool seen_ = false;
    int32_t frame_ = 0;
    uint32_t firstSoundMs_ = 0;
    bool logged_ = false;  // frame_ has had its first record
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
