#include "flash/audio/av_decoder.h"

#include <algorithm>
#include <cmath>

namespace kinolux::audio {

namespace {

// Nellymoser codes 256 samples in 64-byte blocks; many blocks make one packet.
constexpr std::size_t kNellymoserPacketBytes = 64 * 16;
constexpr std::size_t kG711PacketBytes = 4096;

const AVCodec* findCodec(SoundCodec codec)
{
    switch (codec) {
    case SoundCodec::Mp3:
        return avcodec_find_decoder(AV_CODEC_ID_MP3);
    case SoundCodec::Nellymoser16k:
    case SoundCodec::Nellymoser8k:
    case SoundCodec::Nellymoser:
        return avcodec_find_decoder(AV_CODEC_ID_NELLYMOSER);
    case SoundCodec::G711ALaw:
        return avcodec_find_decoder(AV_CODEC_ID_PCM_ALAW);
    case SoundCodec::G711MuLaw:
        return avcodec_find_decoder(AV_CODEC_ID_PCM_MULAW);
    case SoundCodec::Speex:
        // The reference decoder first: Flash wrote its streams with it.
        if (const AVCodec* reference = avcodec_find_decoder_by_name("libspeex")) return reference;
        return avcodec_find_decoder(AV_CODEC_ID_SPEEX);
    default:
        return nullptr;
    }
}

std::int16_t fromFloat(float value)
{
    return std::int16_t(std::lrintf(std::clamp(value * 32768.0f, -32768.0f, 32767.0f)));
}

// One sample of the frame as signed 16-bit, whatever layout the codec chose.
std::int16_t sampleOf(const AVFrame* frame, int channel, int index)
{
    const int channels = frame->ch_layout.nb_channels;
    switch (AVSampleFormat(frame->format)) {
    case AV_SAMPLE_FMT_S16:
        return reinterpret_cast<const std::int16_t*>(frame->data[0])[index * channels + channel];
    case AV_SAMPLE_FMT_S16P:
        return reinterpret_cast<const std::int16_t*>(frame->data[channel])[index];
    case AV_SAMPLE_FMT_FLT:
        return fromFloat(reinterpret_cast<const float*>(frame->data[0])[index * channels + channel]);
    case AV_SAMPLE_FMT_FLTP:
        return fromFloat(reinterpret_cast<const float*>(frame->data[channel])[index]);
    case AV_SAMPLE_FMT_S32:
        return std::int16_t(reinterpret_cast<const std::int32_t*>(frame->data[0])[index * channels + channel] >> 16);
    case AV_SAMPLE_FMT_S32P:
        return std::int16_t(reinterpret_cast<const std::int32_t*>(frame->data[channel])[index] >> 16);
    default:
        return 0;
    }
}

// Appends the frame with the channel count the sound declares: MP3 data may
// disagree with its SWF header, and the header is what the rest relies on.
void appendFrame(const AVFrame* frame, unsigned channels, std::vector<std::int16_t>& out)
{
    const int frameChannels = frame->ch_layout.nb_channels;
    if (frameChannels < 1) return;
    out.reserve(out.size() + std::size_t(frame->nb_samples) * channels);
    for (int i = 0; i < frame->nb_samples; ++i) {
        if (channels == 1 && frameChannels >= 2) {
            out.push_back(std::int16_t((sampleOf(frame, 0, i) + sampleOf(frame, 1, i)) / 2));
            continue;
        }
        for (unsigned c = 0; c < channels; ++c) out.push_back(sampleOf(frame, std::min(int(c), frameChannels - 1), i));
    }
}

}  // namespace

AvDecoder::AvDecoder(const SoundFormat& format)
    : format_(format), channels_(decodedChannels(format)), packetBytes_(0)
{
    const AVCodec* codec = findCodec(format.codec);
    if (!codec) {
        error_ = "this FFmpeg has no " + codecName(format.codec) + " decoder";
        return;
    }
    switch (format.codec) {
    case SoundCodec::Nellymoser16k:
    case SoundCodec::Nellymoser8k:
    case SoundCodec::Nellymoser:
        packetBytes_ = kNellymoserPacketBytes;
        break;
    case SoundCodec::G711ALaw:
    case SoundCodec::G711MuLaw:
        packetBytes_ = kG711PacketBytes;
        break;
    default:
        break;
    }
    error_ = av_.open(codec, codecName(format.codec), [&](AVCodecContext& context) {
        context.sample_rate = int(doubledSampleRate(format) / 2);
        av_channel_layout_default(&context.ch_layout, int(channels_));
    });
}

bool AvDecoder::decodePacket(std::span<const std::uint8_t> packet, std::vector<std::int16_t>& out)
{
    // Only data can be damaged; ending a stream already ended is no fault.
    bool accepted = av_.send(packet) >= 0 || packet.empty();
    for (;;) {
        const int received = avcodec_receive_frame(av_.context, av_.frame);
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) break;
        if (received < 0) {
            accepted = false;
            break;
        }
        if (format_.codec == SoundCodec::Mp3 && unsigned(av_.frame->sample_rate) * 2 != doubledSampleRate(format_))
            rateMismatchSeen_ = true;
        appendFrame(av_.frame, channels_, out);
        av_frame_unref(av_.frame);
    }
    return accepted;
}

std::string AvDecoder::decode(std::span<const std::uint8_t> data, std::vector<std::int16_t>& out)
{
    if (!error_.empty()) return error_;
    const std::size_t badBefore = badPackets_;
    const std::size_t skippedBefore = mp3Frames_.skippedBytes();
    if (format_.codec == SoundCodec::Mp3) {
        for (const auto frame : mp3Frames_.push(data)) badPackets_ += !decodePacket(frame, out);
    } else if (packetBytes_ == 0) {
        if (!data.empty()) badPackets_ += !decodePacket(data, out);
    } else {
        pendingBytes_.insert(pendingBytes_.end(), data.begin(), data.end());
        std::size_t used = 0;
        for (; pendingBytes_.size() - used >= packetBytes_; used += packetBytes_)
            badPackets_ += !decodePacket(std::span(pendingBytes_).subspan(used, packetBytes_), out);
        pendingBytes_.erase(pendingBytes_.begin(), pendingBytes_.begin() + std::ptrdiff_t(used));
    }
    std::string message;
    if (badPackets_ > badBefore)
        message = std::to_string(badPackets_ - badBefore) + " damaged " + codecName(format_.codec) + " packets skipped";
    else if (mp3Frames_.skippedBytes() > skippedBefore)
        message = std::to_string(mp3Frames_.skippedBytes() - skippedBefore) + " bytes that are not MP3 frames skipped";
    if (rateMismatchSeen_ && message.empty()) {
        message = "MP3 frames at a sample rate other than the sound's own";
        rateMismatchSeen_ = false;
    }
    return message;
}

void AvDecoder::flush(std::vector<std::int16_t>& out)
{
    if (!error_.empty()) return;
    if (!pendingBytes_.empty()) {
        // Nellymoser needs whole 64-byte blocks; G.711 takes any byte count.
        if (packetBytes_ == kG711PacketBytes) decodePacket(pendingBytes_, out);
        pendingBytes_.clear();
    }
    decodePacket({}, out);
}

}  // namespace kinolux::audio
