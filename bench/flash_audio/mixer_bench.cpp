// How much of real time the engine's sound costs: mixing a busy movie's
// voices, and decoding sounds, measured in 44.1 kHz frames per second of
// CPU (real time needs 44100).
#include "flash/audio/mixer.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace kinolux::audio {
namespace {

std::shared_ptr<const DecodedSound> noise(std::size_t frames)
{
    auto sound = std::make_shared<DecodedSound>();
    std::uint32_t state = 1;
    for (std::size_t i = 0; i < 2 * frames; ++i) {
        state = state * 1664525 + 1013904223;
        sound->samples.push_back(std::int16_t(state >> 20));
    }
    return sound;
}

// Eight looping event voices, half with envelopes, and a stream fed per frame.
void MixBusyMovie(benchmark::State& state)
{
    Mixer mixer;
    const auto sound = noise(44100);
    SoundInfo looping;
    looping.loopCount = 1000;
    SoundInfo enveloped = looping;
    enveloped.envelope = {{0, 0, 32768}, {20000, 32768, 0}, {44100, 16384, 16384}};
    for (int i = 0; i < 8; ++i) mixer.startSound(sound, i % 2 ? enveloped : looping);
    std::string message;
    const VoiceId stream = mixer.startStream(StreamHead{SoundFormat{SoundCodec::PcmLittleEndian, 3, true, true}, 1470, 0}, message);
    const std::vector<std::uint8_t> block(1470 * 4, 7);
    std::vector<std::int16_t> out(2 * 1024);
    for (auto _ : state) {
        mixer.streamBlock(stream, block);
        mixer.render(out.data(), 1024);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * 1024);
}
BENCHMARK(MixBusyMovie);

// ADPCM at 22 kHz mono: our own decoder, then resampling to 44.1 kHz stereo.
void DecodeAdpcmSound(benchmark::State& state)
{
    std::vector<std::uint8_t> data(64 * 1024);
    std::uint32_t seed = 3;
    for (auto& b : data) b = std::uint8_t((seed = seed * 1103515245 + 12345) >> 16);
    data[0] = 0x80;  // 4-bit codes
    std::size_t frames = 0;
    for (auto _ : state) {
        const auto decoded = decodeEventSound(SoundFormat{SoundCodec::Adpcm, 2, true, false}, data, 0);
        frames += decoded.sound->frames();
    }
    state.SetItemsProcessed(std::int64_t(frames));
}
BENCHMARK(DecodeAdpcmSound);

}  // namespace
}  // namespace kinolux::audio

BENCHMARK_MAIN();
