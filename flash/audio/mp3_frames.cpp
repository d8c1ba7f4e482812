#include "flash/audio/mp3_frames.h"

namespace kinolux::audio {

namespace {

constexpr std::size_t kHeaderBytes = 4;
constexpr unsigned kBitRatesMpeg1[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
constexpr unsigned kBitRatesMpeg2[16] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};
constexpr unsigned kSampleRatesMpeg1[3] = {44100, 48000, 32000};

}  // namespace

std::size_t mp3FrameLength(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < kHeaderBytes) return 0;
    if (bytes[0] != 0xFF || (bytes[1] & 0xE0) != 0xE0) return 0;
    const unsigned version = bytes[1] >> 3 & 3;  // 0 = 2.5, 2 = 2, 3 = 1
    const unsigned layer = bytes[1] >> 1 & 3;    // 1 = layer III
    const unsigned bitRateIndex = bytes[2] >> 4;
    const unsigned sampleRateIndex = bytes[2] >> 2 & 3;
    const unsigned padding = bytes[2] >> 1 & 1;
    if (version == 1 || layer != 1 || sampleRateIndex == 3) return 0;
    const bool mpeg1 = version == 3;
    const unsigned bitRate = (mpeg1 ? kBitRatesMpeg1 : kBitRatesMpeg2)[bitRateIndex] * 1000;
    if (bitRate == 0) return 0;  // free format cannot be measured
    const unsigned sampleRate = kSampleRatesMpeg1[sampleRateIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
    return (mpeg1 ? 144 : 72) * bitRate / sampleRate + padding;
}

std::vector<std::span<const std::uint8_t>> Mp3FrameSplitter::push(std::span<const std::uint8_t> data)
{
    pending_.insert(pending_.end(), data.begin(), data.end());
    std::size_t start = 0;
    std::vector<std::pair<std::size_t, std::size_t>> frames;
    while (pending_.size() - start >= kHeaderBytes) {
        const std::size_t length = mp3FrameLength(std::span(pending_).subspan(start));
        if (length == 0) {
            ++start;
            ++skipped_;
            continue;
        }
        if (pending_.size() - start < length) break;
        frames.emplace_back(start, length);
        start += length;
    }
    // Move the unfinished tail to the front only after the frames have been
    // measured, then point the frames into the buffer that will hold them.
    std::vector<std::uint8_t> complete(pending_.begin(), pending_.begin() + std::ptrdiff_t(start));
    pending_.erase(pending_.begin(), pending_.begin() + std::ptrdiff_t(start));
    complete_.swap(complete);
    std::vector<std::span<const std::uint8_t>> result;
    for (const auto& [offset, length] : frames) result.emplace_back(complete_.data() + offset, length);
    return result;
}

}  // namespace kinolux::audio
