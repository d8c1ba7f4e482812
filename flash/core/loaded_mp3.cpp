#include "flash/core/loaded_mp3.h"

#include <algorithm>
#include <iterator>
#include <span>

#include "flash/swf/mp3_header.h"

namespace flash {

namespace {

constexpr double kSampleRates[] = {5512.5, 11025, 22050, 44100};

// An ID3v2 tag before the first frame is skipped whole.
std::size_t id3Length(const std::vector<std::uint8_t>& bytes) {
    constexpr std::size_t kTagHeader = 10;
    if (bytes.size() < kTagHeader || bytes[0] != 'I' || bytes[1] != 'D' || bytes[2] != '3') return 0;
    const std::size_t size = std::size_t(bytes[6] & 0x7F) << 21 | std::size_t(bytes[7] & 0x7F) << 14 |
                             std::size_t(bytes[8] & 0x7F) << 7 | std::size_t(bytes[9] & 0x7F);
    return std::min(bytes.size(), kTagHeader + size);
}

std::optional<LoadedSound> loadedMp3(const std::vector<std::uint8_t>& bytes, std::string& problem) {
    LoadedSound sound;
    sound.data = {0, 0};
    std::optional<swf::Mp3FrameHeader> first;
    for (std::size_t at = id3Length(bytes); at < bytes.size();) {
        const auto header = swf::readMp3FrameHeader(std::span(bytes).subspan(at));
        if (!header || header->length > bytes.size() - at) {
            ++at;
            continue;
        }
        if (!first) first = header;
        if (header->sampleRate == first->sampleRate) {
            sound.data.insert(sound.data.end(), bytes.begin() + std::ptrdiff_t(at),
                              bytes.begin() + std::ptrdiff_t(at + header->length));
            sound.sampleCount += header->samples;
        }
        at += header->length;
    }
    if (!first) {
        problem = "it holds no MP3 sound";
        return std::nullopt;
    }
    const auto rate = std::find(std::begin(kSampleRates), std::end(kSampleRates), double(first->sampleRate));
    if (rate == std::end(kSampleRates)) {
        problem = "its sound runs at " + std::to_string(first->sampleRate) + " Hz, which a movie's sounds cannot";
        return std::nullopt;
    }
    sound.format = {swf::SoundFormat::Mp3, std::uint8_t(rate - std::begin(kSampleRates)), true, first->stereo};
    return sound;
}

}  // namespace

std::optional<LoadedSound> soundFromFile(const std::optional<std::vector<std::uint8_t>>& bytes,
                                         const std::string& url, std::string& error) {
    if (!bytes) return std::nullopt;
    std::string problem;
    std::optional<LoadedSound> sound = loadedMp3(*bytes, problem);
    if (!sound) error = "The sound " + url + " is not played: " + problem + ".";
    return sound;
}

double soundDurationMs(const swf::SoundFormatInfo& format, std::uint32_t sampleCount) {
    return sampleCount * 1000.0 / kSampleRates[format.rate & 3];
}

}  // namespace flash
