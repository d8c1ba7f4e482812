#include "flash/audio/resampler.h"

#include "flash/audio/sound_format.h"

#include <new>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

namespace kinolux::audio {

Resampler::Resampler(unsigned doubledRate, unsigned channels) : channels_(channels)
{
    if (doubledRate == 2 * kMixRate) return;
    AVChannelLayout in{}, out{};
    av_channel_layout_default(&in, int(channels));
    av_channel_layout_default(&out, 2);
    // Both rates doubled: the ratio stays exact for 5512.5 Hz.
    if (swr_alloc_set_opts2(&context_, &out, AV_SAMPLE_FMT_S16, int(2 * kMixRate), &in, AV_SAMPLE_FMT_S16,
                            int(doubledRate), 0, nullptr) < 0 ||
        swr_init(context_) < 0)
        throw std::bad_alloc();
}

Resampler::~Resampler()
{
    swr_free(&context_);
}

void Resampler::convert(const std::vector<std::int16_t>& samples, std::vector<std::int16_t>& out)
{
    const std::size_t frames = samples.size() / channels_;
    if (!context_) {
        out.reserve(out.size() + 2 * frames);
        for (std::size_t i = 0; i < frames; ++i) {
            out.push_back(samples[i * channels_]);
            out.push_back(samples[i * channels_ + channels_ - 1]);
        }
        return;
    }
    run(reinterpret_cast<const std::uint8_t*>(samples.data()), int(frames), out);
}

void Resampler::flush(std::vector<std::int16_t>& out)
{
    if (context_) run(nullptr, 0, out);
}

void Resampler::run(const std::uint8_t* input, int inputFrames, std::vector<std::int16_t>& out)
{
    const int room = swr_get_out_samples(context_, inputFrames);
    if (room <= 0) return;
    const std::size_t before = out.size();
    out.resize(before + 2 * std::size_t(room));
    auto* output = reinterpret_cast<std::uint8_t*>(out.data() + before);
    const std::uint8_t* inputs[] = {input};
    const int written = swr_convert(context_, &output, room, input ? inputs : nullptr, inputFrames);
    out.resize(before + 2 * std::size_t(written > 0 ? written : 0));
}

}  // namespace kinolux::audio
