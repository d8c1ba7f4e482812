// The choices made before encoding: container, codecs, geometry, rates.
#include <gtest/gtest.h>

#include <string>

#include "castor/failure.h"
#include "castor/output_plan.h"

namespace castor {
namespace {

SourceLayout Movie() {
    SourceLayout layout;
    layout.hasVideo = true;
    layout.width = 320;
    layout.height = 240;
    layout.pixelFormat = AV_PIX_FMT_BGR24;
    layout.frameRate = AVRational{12, 1};
    layout.hasAudio = true;
    layout.sampleRate = 44100;
    layout.channels = 2;
    return layout;
}

Container ContainerFor(const std::string& output, const std::string& format = "") {
    Container container;
    std::string message;
    EXPECT_TRUE(FindContainer(format, output, container, message)) << message;
    return container;
}

OutputPlan Plan(Options options, const SourceLayout& input = Movie()) {
    return PlanOutput(options, ContainerFor(options.output, options.format), input);
}

Options For(const std::string& output) {
    Options options;
    options.output = output;
    return options;
}

TEST(CastorPlan, ContainersFollowTheExtensionUnlessForced) {
    EXPECT_STREQ(ContainerFor("a.m4a").format->name, "ipod");
    EXPECT_STREQ(ContainerFor("a.AWB").defaults->audioCodec, "amr_wb");
    EXPECT_STREQ(ContainerFor("a.wmv").format->name, "asf");
    EXPECT_TRUE(ContainerFor("dir/ren%04d.jpg").imageSequence);
    EXPECT_STREQ(ContainerFor("a.mp4", "avi").format->name, "avi");
    EXPECT_STREQ(ContainerFor("a.mp4", "avi").defaults->videoCodec, "mpeg4");
    EXPECT_STREQ(ContainerFor("clip.webm").format->name, "webm");  // outside the catalogue: libav's choice
    Container container;
    std::string message;
    EXPECT_FALSE(FindContainer("", "noextension", container, message));
    EXPECT_NE(message.find("Cannot tell the output format"), std::string::npos);
}

TEST(CastorPlan, DeviceDefaultsPerContainer) {
    struct Case {
        const char* output;
        const char* video;  // null: no video stream
        const char* audio;
        int sampleRate, channels;
    };
    const Case cases[] = {
        {"a.mp4", "libx264", "aac", 44100, 2},      {"a.3gp", "h263", "amr_nb", 8000, 1},
        {"a.flv", "flv", "libmp3lame", 44100, 2},   {"a.mmf", nullptr, "adpcm_yamaha", 8000, 1},
        {"a.awb", nullptr, "amr_wb", 16000, 1},     {"a.vob", "mpeg2video", "ac3", 48000, 2},
        {"a.wma", nullptr, "wmav2", 44100, 2},      {"a.gif", "gif", nullptr, 0, 0},
    };
    for (const Case& test : cases) {
        const OutputPlan plan = Plan(For(test.output));
        ASSERT_EQ(plan.video.has_value(), test.video != nullptr) << test.output;
        if (test.video != nullptr) {
            EXPECT_STREQ(plan.video->codec.encoder->name, test.video) << test.output;
        }
        ASSERT_EQ(plan.audio.has_value(), test.audio != nullptr) << test.output;
        if (test.audio != nullptr) {
            const char* name = plan.audio->codec.encoder != nullptr ? plan.audio->codec.encoder->name
                                                                    : plan.audio->codec.name.c_str();
            EXPECT_STREQ(name, test.audio) << test.output;
            EXPECT_EQ(plan.audio->sampleRate, test.sampleRate) << test.output;
            EXPECT_EQ(plan.audio->channels, test.channels) << test.output;
        }
    }
}

TEST(CastorPlan, RatesAndChannelsTheCodecOrContainerCannotTakeAreMovedToTheNearest) {
    Options flv = For("a.flv");
    flv.audioRate = 48000;  // Flash players take 44100, 22050 and 11025 only
    EXPECT_EQ(Plan(flv).audio->sampleRate, 44100);
    Options amr = For("a.3gp");
    amr.audioRate = 44100;
    amr.audioChannels = 2;
    EXPECT_EQ(Plan(amr).audio->sampleRate, 8000);
    EXPECT_EQ(Plan(amr).audio->channels, 1);
    Options mp2 = For("a.mpg");
    mp2.audioChannels = 6;
    EXPECT_EQ(Plan(mp2).audio->channels, 2);
}

TEST(CastorPlan, CropThenScaleThenPad) {
    Options options = For("a.mp4");
    options.cropLeft = 20;
    options.cropRight = 20;
    options.size = FrameSize{720, 360};
    options.padTop = 60;
    options.padBottom = 60;
    options.aspect = 16.0 / 9;
    const VideoPlan video = *Plan(options).video;
    EXPECT_EQ(video.geometry.pictureWidth, 720);
    EXPECT_EQ(video.geometry.pictureHeight, 360);
    EXPECT_EQ(video.geometry.frameWidth, 720);
    EXPECT_EQ(video.geometry.frameHeight, 480);
    EXPECT_EQ(video.geometry.padTop, 60);
    // 16:9 on a 720x480 frame: each pixel is 32/27 as wide as tall.
    EXPECT_EQ(video.sampleAspect.num * 27, video.sampleAspect.den * 32);

    Options unscaled = For("a.mp4");
    unscaled.cropTop = 40;
    unscaled.padLeft = 8;
    const VideoPlan plain = *Plan(unscaled).video;
    EXPECT_EQ(plain.geometry.pictureWidth, 320);
    EXPECT_EQ(plain.geometry.pictureHeight, 200);
    EXPECT_EQ(plain.geometry.frameWidth, 328);
}

TEST(CastorPlan, ImpossibleGeometryIsRefused) {
    Options crop = For("a.mp4");
    crop.cropTop = 200;
    crop.cropBottom = 40;
    EXPECT_THROW(Plan(crop), Failure);
    Options pad = For("a.mp4");
    pad.size = FrameSize{16000, 16000};
    pad.padLeft = 1000;
    EXPECT_THROW(Plan(pad), Failure);
}

TEST(CastorPlan, PixelFormatsSuitTheCodec) {
    auto format = [](const std::string& output, const std::string& codec) {
        Options options = For(output);
        options.videoCodec = codec;
        return Plan(options).video->geometry.format;
    };
    EXPECT_EQ(format("a.mp4", "h264"), AV_PIX_FMT_YUV420P);
    EXPECT_EQ(format("a.avi", "mjpeg"), AV_PIX_FMT_YUVJ420P);
    EXPECT_EQ(format("a.gif", "auto"), AV_PIX_FMT_PAL8);
    const AVPixelFormat lossless = format("a.avi", "huffyuv");
    EXPECT_TRUE(lossless == AV_PIX_FMT_RGB24 || lossless == AV_PIX_FMT_BGR0) << lossless;
}

TEST(CastorPlan, FrameRatesFollowTheInputOrRAndWhatTheCodecPlays) {
    EXPECT_EQ(av_cmp_q(Plan(For("a.mp4")).video->frameRate, AVRational{12, 1}), 0);
    Options faster = For("a.mp4");
    faster.frameRate = 29.97;
    EXPECT_NEAR(av_q2d(Plan(faster).video->frameRate), 29.97, 1e-6);
    // MPEG-1 players know 23.976 as the nearest rate to 12.
    EXPECT_EQ(av_cmp_q(Plan(For("a.mpg")).video->frameRate, AVRational{24000, 1001}), 0);
}

TEST(CastorPlan, StreamsFollowTheContainerAndTheSwitches) {
    EXPECT_FALSE(Plan(For("a.mp3")).video.has_value());  // sound-only container
    Options noVideo = For("a.mp4");
    noVideo.noVideo = true;
    EXPECT_FALSE(Plan(noVideo).video.has_value());
    Options nothing = For("a.gif");
    nothing.noVideo = true;
    EXPECT_THROW(Plan(nothing), Failure);  // a GIF holds no sound
    Options refused = For("a.mp4");
    refused.videoCodec = "wmv2";
    try {
        Plan(refused);
        FAIL() << "mp4 took wmv2";
    } catch (const Failure& failure) {
        EXPECT_NE(std::string(failure.what()).find("cannot hold video encoded with 'wmv2'"), std::string::npos);
    }
}

TEST(CastorPlan, XvidGetsItsTagInAviOnly) {
    Options avi = For("a.avi");
    avi.videoCodec = "xvid";
    EXPECT_EQ(Plan(avi).video->codecTag, MKTAG('X', 'V', 'I', 'D'));
    Options mp4 = For("a.mp4");
    mp4.videoCodec = "xvid";
    EXPECT_EQ(Plan(mp4).video->codecTag, 0u);
    Options divx = For("a.avi");
    divx.videoTag = "DX50";
    EXPECT_EQ(Plan(divx).video->codecTag, MKTAG('D', 'X', '5', '0'));
}

}  // namespace
}  // namespace castor
