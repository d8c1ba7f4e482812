// Reads the PCM of a captured-sound WAV file while its writer (the player,
// or the audio tap of this process) is still appending to it.
#pragma once

#include "capture/growing_file_reader.h"

#include <cstddef>
#include <cstdint>

namespace kinolux {

// Open places reading at the PCM, byte 44. The header is not read: its
// sizes stay 0 until the writer finishes.
class WavPcmReader : public GrowingFileReader {
public:
    WavPcmReader();
    // Fills `values` with the next `count` 16-bit values, asking
    // `waitForMore` while the writer has not caught up. Returns the bytes
    // read: 2 x count, or fewer when `waitForMore` gave up (the rest of the
    // buffer is then silence). Without an open file the whole buffer is
    // silence and counts as read: a capture without sound is silent.
    size_t ReadAudio(int16_t* values, uint32_t count, const WaitForMoreData& waitForMore);
};

}  // namespace kinolux
