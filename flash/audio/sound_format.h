// The sound formats of SWF (DefineSound, SoundStreamHead) as plain fields,
// so decoding does not depend on the file reader, and the one output format
// of the engine: 44100 Hz 16-bit stereo.
#pragma once

#include <cstdint>
#include <string>

namespace kinolux::audio {

constexpr unsigned kMixRate = 44100;  // sample frames per second, stereo, signed 16-bit

enum class SoundCodec : std::uint8_t {
    PcmNativeEndian = 0,  // little-endian on every machine Kinolux runs on
    Adpcm = 1,
    Mp3 = 2,
    PcmLittleEndian = 3,
    Nellymoser16k = 4,
    Nellymoser8k = 5,
    Nellymoser = 6,
    G711ALaw = 7,
    G711MuLaw = 8,
    Speex = 11,
};

struct SoundFormat {
    SoundCodec codec = SoundCodec::PcmLittleEndian;  // any 4-bit value may arrive from a file
    std::uint8_t rate = 3;                           // 0 = 5.5 kHz, 1 = 11, 2 = 22, 3 = 44
    bool is16Bit = true;
    bool stereo = true;
};

// The packed byte of DefineSound and of SoundStreamHead's stream half:
// codec (4 bits), rate (2), size (1), type (1).
SoundFormat soundFormatFromByte(std::uint8_t packed);

// Twice the sample rate of the decoded PCM, so that 5.5 kHz (44100 / 8) is
// exact: 11025 for 5.5 kHz, 88200 for 44.1 kHz, 16000 for 8 kHz. The
// Nellymoser 8/16 kHz, G.711 and Speex formats ignore the rate field.
unsigned doubledSampleRate(const SoundFormat& format);
// Channels of the decoded PCM: Nellymoser, G.711 and Speex are always mono.
unsigned decodedChannels(const SoundFormat& format);
// "MP3", "ADPCM", ... or "format 9", for messages.
std::string codecName(SoundCodec codec);

// Frames at kMixRate for a count of frames at the format's own rate.
std::uint64_t framesAtMixRate(std::uint64_t nativeFrames, const SoundFormat& format);

}  // namespace kinolux::audio
