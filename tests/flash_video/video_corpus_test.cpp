// The regression movies with embedded video: every frame decodes, and where
// the video fills the stage the picture matches the expected one by the
// corpus rule (98% of pixels within 24 levels).
#include "flash/swf/read.h"
#include "flash/video/video_decoder.h"
#include "tests/platform/outside_requirements.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>

namespace kinolux::video {
namespace {

std::filesystem::path corpus()
{
    return kinolux::testing::CorpusDir();
}

std::vector<std::uint8_t> readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Decodes every VideoFrame of the movie; returns the last picture of each
// stream. `deblocking` takes the place of the streams' own setting.
std::map<std::uint16_t, VideoPicture> decodeAll(const std::filesystem::path& movie,
                                                std::optional<std::uint8_t> deblocking = std::nullopt)
{
    const auto bytes = readFile(movie);
    const swf::Movie parsed = swf::readMovie(bytes);
    std::map<std::uint16_t, std::unique_ptr<VideoDecoder>> decoders;
    std::map<std::uint16_t, VideoPicture> pictures;
    for (const auto& tag : parsed.tags) {
        if (const auto* stream = tag.get<swf::DefineVideoStream>()) {
            decoders[stream->id] = std::make_unique<VideoDecoder>(
                VideoStreamInfo{VideoCodec(stream->codec), stream->width, stream->height,
                                deblocking.value_or(stream->deblocking), stream->smoothing});
            EXPECT_EQ(decoders[stream->id]->error(), "") << movie;
        } else if (const auto* frame = tag.get<swf::VideoFrame>()) {
            auto& decoder = decoders.at(frame->streamId);
            EXPECT_EQ(decoder->decode(frame->frameNum, frame->data), FrameResult::Decoded)
                << movie << ": " << decoder->lastMessage();
            pictures[frame->streamId] = decoder->picture();
        }
    }
    return pictures;
}

QImage expectedStage(const std::filesystem::path& dir)
{
    return QImage(QString::fromStdString((dir / "output.expected.png").string()));
}

// The picture drawn over the stage colour, as the expected image shows it,
// each channel within `tolerance` levels.
double shareMatching(const VideoPicture& picture, const QImage& expected, QRgb stage, int tolerance = 24)
{
    const QImage image = expected.convertToFormat(QImage::Format_ARGB32);
    if (image.width() != picture.width || image.height() != picture.height) return 0;
    std::size_t matching = 0;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const std::uint32_t p = picture.pixels[std::size_t(y * picture.width + x)];
            const std::uint32_t alpha = p >> 24;
            const QRgb want = image.pixel(x, y);
            bool close = true;
            for (int shift : {0, 8, 16}) {
                const int over = int((p >> shift & 0xFF) + (stage >> shift & 0xFF) * (255 - alpha) / 255);
                close = close && std::abs(over - int(want >> shift & 0xFF)) <= tolerance;
            }
            matching += close;
        }
    return double(matching) / (double(picture.width) * picture.height);
}

class VideoCorpus : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::filesystem::exists(corpus() / "ruffle")) KINOLUX_MISSING("the corpus at " << corpus());
    }
};

TEST_F(VideoCorpus, Vp6PictureMatchesTheExpectedStage)
{
    const auto dir = corpus() / "ruffle/render/visual__video__vp6_dispsize";
    const auto pictures = decodeAll(dir / "test.swf");
    ASSERT_EQ(pictures.size(), 1u);
    const VideoPicture& picture = pictures.begin()->second;
    EXPECT_EQ(picture.width, 640);
    EXPECT_EQ(picture.height, 480);
    EXPECT_GE(shareMatching(picture, expectedStage(dir), 0xFFFFFFFF), 0.98);
}

TEST_F(VideoCorpus, Vp6AlphaPictureIsPremultipliedAndMatchesOverTheStage)
{
    const auto dir = corpus() / "ruffle/render/visual__video__vp6_alphaoffset";
    const auto pictures = decodeAll(dir / "test.swf");
    ASSERT_EQ(pictures.size(), 1u);
    const VideoPicture& picture = pictures.begin()->second;
    bool premultiplied = true, someTransparent = false;
    for (std::uint32_t p : picture.pixels) {
        const std::uint32_t alpha = p >> 24;
        someTransparent = someTransparent || alpha < 255;
        for (int shift : {0, 8, 16}) premultiplied = premultiplied && (p >> shift & 0xFF) <= alpha;
    }
    EXPECT_TRUE(premultiplied);
    EXPECT_TRUE(someTransparent);
    EXPECT_GE(shareMatching(picture, expectedStage(dir), 0xFFFFFFFF), 0.98);
}

TEST_F(VideoCorpus, DeblockingSmoothsBlockEdgesByTheQuantizerAsTheExpectedStageShows)
{
    // Flat blocks at quantizers 2, 11, 22 and 31, gray (streams 1 to 4) and
    // coloured (9 to 12); the filter leaves the first alone and smooths the
    // others more and more, the chroma planes too.
    const auto dir = corpus() / "ruffle/render/visual__video__deblocking";
    const auto pictures = decodeAll(dir / "test.swf");
    ASSERT_EQ(pictures.size(), 12u);
    const QImage stage = expectedStage(dir);
    const std::map<std::uint16_t, QPoint> placed = {{1, {4, 4}},      {2, {256, 4}},    {3, {508, 4}},
                                                    {4, {760, 4}},    {9, {4, 508}},    {10, {508, 508}},
                                                    {11, {4, 1008}},  {12, {508, 1008}}};
    auto share = [&](const std::map<std::uint16_t, VideoPicture>& decoded, std::uint16_t stream) {
        const VideoPicture& picture = decoded.at(stream);
        return shareMatching(picture, stage.copy(QRect(placed.at(stream), QSize(picture.width, picture.height))),
                             0xFFFFFFFF, 4);
    };
    for (const auto& [stream, at] : placed) EXPECT_GE(share(pictures, stream), 0.999) << "stream " << stream;

    const auto unfiltered = decodeAll(dir / "test.swf", 1);
    EXPECT_GE(share(unfiltered, 1), 0.999) << "too weak to change these blocks";
    EXPECT_LT(share(unfiltered, 4), 0.9);
    EXPECT_LT(share(unfiltered, 12), 0.9);
}

}  // namespace
}  // namespace kinolux::video
