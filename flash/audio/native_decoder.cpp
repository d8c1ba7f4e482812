#include "flash/audio/native_decoder.h"

#include "flash/audio/adpcm_decoder.h"
#include "flash/audio/av_decoder.h"
#include "flash/audio/pcm_decoder.h"

namespace kinolux::audio {

std::unique_ptr<NativeDecoder> makeNativeDecoder(const SoundFormat& format, std::string& error)
{
    switch (format.codec) {
    case SoundCodec::PcmNativeEndian:
    case SoundCodec::PcmLittleEndian:
        return std::make_unique<PcmDecoder>(decodedChannels(format), format.is16Bit);
    case SoundCodec::Adpcm:
        return std::make_unique<AdpcmDecoder>(decodedChannels(format));
    case SoundCodec::Mp3:
    case SoundCodec::Nellymoser16k:
    case SoundCodec::Nellymoser8k:
    case SoundCodec::Nellymoser:
    case SoundCodec::G711ALaw:
    case SoundCodec::G711MuLaw:
    case SoundCodec::Speex: {
        auto decoder = std::make_unique<AvDecoder>(format);
        if (!decoder->error().empty()) {
            error = decoder->error();
            return nullptr;
        }
        return decoder;
    }
    }
    error = "unknown sound format " + std::to_string(unsigned(format.codec));
    return nullptr;
}

}  // namespace kinolux::audio
