// SWF's own ADPCM: a 2-bit code size, then packets of one 16-bit sample and
// a 6-bit step index per channel followed by up to 4095 codes per channel.
// Every call reads a complete chunk with its own code size, as a DefineSound
// body and each stream block are.
#pragma once

#include "flash/audio/native_decoder.h"

namespace kinolux::audio {

class AdpcmDecoder final : public NativeDecoder {
public:
    explicit AdpcmDecoder(unsigned channels) : channels_(channels) {}
    std::string decode(std::span<const std::uint8_t> data, std::vector<std::int16_t>& out) override;

private:
    unsigned channels_;
};

}  // namespace kinolux::audio
