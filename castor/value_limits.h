// The bounds the encoder holds frame sizes, times and sample rates to,
// wherever it meets them: on its command line, in a frame source's records
// and in the output it plans. A value beyond them is a mistake or a
// hostile file, never a movie to encode.
#pragma once

namespace castor {

// A frame's width or height, in pixels.
inline constexpr int kMaxEdge = 16384;
// A time or a duration, in seconds: one day.
inline constexpr double kMaxSeconds = 86400;
// A sound's sample rate, in hertz.
inline constexpr int kMinSampleRate = 1000;
inline constexpr int kMaxSampleRate = 384000;

}  // namespace castor
