#include "capture/wav_pcm_reader.h"

#include "capture/wav_format.h"

#include <cstring>

namespace kinolux {

WavPcmReader::WavPcmReader() : GrowingFileReader(kWavHeaderBytes) {}

size_t WavPcmReader::ReadAudio(int16_t* values, uint32_t count, const WaitForMoreData& waitForMore) {
    const size_t bytes = size_t(count) * 2;
    std::memset(values, 0, bytes);
    if (!IsOpen()) return bytes;
    const size_t got = ReadAhead(values, bytes, waitForMore);
    MoveOn(got);
    return got;
}

}  // namespace kinolux
