// The SWF sound formats that libavcodec decodes: MP3, Nellymoser, G.711
// and Speex.
#pragma once

#include "flash/audio/mp3_frames.h"
#include "flash/audio/native_decoder.h"

#include "flash/libav/decoder_objects.h"

namespace kinolux::audio {

class AvDecoder final : public NativeDecoder {
public:
    // Check error() before use: the codec may be missing from this FFmpeg.
    explicit AvDecoder(const SoundFormat& format);

    const std::string& error() const { return error_; }
    std::string decode(std::span<const std::uint8_t> data, std::vector<std::int16_t>& out) override;
    void flush(std::vector<std::int16_t>& out) override;

private:
    // Sends one packet (null: the end) and appends every frame it gives.
    bool decodePacket(std::span<const std::uint8_t> packet, std::vector<std::int16_t>& out);

    SoundFormat format_;
    unsigned channels_;
    std::size_t packetBytes_;  // 0: the data of each call is one packet
    std::string error_;
    libav::DecoderObjects av_;
    Mp3FrameSplitter mp3Frames_;
    std::vector<std::uint8_t> pendingBytes_;  // an incomplete fixed-size packet
    std::size_t badPackets_ = 0;
    bool rateMismatchSeen_ = false;
};

}  // namespace kinolux::audio
