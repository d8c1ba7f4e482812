// Decoding of one SWF sound format into PCM at the format's own rate and
// channel count (signed 16-bit, interleaved). One decoder serves a whole
// DefineSound body or the consecutive blocks of one sound stream.
#pragma once

#include "flash/audio/sound_format.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace kinolux::audio {

class NativeDecoder {
public:
    virtual ~NativeDecoder() = default;
    // Appends what `data` decodes to. Returns a message about data that
    // could not be decoded (everything decodable is still appended), or ""
    // when all went well.
    virtual std::string decode(std::span<const std::uint8_t> data, std::vector<std::int16_t>& out) = 0;
    // Appends what the decoder still holds at the end of a sound.
    virtual void flush(std::vector<std::int16_t>&) {}
};

// Nothing, with a message in `error`, for a format no decoder reads.
std::unique_ptr<NativeDecoder> makeNativeDecoder(const SoundFormat& format, std::string& error);

}  // namespace kinolux::audio
