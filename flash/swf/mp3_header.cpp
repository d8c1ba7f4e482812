#include "flash/swf/mp3_header.h"

namespace swf {

namespace {

constexpr std::size_t kHeaderBytes = 4;
constexpr unsigned kBitRatesMpeg1[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
constexpr unsigned kBitRatesMpeg2[16] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};
constexpr unsigned kSampleRatesMpeg1[3] = {44100, 48000, 32000};
constexpr unsigned kChannelModeMono = 3;

}  // namespace

std::optional<Mp3FrameHeader> readMp3FrameHeader(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < kHeaderBytes) return std::nullopt;
    if (bytes[0] != 0xFF || (bytes[1] & 0xE0) != 0xE0) return std::nullopt;
    const unsigned version = bytes[1] >> 3 & 3;  // 0 = 2.5, 2 = 2, 3 = 1
    const unsigned layer = bytes[1] >> 1 & 3;    // 1 = layer III
    const unsigned bitRateIndex = bytes[2] >> 4;
    const unsigned sampleRateIndex = bytes[2] >> 2 & 3;
    const unsigned padding = bytes[2] >> 1 & 1;
    if (version == 1 || layer != 1 || sampleRateIndex == 3) return std::nullopt;
    const bool mpeg1 = version == 3;
    const unsigned bitRate = (mpeg1 ? kBitRatesMpeg1 : kBitRatesMpeg2)[bitRateIndex] * 1000;
    if (bitRate == 0) return std::nullopt;  // free format cannot be measured
    Mp3FrameHeader header;
    header.sampleRate = kSampleRatesMpeg1[sampleRateIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
    header.length = (mpeg1 ? 144 : 72) * bitRate / header.sampleRate + padding;
    header.samples = mpeg1 ? 1152 : 576;
    header.stereo = (bytes[3] >> 6) != kChannelModeMono;
    return header;
}

}  // namespace swf
