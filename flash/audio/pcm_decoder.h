// Uncompressed SWF sound: 8-bit unsigned or 16-bit little-endian samples.
#pragma once

#include "flash/audio/native_decoder.h"

namespace kinolux::audio {

class PcmDecoder final : public NativeDecoder {
public:
    PcmDecoder(unsigned channels, bool is16Bit) : channels_(channels), is16Bit_(is16Bit) {}
    std::string decode(std::span<const std::uint8_t> data, std::vector<std::int16_t>& out) override;

private:
    unsigned channels_;
    bool is16Bit_;
};

}  // namespace kinolux::audio
