// Embedded video decoding against frames encoded here with libavcodec:
// Sorenson H.263 close to its source and deblocked when asked, Screen Video
// exact, keyframes told apart, frames out of order and damaged frames
// leaving the last picture.
#include "flash/video/h263_header.h"
#include "flash/video/keyframe.h"
#include "flash/video/video_decoder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace kinolux::video {
namespace {

using Packet = std::vector<std::uint8_t>;

constexpr int kWidth = 96, kHeight = 64;

// A gray picture: a horizontal ramp with a bright square that moves with the frame.
std::uint8_t grayAt(int frame, int x, int y)
{
    const bool square = x >= 8 + 6 * frame && x < 40 + 6 * frame && y >= 16 && y < 48;
    return std::uint8_t(square ? 230 : 30 + x);
}

using GrayPicture = std::uint8_t (*)(int frame, int x, int y);

// Frames of the gray picture; a quantizer above 0 fixes the encoder's.
std::vector<Packet> encode(const char* encoder, AVPixelFormat format, int frames, GrayPicture gray = grayAt,
                           int quantizer = 0)
{
    const AVCodec* codec = avcodec_find_encoder_by_name(encoder);
    if (!codec) throw std::runtime_error("encoder missing");
    AVCodecContext* c = avcodec_alloc_context3(codec);
    c->width = kWidth;
    c->height = kHeight;
    c->pix_fmt = format;
    c->time_base = AVRational{1, 12};
    c->gop_size = 100;
    c->bit_rate = 2'000'000;
    if (quantizer > 0) c->flags |= AV_CODEC_FLAG_QSCALE;
    if (avcodec_open2(c, codec, nullptr) < 0) throw std::runtime_error("cannot open encoder");
    std::vector<Packet> packets;
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    auto drain = [&] {
        while (avcodec_receive_packet(c, packet) == 0) {
            packets.emplace_back(packet->data, packet->data + packet->size);
            av_packet_unref(packet);
        }
    };
    for (int n = 0; n < frames; ++n) {
        frame->format = format;
        frame->width = kWidth;
        frame->height = kHeight;
        frame->pts = n;
        frame->quality = quantizer * FF_QP2LAMBDA;
        av_frame_get_buffer(frame, 0);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const std::uint8_t g = gray(n, x, y);
                if (format == AV_PIX_FMT_BGR24) {
                    std::uint8_t* p = frame->data[0] + y * frame->linesize[0] + 3 * x;
                    p[0] = p[1] = p[2] = g;
                } else {
                    frame->data[0][y * frame->linesize[0] + x] = std::uint8_t(16 + g * 219 / 255);
                    frame->data[1][(y / 2) * frame->linesize[1] + x / 2] = 128;
                    frame->data[2][(y / 2) * frame->linesize[2] + x / 2] = 128;
                }
            }
        avcodec_send_frame(c, frame);
        drain();
        av_frame_unref(frame);
    }
    avcodec_send_frame(c, nullptr);
    drain();
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&c);
    return packets;
}

// The largest difference of any channel from the frame's gray source, and the mean.
std::pair<int, double> differenceFrom(const VideoPicture& picture, int frame)
{
    int largest = 0;
    double total = 0;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const std::uint32_t p = picture.pixels[std::size_t(y * picture.width + x)];
            EXPECT_EQ(p >> 24, 255u);
            for (int shift : {0, 8, 16}) {
                const int d = std::abs(int(p >> shift & 0xFF) - grayAt(frame, x, y));
                largest = std::max(largest, d);
                total += d;
            }
        }
    return {largest, total / (3.0 * picture.width * picture.height)};
}

TEST(VideoDecoder, SorensonH263FramesDecodeCloseToTheirSource)
{
    const auto packets = encode("flv", AV_PIX_FMT_YUV420P, 5);
    ASSERT_EQ(packets.size(), 5u);
    EXPECT_TRUE(isKeyframe(VideoCodec::SorensonH263, packets[0]));
    EXPECT_FALSE(isKeyframe(VideoCodec::SorensonH263, packets[1]));

    VideoDecoder decoder(VideoStreamInfo{VideoCodec::SorensonH263, kWidth, kHeight, 0, false});
    ASSERT_EQ(decoder.error(), "");
    for (int n = 0; n < 5; ++n) {
        ASSERT_EQ(decoder.decode(std::uint16_t(n), packets[std::size_t(n)]), FrameResult::Decoded) << decoder.lastMessage();
        ASSERT_EQ(decoder.picture().width, kWidth);
        ASSERT_EQ(decoder.picture().height, kHeight);
        const auto [largest, mean] = differenceFrom(decoder.picture(), n);
        EXPECT_LT(mean, 3.0) << "frame " << n;
        EXPECT_LT(largest, 80) << "frame " << n;
    }
}

TEST(VideoDecoder, OutOfOrderAndDamagedFramesLeaveTheLastPicture)
{
    const auto packets = encode("flv", AV_PIX_FMT_YUV420P, 4);
    VideoDecoder decoder(VideoStreamInfo{VideoCodec::SorensonH263, kWidth, kHeight, 0, false});
    for (int n = 0; n < 3; ++n) ASSERT_EQ(decoder.decode(std::uint16_t(n), packets[std::size_t(n)]), FrameResult::Decoded);
    const auto third = decoder.picture().pixels;

    EXPECT_EQ(decoder.decode(1, packets[1]), FrameResult::Kept);  // an old delta frame
    EXPECT_EQ(decoder.decode(2, packets[2]), FrameResult::Kept);  // the same frame again
    EXPECT_EQ(decoder.picture().pixels, third);

    const Packet garbage(300, 0x5A);
    EXPECT_EQ(decoder.decode(3, garbage), FrameResult::Failed);
    EXPECT_NE(decoder.lastMessage(), "");
    EXPECT_EQ(decoder.decode(3, {}), FrameResult::Failed);
    EXPECT_EQ(decoder.picture().pixels, third);

    // Looping back to the keyframe starts over.
    ASSERT_EQ(decoder.decode(0, packets[0]), FrameResult::Decoded);
    EXPECT_LT(differenceFrom(decoder.picture(), 0).second, 3.0);
}

TEST(VideoDecoder, ScreenVideoIsLosslessAndOnlyCompleteFramesAreKeyframes)
{
    const auto packets = encode("flashsv", AV_PIX_FMT_BGR24, 3);
    ASSERT_EQ(packets.size(), 3u);
    EXPECT_TRUE(isKeyframe(VideoCodec::ScreenVideo, packets[0]));
    EXPECT_FALSE(isKeyframe(VideoCodec::ScreenVideo, packets[2]));  // unchanged blocks are left out
    VideoDecoder decoder(VideoStreamInfo{VideoCodec::ScreenVideo, kWidth, kHeight, 0, false});
    for (int n = 0; n < 3; ++n) {
        ASSERT_EQ(decoder.decode(std::uint16_t(n), packets[std::size_t(n)]), FrameResult::Decoded) << decoder.lastMessage();
        EXPECT_EQ(differenceFrom(decoder.picture(), n).first, 0) << "frame " << n;
    }
}

// Flat 8x8 blocks a little apart: steps the deblocking filter smooths.
std::uint8_t blocksAt(int, int x, int y)
{
    return std::uint8_t(100 + 10 * ((x / 8 + y / 8) % 2));
}

TEST(VideoDecoder, SorensonPicturesAreDeblockedAsTheStreamOrThePictureAsks)
{
    const auto packets = encode("flv", AV_PIX_FMT_YUV420P, 2, blocksAt, 31);
    ASSERT_EQ(packets.size(), 2u);
    const auto header = readH263PictureHeader(packets[0]);
    ASSERT_TRUE(header);
    ASSERT_TRUE(header->deblocking);
    ASSERT_EQ(header->quantizer, 31u);
    // The same picture without the flag (bit 51 for a size given in bytes).
    Packet unflagged = packets[0];
    unflagged[51 / 8] &= std::uint8_t(~(0x80 >> 51 % 8));
    ASSERT_FALSE(readH263PictureHeader(unflagged)->deblocking);

    auto first = [&](std::uint8_t deblocking, const Packet& packet) {
        VideoDecoder decoder(VideoStreamInfo{VideoCodec::SorensonH263, kWidth, kHeight, deblocking, false});
        EXPECT_EQ(decoder.decode(0, packet), FrameResult::Decoded) << decoder.lastMessage();
        return decoder.picture().pixels;
    };
    const auto plain = first(1, packets[0]);
    const auto smoothed = first(0, packets[0]);
    EXPECT_EQ(first(0, unflagged), plain);
    EXPECT_EQ(first(2, unflagged), smoothed);
    EXPECT_EQ(first(1, packets[0]), plain);

    // Across a block edge the step shrinks; inside a block nothing changes.
    auto blue = [&](const std::vector<std::uint32_t>& pixels, int x, int y) { return int(pixels[std::size_t(y * kWidth + x)] & 0xFF); };
    EXPECT_GE(std::abs(blue(plain, 7, 20) - blue(plain, 8, 20)), 9);
    EXPECT_LT(std::abs(blue(smoothed, 7, 20) - blue(smoothed, 8, 20)), 5);
    EXPECT_EQ(blue(smoothed, 4, 20), blue(plain, 4, 20));

    // The next picture predicts from the unfiltered one: filtering is not
    // compounded frame after frame.
    VideoDecoder decoder(VideoStreamInfo{VideoCodec::SorensonH263, kWidth, kHeight, 0, false});
    for (int n = 0; n < 2; ++n) {
        ASSERT_EQ(decoder.decode(std::uint16_t(n), packets[std::size_t(n)]), FrameResult::Decoded);
        EXPECT_EQ(decoder.picture().pixels, smoothed) << "frame " << n;
    }
}

TEST(VideoDecoder, AnUnknownCodecIsReportedNotDecoded)
{
    VideoDecoder decoder(VideoStreamInfo{VideoCodec(9), 10, 10, 0, false});
    EXPECT_NE(decoder.error(), "");
    EXPECT_EQ(decoder.decode(0, Packet(10, 1)), FrameResult::Failed);
    EXPECT_FALSE(isKeyframe(VideoCodec(9), Packet(10, 0)));
    EXPECT_FALSE(isKeyframe(VideoCodec::Vp6Alpha, Packet(2, 0)));
    EXPECT_FALSE(isKeyframe(VideoCodec::ScreenVideo, Packet(3, 0)));
}

}  // namespace
}  // namespace kinolux::video
