// A movie with an event sound and a stream sound at separate moments, in one
// of the codecs the engine plays, written with the SWF writer; and the sound
// it should make, decoded directly rather than through the control.
//
// At 25 frames a second: frames 0 to 9 carry the stream (a tone), frame 16
// starts the event sound (a glide), the movie has 30 frames. Both signals
// sit on an offset, so where they begin in a recording is plain to see.
#pragma once

#include "flash/audio/sound_format.h"

#include <cstdint>
#include <vector>

namespace flash::testing {

struct SoundMovie {
    std::vector<std::uint8_t> file;
    std::vector<std::int16_t> stream;  // 44.1 kHz stereo, as every block decodes in turn
    std::vector<std::int16_t> event;
};

inline constexpr int kSoundMovieFps = 25;
inline constexpr int kSoundMovieFrames = 30;
inline constexpr int kStreamFrames = 10;
inline constexpr int kEventFrame = 16;

// codec: PcmLittleEndian, Adpcm or Mp3.
SoundMovie makeSoundMovie(kinolux::audio::SoundCodec codec);

// Where `expected` begins in `recording` (stereo values), searching from
// `from` on: the offset of the best match of its first part near the first
// loud sample. -1 when nothing loud follows.
long findSignal(const std::vector<std::int16_t>& recording, const std::vector<std::int16_t>& expected, std::size_t from);

}  // namespace flash::testing
