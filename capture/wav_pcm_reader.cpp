#include "capture/wav_pcm_reader.h"

#include "capture/wav_format.h"

#include <cstring>

namespace kinolux {

bool WavPcmReader::Open(const std::string& path) {
    file_ = PosixFile::OpenForReading(path);
    offset_ = kWavHeaderBytes;
    return file_.IsOpen();
}

size_t WavPcmReader::ReadAudio(int16_t* values, uint32_t count, const WaitForMoreData& waitForMore) {
    const size_t bytes = size_t(count) * 2;
    std::memset(values, 0, bytes);
    if (!file_.IsOpen()) return bytes;
    const size_t got = ReadGrowing(file_, offset_, values, bytes, waitForMore);
    offset_ += got;
    return got;
}

}  // namespace kinolux
