#include "flash/audio/mp3_frames.h"

#include "flash/swf/mp3_header.h"

namespace kinolux::audio {

namespace {

constexpr std::size_t kHeaderBytes = 4;

}  // namespace

std::size_t mp3FrameLength(std::span<const std::uint8_t> bytes)
{
    const auto header = swf::readMp3FrameHeader(bytes);
    return header ? header->length : 0;
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
