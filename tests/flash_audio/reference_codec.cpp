#include "tests/flash_audio/reference_codec.h"

#include <cmath>
#include <stdexcept>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace kinolux::audio::test {

namespace {

void require(bool ok, const char* what)
{
    if (!ok) throw std::runtime_error(what);
}

float toFloat(std::int16_t s)
{
    return float(s) / 32768.0f;
}

std::int16_t toS16(float f)
{
    return std::int16_t(std::lrintf(std::fmax(-32768.0f, std::fmin(32767.0f, f * 32768.0f))));
}

void collect(AVCodecContext* c, std::vector<Packet>& packets)
{
    AVPacket* packet = av_packet_alloc();
    while (avcodec_receive_packet(c, packet) == 0) {
        packets.emplace_back(packet->data, packet->data + packet->size);
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
}

}  // namespace

std::vector<Packet> encode(const std::string& encoder, int rate, int channels, const std::vector<std::int16_t>& pcm,
                           int* delay)
{
    const AVCodec* codec = avcodec_find_encoder_by_name(encoder.c_str());
    require(codec, "encoder missing");
    AVCodecContext* c = avcodec_alloc_context3(codec);
    c->sample_rate = rate;
    av_channel_layout_default(&c->ch_layout, channels);
    c->sample_fmt = codec->sample_fmts[0];
    c->bit_rate = 64000 * channels;
    require(avcodec_open2(c, codec, nullptr) >= 0, "cannot open encoder");
    if (delay) *delay = c->initial_padding;
    const int frameSize = c->frame_size > 0 ? c->frame_size : 1024;
    const std::size_t frames = pcm.size() / std::size_t(channels);
    std::vector<Packet> packets;
    AVFrame* frame = av_frame_alloc();
    for (std::size_t at = 0; at < frames; at += std::size_t(frameSize)) {
        const int n = int(std::min<std::size_t>(std::size_t(frameSize), frames - at));
        frame->nb_samples = (codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE) ? n : frameSize;
        frame->format = c->sample_fmt;
        av_channel_layout_copy(&frame->ch_layout, &c->ch_layout);
        frame->sample_rate = rate;
        require(av_frame_get_buffer(frame, 0) >= 0, "frame buffer");
        for (int i = 0; i < frame->nb_samples; ++i) {
            for (int ch = 0; ch < channels; ++ch) {
                const std::int16_t s = i < n ? pcm[(at + std::size_t(i)) * std::size_t(channels) + std::size_t(ch)] : 0;
                switch (c->sample_fmt) {
                case AV_SAMPLE_FMT_S16: reinterpret_cast<std::int16_t*>(frame->data[0])[i * channels + ch] = s; break;
                case AV_SAMPLE_FMT_S16P: reinterpret_cast<std::int16_t*>(frame->data[ch])[i] = s; break;
                case AV_SAMPLE_FMT_FLT: reinterpret_cast<float*>(frame->data[0])[i * channels + ch] = toFloat(s); break;
                case AV_SAMPLE_FMT_FLTP: reinterpret_cast<float*>(frame->data[ch])[i] = toFloat(s); break;
                case AV_SAMPLE_FMT_S32P: reinterpret_cast<std::int32_t*>(frame->data[ch])[i] = s * 65536; break;
                default: require(false, "sample format");
                }
            }
        }
        require(avcodec_send_frame(c, frame) >= 0, "send frame");
        collect(c, packets);
        av_frame_unref(frame);
    }
    avcodec_send_frame(c, nullptr);
    collect(c, packets);
    av_frame_free(&frame);
    avcodec_free_context(&c);
    return packets;
}

std::vector<std::int16_t> decode(const std::string& decoder, int rate, int channels, const std::vector<Packet>& packets)
{
    const AVCodec* codec = avcodec_find_decoder_by_name(decoder.c_str());
    require(codec, "decoder missing");
    AVCodecContext* c = avcodec_alloc_context3(codec);
    c->sample_rate = rate;
    av_channel_layout_default(&c->ch_layout, channels);
    require(avcodec_open2(c, codec, nullptr) >= 0, "cannot open decoder");
    std::vector<std::int16_t> out;
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    auto drain = [&] {
        while (avcodec_receive_frame(c, frame) == 0) {
            const int chs = frame->ch_layout.nb_channels;
            for (int i = 0; i < frame->nb_samples; ++i)
                for (int ch = 0; ch < chs; ++ch) {
                    switch (frame->format) {
                    case AV_SAMPLE_FMT_S16: out.push_back(reinterpret_cast<std::int16_t*>(frame->data[0])[i * chs + ch]); break;
                    case AV_SAMPLE_FMT_S16P: out.push_back(reinterpret_cast<std::int16_t*>(frame->data[ch])[i]); break;
                    case AV_SAMPLE_FMT_FLT: out.push_back(toS16(reinterpret_cast<float*>(frame->data[0])[i * chs + ch])); break;
                    case AV_SAMPLE_FMT_FLTP: out.push_back(toS16(reinterpret_cast<float*>(frame->data[ch])[i])); break;
                    default: require(false, "sample format");
                    }
                }
            av_frame_unref(frame);
        }
    };
    for (const auto& p : packets) {
        av_new_packet(packet, int(p.size()));
        std::copy(p.begin(), p.end(), packet->data);
        avcodec_send_packet(c, packet);
        av_packet_unref(packet);
        drain();
    }
    avcodec_send_packet(c, nullptr);
    drain();
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&c);
    return out;
}

std::vector<std::int16_t> sine(double hz, int rate, int channels, std::size_t frames)
{
    std::vector<std::int16_t> out;
    for (std::size_t i = 0; i < frames; ++i)
        for (int ch = 0; ch < channels; ++ch)
            out.push_back(std::int16_t(16384 * std::sin(2 * M_PI * hz * double(i) / rate)));
    return out;
}

std::vector<std::int16_t> sweep(int rate, int channels, std::size_t frames)
{
    std::vector<std::int16_t> out;
    double phase = 0;
    for (std::size_t i = 0; i < frames; ++i) {
        phase += 2 * M_PI * (100 + 500.0 * double(i) / double(frames)) / rate;
        for (int ch = 0; ch < channels; ++ch) out.push_back(std::int16_t(16384 * std::sin(phase)));
    }
    return out;
}

double correlation(const std::vector<std::int16_t>& a, const std::vector<std::int16_t>& b)
{
    const std::size_t n = std::min(a.size(), b.size());
    double ma = 0, mb = 0;
    for (std::size_t i = 0; i < n; ++i) ma += a[i], mb += b[i];
    ma /= double(n), mb /= double(n);
    double ab = 0, aa = 0, bb = 0;
    for (std::size_t i = 0; i < n; ++i) {
        ab += (a[i] - ma) * (b[i] - mb);
        aa += (a[i] - ma) * (a[i] - ma);
        bb += (b[i] - mb) * (b[i] - mb);
    }
    return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0;
}

}  // namespace kinolux::audio::test
