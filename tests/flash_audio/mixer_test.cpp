// The mixer: where event sounds start and stop (in and out points, loops,
// sync flags), envelopes and transforms, and stream sound tied to the
// timeline whatever the timing of its blocks.
#include "flash/audio/mixer.h"

#include <gtest/gtest.h>

namespace kinolux::audio {
namespace {

// A stereo sound whose left channel counts its frames and right is the negation.
std::shared_ptr<const DecodedSound> countingSound(std::size_t frames)
{
    auto sound = std::make_shared<DecodedSound>();
    for (std::size_t i = 0; i < frames; ++i) sound->samples.insert(sound->samples.end(), {std::int16_t(i), std::int16_t(-std::int16_t(i))});
    return sound;
}

std::shared_ptr<const DecodedSound> constantSound(std::size_t frames, std::int16_t value)
{
    auto sound = std::make_shared<DecodedSound>();
    sound->samples.assign(2 * frames, value);
    return sound;
}

std::vector<std::int16_t> render(Mixer& mixer, std::size_t frames)
{
    std::vector<std::int16_t> out(2 * frames);
    mixer.render(out.data(), frames);
    return out;
}

std::vector<std::int16_t> leftOf(const std::vector<std::int16_t>& stereo)
{
    std::vector<std::int16_t> left;
    for (std::size_t i = 0; i < stereo.size(); i += 2) left.push_back(stereo[i]);
    return left;
}

TEST(Mixer, EventSoundPlaysItsSegmentTheLoopCountTimesFromTheLead)
{
    Mixer mixer;
    mixer.setLead(5);
    SoundInfo info;
    info.inPoint = 10;
    info.outPoint = 14;
    info.loopCount = 3;
    const VoiceId voice = mixer.startSound(countingSound(100), info);
    ASSERT_NE(voice, 0u);
    const auto out = render(mixer, 20);
    EXPECT_EQ(leftOf(out), (std::vector<std::int16_t>{0, 0, 0, 0, 0, 10, 11, 12, 13, 10, 11, 12, 13, 10, 11, 12, 13, 0, 0, 0}));
    EXPECT_EQ(out[11], -10);
    EXPECT_FALSE(mixer.isPlaying(voice));
}

TEST(Mixer, SoundsStartedBetweenPullsKeepTheirDistanceAndTheirPosition)
{
    Mixer mixer;
    const auto sound = countingSound(1000);
    const VoiceId first = mixer.startSound(sound, {});
    render(mixer, 100);
    EXPECT_EQ(mixer.soundPosition(first), 100u);
    const VoiceId second = mixer.startSound(sound, {});
    const auto out = render(mixer, 10);
    EXPECT_EQ(out[0], 100 + 0);  // both voices add up: 100 from the first, 0 from the second
    EXPECT_EQ(out[18], 109 + 9);
    mixer.stop(first);
    EXPECT_FALSE(mixer.isPlaying(first));
    EXPECT_TRUE(mixer.isPlaying(second));
    mixer.advance(2000);
    EXPECT_FALSE(mixer.isPlaying(second));
}

TEST(Mixer, SyncStopAndSyncNoMultipleAndTheVoiceCap)
{
    Mixer mixer;
    const auto sound = constantSound(1000, 100);
    const VoiceId a = mixer.startSound(sound, {});
    const VoiceId b = mixer.startSound(sound, {});
    EXPECT_NE(b, 0u);
    SoundInfo noMultiple;
    noMultiple.syncNoMultiple = true;
    EXPECT_EQ(mixer.startSound(sound, noMultiple), 0u);
    const VoiceId other = mixer.startSound(constantSound(1000, 1), noMultiple);
    EXPECT_NE(other, 0u);

    SoundInfo stop;
    stop.syncStop = true;
    EXPECT_EQ(mixer.startSound(sound, stop), 0u);
    EXPECT_FALSE(mixer.isPlaying(a));
    EXPECT_FALSE(mixer.isPlaying(b));
    EXPECT_TRUE(mixer.isPlaying(other));

    int started = 0;
    for (int i = 0; i < 1000; ++i) started += mixer.startSound(sound, {}) != 0;
    EXPECT_LT(started, 100);
    mixer.stopAll();
    EXPECT_FALSE(mixer.isPlaying(other));
}

TEST(Mixer, EnvelopeLevelsAreInterpolatedPerChannelAndHoldBeyondTheirPoints)
{
    Mixer mixer;
    SoundInfo info;
    info.envelope = {{10, 0, 32768}, {110, 32768, 0}};
    mixer.startSound(constantSound(300, 10000), info);
    const auto out = render(mixer, 200);
    EXPECT_EQ(out[2 * 5], 0);            // before the first point: its levels
    EXPECT_EQ(out[2 * 5 + 1], 10000);
    EXPECT_EQ(out[2 * 60], 5000);        // half way
    EXPECT_EQ(out[2 * 60 + 1], 5000);
    EXPECT_EQ(out[2 * 85], 7500);
    EXPECT_EQ(out[2 * 150], 10000);      // after the last point: its levels
    EXPECT_EQ(out[2 * 150 + 1], 0);
}

TEST(Mixer, TransformsRouteChannelsAndTheMasterAppliesToEveryVoice)
{
    Mixer mixer;
    const VoiceId voice = mixer.startSound(countingSound(100), {});
    mixer.setTransform(voice, SoundTransform{0, 1, 0, 1});  // left to right, right to left
    auto out = render(mixer, 10);
    EXPECT_EQ(out[2 * 7], -7);
    EXPECT_EQ(out[2 * 7 + 1], 7);
    mixer.setMasterTransform(SoundTransform{0.5f, 0, 0.5f, 0});
    out = render(mixer, 10);
    EXPECT_EQ(out[2 * 4], -7);  // frame 14 swapped, then halved
    EXPECT_EQ(out[2 * 4 + 1], 7);
}

TEST(Mixer, LoudMixesClipInsteadOfWrappingAround)
{
    Mixer mixer;
    for (int i = 0; i < 3; ++i) mixer.startSound(constantSound(10, 20000), {});
    const auto out = render(mixer, 4);
    EXPECT_EQ(out[0], 32767);
}

// A PCM stream block whose samples name their stream frame.
std::vector<std::uint8_t> streamBlock(std::size_t firstFrame, std::size_t frames)
{
    std::vector<std::uint8_t> block;
    for (std::size_t i = 0; i < frames; ++i) {
        const auto value = std::uint16_t(1 + (firstFrame + i) % 30000);
        for (int channel = 0; channel < 2; ++channel) block.insert(block.end(), {std::uint8_t(value & 0xFF), std::uint8_t(value >> 8)});
    }
    return block;
}

TEST(Mixer, StreamSoundStaysInStepWithTheTimelineWhenBlocksComeLate)
{
    Mixer mixer;
    const std::size_t perFrame = 441, pull = 256;
    mixer.setLead(pull);
    std::string message;
    const VoiceId stream = mixer.startStream(StreamHead{SoundFormat{SoundCodec::PcmLittleEndian, 3, true, true}, perFrame, 0}, message);
    ASSERT_NE(stream, 0u) << message;
    const std::uint64_t start = mixer.position() + pull;

    // Frames 0..3 on time, frame 4's block arrives a whole frame late, and
    // frame 5 is on time again; pulls of 256 frames go on throughout.
    std::vector<std::int16_t> heard;
    std::size_t nextBlock = 0;
    for (int pullNo = 0; pullNo < 14; ++pullNo) {
        const std::uint64_t now = mixer.position() + pull;
        while (nextBlock < 8 && start + nextBlock * perFrame <= now + perFrame) {
            if (nextBlock == 4 && start + 5 * perFrame > now) break;  // frame 4 waits
            EXPECT_EQ(mixer.streamBlock(stream, streamBlock(nextBlock * perFrame, perFrame)), "");
            ++nextBlock;
        }
        const auto out = render(mixer, pull);
        heard.insert(heard.end(), out.begin(), out.end());
    }
    for (std::size_t at = start; at < start + 8 * perFrame && at < heard.size() / 2; ++at) {
        const std::int16_t sample = heard[2 * at];
        if (sample == 0) continue;  // late sound is silence, never shifted
        ASSERT_EQ(sample, std::int16_t(1 + (at - start) % 30000)) << "mixer frame " << at;
    }
    EXPECT_EQ(heard[2 * (start + 4 * perFrame)], 0);   // the late block's start was due before it came
    EXPECT_NE(heard[2 * (start + 5 * perFrame - 10)], 0);  // its end was not
    EXPECT_NE(heard[2 * (start + 3 * perFrame)], 0);   // on time: heard
    EXPECT_NE(heard[2 * (start + 6 * perFrame)], 0);
    EXPECT_TRUE(mixer.isPlaying(stream));
    mixer.stop(stream);
    EXPECT_EQ(mixer.streamBlock(stream, streamBlock(0, 10)), "");
    EXPECT_FALSE(mixer.isPlaying(stream));
}

TEST(Mixer, AStreamNobodyPlaysHoldsBoundedSound)
{
    Mixer mixer;
    std::string message;
    const VoiceId stream = mixer.startStream(StreamHead{SoundFormat{SoundCodec::PcmLittleEndian, 3, true, true}, 4410, 0}, message);
    for (int i = 0; i < 400; ++i) mixer.streamBlock(stream, streamBlock(std::size_t(i) * 4410, 4410));
    // 40 seconds given, at most 10 kept: the newest, ending where the stream is.
    std::vector<std::int16_t> out(2 * 4410);
    mixer.advance(400 * 4410 - 4410);
    mixer.render(out.data(), 4410);
    EXPECT_EQ(out[0], std::int16_t(1 + (399 * 4410) % 30000));

    EXPECT_EQ(mixer.startStream(StreamHead{SoundFormat{SoundCodec(13), 3, true, true}, 1, 0}, message), 0u);
    EXPECT_NE(message, "");
}

}  // namespace
}  // namespace kinolux::audio
