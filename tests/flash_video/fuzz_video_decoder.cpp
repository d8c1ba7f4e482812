// Hostile VideoFrame data for every codec: no crash, no hang, bounded memory.
#include "flash/video/keyframe.h"
#include "flash/video/video_decoder.h"

#include <cstddef>
#include <cstdint>

using namespace kinolux::video;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 5) return 0;
    const VideoStreamInfo info{VideoCodec(2 + data[0] % 5), std::uint16_t(data[1] * 4), std::uint16_t(data[2] * 4), 0, false};
    VideoDecoder decoder(info);
    std::span<const std::uint8_t> rest(data + 3, size - 3);
    // Frames: a frame number byte, a length byte (times 16), then the data.
    while (rest.size() >= 2) {
        const std::uint16_t number = rest[0];
        const std::size_t length = std::min<std::size_t>(std::size_t(rest[1]) * 16 + 1, rest.size() - 2);
        const auto frame = rest.subspan(2, length);
        isKeyframe(info.codec, frame);
        decoder.decode(number, frame);
        rest = rest.subspan(2 + length);
    }
    return 0;
}
