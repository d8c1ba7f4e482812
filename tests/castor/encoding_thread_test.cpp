// A stream's encoder on its own thread: pictures the caller releases at
// once are still encoded as they were, frames of their own (sound) pass
// unconverted, packets come back in order and all of them after the end,
// and an encoder's failure there reaches the caller with its message.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "castor/encoding_thread.h"
#include "castor/failure.h"

namespace castor {
namespace {

constexpr int kSide = 16;

// Makes a packet per frame: its pts the frame's, its one byte the frame's
// first luma value. Refuses the frame stamped `failAt`.
class RecordingEncoder : public Encoder {
public:
    explicit RecordingEncoder(int64_t failAt = -1) : failAt_(failAt) {}

    void Send(const AVFrame* frame) override {
        if (frame == nullptr) {
            return;
        }
        if (frame->pts == failAt_) {
            Fail("the encoder refused frame " + std::to_string(frame->pts));
        }
        PacketPtr packet = NewPacket();
        Check(av_new_packet(packet.get(), 1), "Out of memory");
        packet->data[0] = frame->data[0][0];
        packet->pts = packet->dts = frame->pts;
        waiting_.push_back(std::move(packet));
    }
    bool Receive(AVPacket& packet) override {
        if (waiting_.empty()) {
            return false;
        }
        av_packet_unref(&packet);
        av_packet_move_ref(&packet, waiting_.front().get());
        waiting_.erase(waiting_.begin());
        return true;
    }
    AVRational TimeBase() const override { return {1, 25}; }
    void CopyParameters(AVCodecParameters&) const override {}

private:
    int64_t failAt_;
    std::vector<PacketPtr> waiting_;
};

std::unique_ptr<VideoFilter> GrayFilter() {
    PictureGeometry geometry;
    geometry.pictureWidth = geometry.frameWidth = kSide;
    geometry.pictureHeight = geometry.frameHeight = kSide;
    geometry.format = AV_PIX_FMT_GRAY8;
    return std::make_unique<VideoFilter>(geometry);
}

// A gray picture over the caller's own buffer (not reference-counted).
AVFrame PictureOver(std::vector<uint8_t>& pixels) {
    AVFrame picture{};
    picture.format = AV_PIX_FMT_GRAY8;
    picture.width = picture.height = kSide;
    picture.data[0] = pixels.data();
    picture.linesize[0] = kSide;
    return picture;
}

TEST(EncodingThread, EncodesPicturesTheCallerReleasedAtOnceInOrderAndAllAfterTheEnd) {
    EncodingThread video(std::make_unique<RecordingEncoder>(), GrayFilter());
    std::vector<uint8_t> pixels(kSide * kSide);
    int64_t pts = 0;
    for (uint8_t level : {10, 200, 90}) {
        std::memset(pixels.data(), level, pixels.size());
        AVFrame picture = PictureOver(pixels);
        video.Hold(picture);
        std::memset(pixels.data(), 0, pixels.size());  // the caller's buffer goes at once
        video.Encode(pts++);
        video.Encode(pts++);
    }
    video.End();
    std::vector<std::pair<int64_t, int>> packets;
    PacketPtr packet = NewPacket();
    while (video.Receive(*packet)) packets.emplace_back(packet->pts, packet->data[0]);
    const std::vector<std::pair<int64_t, int>> expected{{0, 10}, {1, 10}, {2, 200}, {3, 200}, {4, 90}, {5, 90}};
    EXPECT_EQ(packets, expected);
}

// The audio half: frames of their own, stamped by the caller, reach the
// encoder unconverted and whole, however many the caller queues at once.
TEST(EncodingThread, SendsFramesOfTheirOwnUnconvertedInOrder) {
    EncodingThread audio(std::make_unique<RecordingEncoder>(), nullptr, 2);
    for (int64_t pts = 0; pts < 20; ++pts) {
        FramePtr frame = NewFrame();
        frame->format = AV_PIX_FMT_GRAY8;
        frame->width = frame->height = kSide;
        Check(av_frame_get_buffer(frame.get(), 0), "Out of memory");
        std::memset(frame->data[0], int(pts * 3), size_t(frame->linesize[0]) * kSide);
        frame->pts = pts * 1024;
        audio.Send(std::move(frame));
    }
    audio.End();
    PacketPtr packet = NewPacket();
    int64_t n = 0;
    while (audio.Receive(*packet)) {
        EXPECT_EQ(packet->pts, n * 1024);
        EXPECT_EQ(packet->data[0], n * 3);
        ++n;
    }
    EXPECT_EQ(n, 20);
}

TEST(EncodingThread, AnEncoderFailureOnTheThreadReachesTheCallerWithItsMessage) {
    EncodingThread video(std::make_unique<RecordingEncoder>(2), GrayFilter());
    std::vector<uint8_t> pixels(kSide * kSide, 50);
    AVFrame picture = PictureOver(pixels);
    video.Hold(picture);
    std::string message;
    try {
        for (int64_t pts = 0; pts < 100; ++pts) video.Encode(pts);
        video.End();
        PacketPtr packet = NewPacket();
        while (video.Receive(*packet)) {
        }
    } catch (const Failure& failure) {
        message = failure.what();
    }
    EXPECT_EQ(message, "the encoder refused frame 2");
}

}  // namespace
}  // namespace castor
