// Hostile sound data for every format, as event sounds played through the
// mixer and as stream blocks: no crash, no hang, bounded memory.
#include "flash/audio/mixer.h"

#include <cstddef>
#include <cstdint>

using namespace kinolux::audio;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4) return 0;
    const SoundFormat format = soundFormatFromByte(data[0]);
    const bool asStream = data[1] & 1;
    const std::uint32_t sampleCount = std::uint32_t(data[2] | data[3] << 8) * 16;
    std::span<const std::uint8_t> rest(data + 4, size - 4);

    Mixer mixer;
    mixer.setLead(64);
    if (!asStream) {
        const auto decoded = decodeEventSound(format, rest, sampleCount);
        SoundInfo info;
        info.inPoint = data[1] * 7u;
        info.outPoint = data[2] * 131u;
        info.loopCount = std::uint16_t(data[3] & 7);
        info.envelope = {{0, 0, 32768}, {std::uint32_t(data[2]) * 10, 32768, std::uint16_t(data[3] << 8)}};
        mixer.startSound(decoded.sound, info);
    } else {
        std::string message;
        const VoiceId stream = mixer.startStream(StreamHead{format, std::uint16_t(data[2]), std::int16_t(data[3])}, message);
        // Blocks: a length byte, then that many bytes.
        while (!rest.empty()) {
            const std::size_t length = std::min<std::size_t>(rest[0], rest.size() - 1);
            mixer.streamBlock(stream, rest.subspan(1, length));
            rest = rest.subspan(1 + length);
        }
    }
    std::vector<std::int16_t> out(2 * 1024);
    for (int pull = 0; pull < 8; ++pull) mixer.render(out.data(), 1024);
    return 0;
}
