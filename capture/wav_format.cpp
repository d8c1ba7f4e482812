#include "capture/wav_format.h"

#include "capture/little_endian.h"

#include <cstring>

namespace kinolux {

std::array<uint8_t, kWavHeaderBytes> WavHeaderWithoutSizes() {
    constexpr uint16_t kBlockAlign = kWavChannels * kWavBitsPerSample / 8;
    std::array<uint8_t, kWavHeaderBytes> header{};
    uint8_t* h = header.data();
    std::memcpy(h, "RIFF", 4);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    PutLe32(h + 16, 16);
    PutLe16(h + 20, 1);  // PCM
    PutLe16(h + 22, kWavChannels);
    PutLe32(h + 24, kWavSampleRate);
    PutLe32(h + 28, kWavSampleRate * kBlockAlign);
    PutLe16(h + 32, kBlockAlign);
    PutLe16(h + 34, kWavBitsPerSample);
    std::memcpy(h + 36, "data", 4);
    return header;
}

}  // namespace kinolux
