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

// Where in a recording the sounds begin, in 16-bit values.
struct HeardAt {
    long stream = -1;
    long event = -1;
};

// Checks that `heard` (everything written to the device, stereo values)
// holds the movie's stream and then its event sound as decoded directly:
// value for value when `exact`, else correlated above 0.99; as far apart as
// their frames; with silence between them. Where they were found goes to
// `at`, when given.
void expectHeardAsDecoded(const SoundMovie& movie, const std::vector<std::int16_t>& heard, bool exact,
                          HeardAt* at = nullptr);

}  // namespace flash::testing
