#include "platform/winmm/pulse_wave_sink.h"

#include <pulse/simple.h>

namespace kinolux::winmm {

namespace {

// A short server buffer keeps "done" close to "heard": the engine mixes
// each block when the previous one is done, so whatever the server holds
// is latency between a movie's frame and its sound.
constexpr pa_usec_t kServerBufferUsec = 60'000;

class PulseWaveSink final : public WaveSink {
public:
    explicit PulseWaveSink(pa_simple* stream) : stream_(stream) {}
    ~PulseWaveSink() override
    {
        pa_simple_drain(stream_, nullptr);
        pa_simple_free(stream_);
    }
    void play(const std::uint8_t* bytes, std::size_t size) override
    {
        pa_simple_write(stream_, bytes, size, nullptr);
    }
    void discard() override { pa_simple_flush(stream_, nullptr); }

private:
    pa_simple* stream_;
};

}  // namespace

std::unique_ptr<WaveSink> openPulseWaveSink(const PcmFormat& format)
{
    pa_sample_spec spec{};
    spec.format = format.bits == 8 ? PA_SAMPLE_U8 : PA_SAMPLE_S16LE;
    spec.rate = format.rate;
    spec.channels = std::uint8_t(format.channels);
    pa_buffer_attr attr{};
    attr.maxlength = std::uint32_t(-1);
    attr.tlength = std::uint32_t(pa_usec_to_bytes(kServerBufferUsec, &spec));
    attr.prebuf = std::uint32_t(-1);
    attr.minreq = std::uint32_t(-1);
    attr.fragsize = std::uint32_t(-1);
    pa_simple* stream = pa_simple_new(nullptr, "Kinolux", PA_STREAM_PLAYBACK, nullptr, "Flash movie",
                                      &spec, nullptr, &attr, nullptr);
    if (!stream) return nullptr;
    return std::make_unique<PulseWaveSink>(stream);
}

}  // namespace kinolux::winmm
