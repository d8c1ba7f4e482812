// Converts decoded PCM (any SWF rate, mono or stereo) to the engine's
// 44100 Hz stereo, keeping its state across calls so consecutive stream
// blocks join without a seam.
#pragma once

#include <cstdint>
#include <vector>

struct SwrContext;

namespace kinolux::audio {

class Resampler {
public:
    // doubledRate: twice the input rate (see doubledSampleRate).
    Resampler(unsigned doubledRate, unsigned channels);
    ~Resampler();
    Resampler(const Resampler&) = delete;
    Resampler& operator=(const Resampler&) = delete;

    // Appends the converted frames of `samples` (interleaved) to `out`.
    void convert(const std::vector<std::int16_t>& samples, std::vector<std::int16_t>& out);
    // Appends what the filter still holds, at the end of a sound.
    void flush(std::vector<std::int16_t>& out);

private:
    void run(const std::uint8_t* input, int inputFrames, std::vector<std::int16_t>& out);

    unsigned channels_;
    SwrContext* context_ = nullptr;  // null at 44.1 kHz: channels are only copied
};

}  // namespace kinolux::audio
