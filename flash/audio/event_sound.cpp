#include "flash/audio/event_sound.h"

#include "flash/audio/audio_limits.h"
#include "flash/audio/native_decoder.h"
#include "flash/audio/resampler.h"

#include <algorithm>

namespace kinolux::audio {

namespace {

constexpr std::size_t kMp3SeekBytes = 2;
constexpr std::size_t kDecodePieceBytes = 1 << 16;  // whole frames of every PCM layout

std::string joined(std::string a, const std::string& b)
{
    if (a.empty()) return b;
    if (b.empty()) return a;
    return a + "; " + b;
}

// Decodes in pieces and stops soon after maxFrames, so a small file cannot
// expand into gigabytes. ADPCM carries its code size only at the start and
// is cut by bytes instead: five bits per sample at most.
std::string decodeAtMost(NativeDecoder& decoder, const SoundFormat& format, std::span<const std::uint8_t> data,
                         std::size_t maxFrames, std::vector<std::int16_t>& native)
{
    const unsigned channels = decodedChannels(format);
    if (format.codec == SoundCodec::Adpcm) {
        const std::size_t maxBytes = (maxFrames + 4096) * channels * 5 / 8 + 16;
        return decoder.decode(data.first(std::min(data.size(), maxBytes)), native);
    }
    std::string message;
    for (std::size_t at = 0; at < data.size() && native.size() / channels <= maxFrames; at += kDecodePieceBytes) {
        std::string problem = decoder.decode(data.subspan(at, std::min(kDecodePieceBytes, data.size() - at)), native);
        if (message.empty()) message = std::move(problem);  // the first says enough
    }
    decoder.flush(native);
    return message;
}

}  // namespace

EventSoundResult decodeEventSound(const SoundFormat& format, std::span<const std::uint8_t> data,
                                  std::uint32_t sampleCount)
{
    auto sound = std::make_shared<DecodedSound>();
    EventSoundResult result{sound, {}};
    std::string error;
    auto decoder = makeNativeDecoder(format, error);
    if (!decoder) {
        result.message = codecName(format.codec) + " sound not played: " + error;
        return result;
    }
    std::size_t skipFrames = 0;
    if (format.codec == SoundCodec::Mp3) {
        if (data.size() < kMp3SeekBytes) {
            result.message = "MP3 sound too short to hold its seek samples";
            return result;
        }
        skipFrames = std::size_t(std::max(0, int(std::int16_t(data[0] | data[1] << 8))));
        data = data.subspan(kMp3SeekBytes);
    }

    const unsigned channels = decodedChannels(format);
    const std::size_t nativeLimit = limits::kMaxEventSoundFrames * doubledSampleRate(format) / (2 * kMixRate);
    std::vector<std::int16_t> native;
    result.message = decodeAtMost(*decoder, format, data, skipFrames + nativeLimit, native);
    const std::size_t decodedFrames = native.size() / channels;
    const std::size_t first = std::min(skipFrames, decodedFrames);
    std::size_t last = sampleCount ? std::min<std::size_t>(decodedFrames, first + sampleCount) : decodedFrames;
    if (last - first > nativeLimit) {
        last = first + nativeLimit;
        result.message = joined(result.message, "sound longer than 20 minutes cut");
    }
    if (last == first && result.message.empty()) result.message = codecName(format.codec) + " sound data holds no sound";
    native.erase(native.begin() + std::ptrdiff_t(last * channels), native.end());
    native.erase(native.begin(), native.begin() + std::ptrdiff_t(first * channels));

    Resampler resampler(doubledSampleRate(format), channels);
    resampler.convert(native, sound->samples);
    resampler.flush(sound->samples);
    // The filter's rounding may leave a frame more or less than the exact length.
    sound->samples.resize(2 * framesAtMixRate(last - first, format));
    return result;
}

}  // namespace kinolux::audio
