#include "flash/video/keyframe.h"

#include "flash/video/h263_header.h"

namespace kinolux::video {

namespace {

constexpr std::size_t kVp6AlphaOffsetBytes = 3;
constexpr std::size_t kScreenHeaderBytes = 4;

// Screen video: every block of the picture present (a block of size 0 keeps
// the previous frame's pixels).
bool isScreenKeyframe(std::span<const std::uint8_t> data, bool version2)
{
    const std::size_t headerBytes = kScreenHeaderBytes + (version2 ? 1 : 0);
    if (data.size() < headerBytes) return false;
    if (version2 && (data[4] & 1)) return false;  // palette data before the blocks: not walked
    const unsigned blockWidth = ((data[0] >> 4) + 1) * 16, width = (data[0] & 0x0F) << 8 | data[1];
    const unsigned blockHeight = ((data[2] >> 4) + 1) * 16, height = (data[2] & 0x0F) << 8 | data[3];
    const std::size_t blocks = std::size_t((width + blockWidth - 1) / blockWidth) * ((height + blockHeight - 1) / blockHeight);
    std::size_t at = headerBytes;
    for (std::size_t i = 0; i < blocks; ++i) {
        if (data.size() - at < 2) return false;
        const std::size_t size = std::size_t(data[at] << 8 | data[at + 1]);
        if (size == 0) return false;
        at += 2 + size;
        if (at > data.size()) return false;
    }
    return blocks > 0;
}

}  // namespace

bool isKeyframe(VideoCodec codec, std::span<const std::uint8_t> data)
{
    switch (codec) {
    case VideoCodec::SorensonH263:
        if (const auto header = readH263PictureHeader(data)) return header->intra;
        return false;
    case VideoCodec::Vp6:
        return !data.empty() && !(data[0] & 0x80);
    case VideoCodec::Vp6Alpha:
        return data.size() > kVp6AlphaOffsetBytes && !(data[kVp6AlphaOffsetBytes] & 0x80);
    case VideoCodec::ScreenVideo:
        return isScreenKeyframe(data, false);
    case VideoCodec::ScreenVideo2:
        return isScreenKeyframe(data, true);
    }
    return false;
}

}  // namespace kinolux::video
