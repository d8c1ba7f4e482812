#include "flash/audio/sound_format.h"

namespace kinolux::audio {

SoundFormat soundFormatFromByte(std::uint8_t packed)
{
    return SoundFormat{SoundCodec(packed >> 4), std::uint8_t((packed >> 2) & 3), bool(packed & 2), bool(packed & 1)};
}

unsigned doubledSampleRate(const SoundFormat& format)
{
    switch (format.codec) {
    case SoundCodec::Nellymoser16k:
    case SoundCodec::Speex:
        return 32000;
    case SoundCodec::Nellymoser8k:
    case SoundCodec::G711ALaw:
    case SoundCodec::G711MuLaw:
        return 16000;
    default:
        return 11025u << (format.rate & 3);
    }
}

unsigned decodedChannels(const SoundFormat& format)
{
    switch (format.codec) {
    case SoundCodec::Nellymoser16k:
    case SoundCodec::Nellymoser8k:
    case SoundCodec::Nellymoser:
    case SoundCodec::G711ALaw:
    case SoundCodec::G711MuLaw:
    case SoundCodec::Speex:
        return 1;
    default:
        return format.stereo ? 2 : 1;
    }
}

std::string codecName(SoundCodec codec)
{
    switch (codec) {
    case SoundCodec::PcmNativeEndian:
    case SoundCodec::PcmLittleEndian:
        return "uncompressed";
    case SoundCodec::Adpcm:
        return "ADPCM";
    case SoundCodec::Mp3:
        return "MP3";
    case SoundCodec::Nellymoser16k:
    case SoundCodec::Nellymoser8k:
    case SoundCodec::Nellymoser:
        return "Nellymoser";
    case SoundCodec::G711ALaw:
        return "G.711 A-law";
    case SoundCodec::G711MuLaw:
        return "G.711 mu-law";
    case SoundCodec::Speex:
        return "Speex";
    }
    return "format " + std::to_string(unsigned(codec));
}

std::uint64_t framesAtMixRate(std::uint64_t nativeFrames, const SoundFormat& format)
{
    return nativeFrames * (2 * kMixRate) / doubledSampleRate(format);
}

}  // namespace kinolux::audio
