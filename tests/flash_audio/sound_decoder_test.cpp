// Decoding against references made independently: uncompressed and ADPCM
// sample for sample, MP3 by correlation, and the lengths every format and
// rate must come out at 44.1 kHz.
#include "flash/audio/event_sound.h"
#include "flash/audio/stream_decoder.h"
#include "tests/flash_audio/reference_codec.h"

#include <gtest/gtest.h>

#include <random>

namespace kinolux::audio {
namespace {

using test::Packet;

SoundFormat formatOf(SoundCodec codec, std::uint8_t rate, bool stereo, bool is16Bit = true)
{
    return SoundFormat{codec, rate, is16Bit, stereo};
}

std::vector<std::uint8_t> bytesOf(const std::vector<std::int16_t>& samples)
{
    std::vector<std::uint8_t> bytes;
    for (std::int16_t s : samples) {
        bytes.push_back(std::uint8_t(s & 0xFF));
        bytes.push_back(std::uint8_t((s >> 8) & 0xFF));
    }
    return bytes;
}

std::vector<std::int16_t> stereoOf(const std::vector<std::int16_t>& mono)
{
    std::vector<std::int16_t> stereo;
    for (std::int16_t s : mono) stereo.insert(stereo.end(), {s, s});
    return stereo;
}

// Appends `count` bits of `value`, most significant first.
struct BitWriter {
    std::vector<std::uint8_t> bytes;
    std::size_t bits = 0;
    void put(unsigned value, unsigned count)
    {
        for (unsigned i = count; i-- > 0; ++bits) {
            if (bits % 8 == 0) bytes.push_back(0);
            if (value >> i & 1) bytes.back() |= std::uint8_t(0x80 >> (bits % 8));
        }
    }
};

TEST(SoundDecoders, UncompressedSoundIsExactInEveryLayout)
{
    const std::vector<std::int16_t> samples = {0, 1, -1, 32767, -32768, 1234, -4321, 77};
    const auto stereo = decodeEventSound(formatOf(SoundCodec::PcmLittleEndian, 3, true), bytesOf(samples), 4);
    EXPECT_EQ(stereo.message, "");
    EXPECT_EQ(stereo.sound->samples, samples);

    const auto mono = decodeEventSound(formatOf(SoundCodec::PcmNativeEndian, 3, false), bytesOf(samples), 0);
    EXPECT_EQ(mono.sound->samples, stereoOf(samples));

    const std::vector<std::uint8_t> eightBit = {0, 128, 255, 64};
    const auto unsigned8 = decodeEventSound(formatOf(SoundCodec::PcmLittleEndian, 3, false, false), eightBit, 4);
    EXPECT_EQ(unsigned8.sound->samples, stereoOf({-32768, 0, 32512, -16384}));

    // The declared sample count cuts what lies beyond it.
    const auto cut = decodeEventSound(formatOf(SoundCodec::PcmLittleEndian, 3, true), bytesOf(samples), 3);
    EXPECT_EQ(cut.sound->frames(), 3u);
}

TEST(SoundDecoders, AdpcmMatchesTheReferenceDecoderForEveryCodeSizeAcrossPackets)
{
    std::mt19937 random(7);
    for (unsigned codeBits = 2; codeBits <= 5; ++codeBits) {
        for (int channels = 1; channels <= 2; ++channels) {
            // Three packets of 4096 frames and a short fourth, from random codes.
            BitWriter chunk;
            chunk.put(codeBits - 2, 2);
            const std::size_t frames = 3 * 4096 + 500;
            for (std::size_t f = 0; f < frames; ++f)
                for (int c = 0; c < channels; ++c) {
                    if (f % 4096 == 0) {
                        chunk.put(random() & 0xFFFF, 16);
                        chunk.put(random() % 89, 6);
                    } else {
                        chunk.put(random() & ((1u << codeBits) - 1), codeBits);
                    }
                }
            // The reference also decodes the padding bits of the last byte.
            auto reference = test::decode("adpcm_swf", 44100, channels, {chunk.bytes});
            ASSERT_GE(reference.size(), frames * unsigned(channels));
            reference.resize(frames * unsigned(channels));
            const auto ours = decodeEventSound(formatOf(SoundCodec::Adpcm, 3, channels == 2), chunk.bytes,
                                               std::uint32_t(frames));
            EXPECT_EQ(ours.message, "");
            EXPECT_EQ(ours.sound->samples, channels == 2 ? reference : stereoOf(reference))
                << codeBits << "-bit codes, " << channels << " channels";
        }
    }
}

TEST(SoundDecoders, AdpcmStreamBlocksEachCarryTheirOwnHeader)
{
    const auto source = test::sine(440, 44100, 2, 4096 * 3);
    const auto packets = test::encode("adpcm_swf", 44100, 2, source);
    StreamDecoder stream(StreamHead{formatOf(SoundCodec::Adpcm, 3, true), 4096, 0});
    std::vector<std::int16_t> ours;
    for (const auto& p : packets) EXPECT_EQ(stream.decodeBlock(p, ours), "");
    EXPECT_EQ(ours, test::decode("adpcm_swf", 44100, 2, packets));
    EXPECT_GT(test::correlation(ours, source), 0.99);
}

TEST(SoundDecoders, EveryRateComesOutAt44100WithItsExactLength)
{
    for (std::uint8_t rate = 0; rate < 4; ++rate) {
        const unsigned hz = 44100 >> (3 - rate);  // 5512 stands for 5512.5
        const std::uint32_t frames = 1000;
        const auto pcm = test::sine(200, int(hz), 1, frames);
        const auto decoded = decodeEventSound(formatOf(SoundCodec::PcmLittleEndian, rate, false), bytesOf(pcm), frames);
        ASSERT_EQ(decoded.sound->frames(), std::size_t(frames) << (3 - rate)) << "rate " << int(rate);
        // The same tone after resampling, not some other signal.
        EXPECT_GT(test::correlation(decoded.sound->samples, test::sine(200, 44100, 2, decoded.sound->frames())), 0.99)
            << "rate " << int(rate);
    }
}

// A DefineSound body: SeekSamples, then the MP3 frames.
std::vector<std::uint8_t> mp3SoundBody(const std::vector<Packet>& frames, int seek)
{
    std::vector<std::uint8_t> body = {std::uint8_t(seek & 0xFF), std::uint8_t(seek >> 8)};
    for (const auto& f : frames) body.insert(body.end(), f.begin(), f.end());
    return body;
}

TEST(SoundDecoders, Mp3EventSoundSkipsItsSeekSamplesAndMatchesADirectDecode)
{
    const std::size_t frames = 44100;
    const auto source = test::sweep(44100, 2, frames);
    int delay = 0;
    const auto mp3 = test::encode("libmp3lame", 44100, 2, source, &delay);
    const auto direct = test::decode("mp3", 44100, 2, mp3);
    ASSERT_GT(direct.size(), 2 * (frames + std::size_t(delay)));

    const auto decoded =
        decodeEventSound(formatOf(SoundCodec::Mp3, 3, true), mp3SoundBody(mp3, delay), std::uint32_t(frames));
    EXPECT_EQ(decoded.message, "");
    ASSERT_EQ(decoded.sound->frames(), frames);
    const std::vector<std::int16_t> directAfterSeek(direct.begin() + 2 * delay, direct.begin() + 2 * (delay + frames));
    EXPECT_GT(test::correlation(decoded.sound->samples, directAfterSeek), 0.99);
    // The seek samples line the sound up with what was encoded.
    EXPECT_GT(test::correlation(decoded.sound->samples, source), 0.99);
}

TEST(SoundDecoders, Mp3AtALowerRateIsResampledInStep)
{
    const std::size_t frames = 22050;
    int delay = 0;
    const auto mp3 = test::encode("libmp3lame", 22050, 1, test::sine(300, 22050, 1, frames), &delay);
    const auto decoded =
        decodeEventSound(formatOf(SoundCodec::Mp3, 2, false), mp3SoundBody(mp3, delay), std::uint32_t(frames));
    ASSERT_EQ(decoded.sound->frames(), 2 * frames);
    EXPECT_GT(test::correlation(decoded.sound->samples, test::sine(300, 44100, 2, 2 * frames)), 0.99);
}

// Cuts an encoded MP3 into stream blocks the way a movie at `fps` holds
// them: each block brings the frames its movie frame needs, with the sample
// count of the movie frame and the seek samples that lead up to it.
std::vector<Packet> mp3StreamBlocks(const std::vector<Packet>& mp3, int delay, std::size_t perFrame, std::size_t movieFrames)
{
    std::vector<Packet> blocks;
    std::size_t nextMp3 = 0;
    for (std::size_t k = 0; k < movieFrames; ++k) {
        // Negative when the movie frame starts inside the previous block's last MP3 frame.
        const auto seek = std::uint16_t(std::int64_t(k * perFrame) + delay - std::int64_t(nextMp3 * 1152));
        Packet block = {std::uint8_t(perFrame & 0xFF), std::uint8_t(perFrame >> 8), std::uint8_t(seek & 0xFF),
                        std::uint8_t(seek >> 8)};
        const std::size_t needed = ((k + 1) * perFrame + std::size_t(delay) + 1151) / 1152;
        for (; nextMp3 < needed && nextMp3 < mp3.size(); ++nextMp3)
            block.insert(block.end(), mp3[nextMp3].begin(), mp3[nextMp3].end());
        blocks.push_back(block);
    }
    return blocks;
}

TEST(SoundDecoders, Mp3StreamStaysInStepWithItsFramesFromAnyStartAndPastDamage)
{
    const std::size_t perFrame = 3675;  // 12 frames per second
    const std::size_t movieFrames = 24;
    const auto source = test::sweep(44100, 2, perFrame * movieFrames + 4096);
    int delay = 0;
    const auto mp3 = test::encode("libmp3lame", 44100, 2, source, &delay);
    auto blocks = mp3StreamBlocks(mp3, delay, perFrame, movieFrames);
    const StreamHead head{formatOf(SoundCodec::Mp3, 3, true), std::uint16_t(perFrame), std::int16_t(delay)};

    auto sourceFrom = [&](std::size_t frame, std::size_t count) {
        return std::vector<std::int16_t>(source.begin() + 2 * frame, source.begin() + 2 * (frame + count));
    };

    StreamDecoder fromStart(head);
    std::vector<std::int16_t> all;
    for (const auto& b : blocks) EXPECT_EQ(fromStart.decodeBlock(b, all), "");
    ASSERT_GE(all.size(), 2 * perFrame * (movieFrames - 1));
    EXPECT_GT(test::correlation(std::vector<std::int16_t>(all.begin(), all.begin() + 2 * perFrame * 20),
                                sourceFrom(0, perFrame * 20)),
              0.99);

    // Starting at movie frame 10: the first block's seek samples line it up.
    StreamDecoder midway(head);
    std::vector<std::int16_t> fromTen;
    for (std::size_t k = 10; k < movieFrames; ++k) midway.decodeBlock(blocks[k], fromTen);
    const std::size_t settle = 2 * 1152;  // the bit reservoir of the first frames is missing
    EXPECT_GT(test::correlation(std::vector<std::int16_t>(fromTen.begin() + 2 * settle, fromTen.begin() + 2 * perFrame * 10),
                                sourceFrom(10 * perFrame + settle, perFrame * 10 - settle)),
              0.99);

    // A damaged block leaves silence in its frame; what follows keeps its place.
    blocks[5].resize(4);
    StreamDecoder damaged(head);
    std::vector<std::int16_t> withGap;
    for (const auto& b : blocks) damaged.decodeBlock(b, withGap);
    const std::size_t from = 8 * perFrame, count = 10 * perFrame;
    ASSERT_GE(withGap.size(), 2 * (from + count));
    EXPECT_GT(test::correlation(std::vector<std::int16_t>(withGap.begin() + 2 * from, withGap.begin() + 2 * (from + count)),
                                sourceFrom(from, count)),
              0.99);
}

TEST(SoundDecoders, NellymoserDecodesAtItsRateAndG711AtEightKilohertz)
{
    const auto source = test::sine(400, 16000, 1, 16000);
    const auto packets = test::encode("nellymoser", 16000, 1, source);
    std::vector<std::uint8_t> body;
    for (const auto& p : packets) body.insert(body.end(), p.begin(), p.end());
    const auto nelly = decodeEventSound(formatOf(SoundCodec::Nellymoser16k, 0, false), body, 16000);
    EXPECT_EQ(nelly.message, "");
    ASSERT_EQ(nelly.sound->frames(), 44100u);

    const std::vector<std::uint8_t> alaw(800, 0xD5);  // A-law's smallest positive value
    const auto g711 = decodeEventSound(formatOf(SoundCodec::G711ALaw, 1, false, false), alaw, 800);
    EXPECT_EQ(g711.message, "");
    EXPECT_EQ(g711.sound->frames(), 4410u);
}

TEST(SoundDecoders, DamagedOrUnknownDataGivesAMessageAndNeverMoreThanDeclared)
{
    const auto unknown = decodeEventSound(formatOf(SoundCodec(9), 3, true), std::vector<std::uint8_t>(100, 1), 10);
    EXPECT_NE(unknown.message, "");
    EXPECT_EQ(unknown.sound->frames(), 0u);

    const auto noMp3 = decodeEventSound(formatOf(SoundCodec::Mp3, 3, true), std::vector<std::uint8_t>(5000, 0x42), 1000);
    EXPECT_NE(noMp3.message, "");
    EXPECT_EQ(noMp3.sound->frames(), 0u);

    const auto tooShort = decodeEventSound(formatOf(SoundCodec::Mp3, 3, true), std::vector<std::uint8_t>(1, 0), 1000);
    EXPECT_NE(tooShort.message, "");

    StreamDecoder stream(StreamHead{formatOf(SoundCodec::Mp3, 3, true), 1000, 0});
    std::vector<std::int16_t> out;
    EXPECT_NE(stream.decodeBlock(std::vector<std::uint8_t>(2, 0), out), "");
}

}  // namespace
}  // namespace kinolux::audio
