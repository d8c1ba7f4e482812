#include "flash/audio/pcm_decoder.h"

namespace kinolux::audio {

std::string PcmDecoder::decode(std::span<const std::uint8_t> data, std::vector<std::int16_t>& out)
{
    const std::size_t sampleBytes = is16Bit_ ? 2 : 1;
    const std::size_t frameBytes = sampleBytes * channels_;
    const std::size_t samples = data.size() / frameBytes * channels_;
    out.reserve(out.size() + samples);
    for (std::size_t i = 0; i < samples; ++i) {
        if (is16Bit_)
            out.push_back(std::int16_t(data[2 * i] | data[2 * i + 1] << 8));
        else
            out.push_back(std::int16_t((data[i] - 128) * 256));
    }
    if (data.size() % frameBytes) return "uncompressed sound data ends inside a sample";
    return {};
}

}  // namespace kinolux::audio
