#include "tests/flash_control/sound_movie.h"

#include "flash/audio/event_sound.h"
#include "flash/audio/stream_decoder.h"
#include "flash/module/sound_tags.h"
#include "tests/flash/test_movies.h"
#include "tests/flash_audio/reference_codec.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace flash::testing {

namespace audio = kinolux::audio;
namespace reference = kinolux::audio::test;

namespace {

constexpr int kRate = 44100;
constexpr std::size_t kSamplesPerFrame = kRate / kSoundMovieFps;  // 1764
constexpr std::size_t kAdpcmPacketFrames = 4096;
constexpr std::size_t kMp3FrameSamples = 1152;
constexpr std::int16_t kOffset = 3000;

using Bytes = std::vector<std::uint8_t>;

std::vector<std::int16_t> offsetBy(std::vector<std::int16_t> signal)
{
    for (auto& s : signal) s = std::int16_t(s / 2 + kOffset);
    return signal;
}

Bytes bytesOf(const std::vector<std::int16_t>& pcm, std::size_t firstFrame, std::size_t frames)
{
    Bytes out;
    for (std::size_t i = 2 * firstFrame; i < 2 * (firstFrame + frames) && i < pcm.size(); ++i) {
        out.push_back(std::uint8_t(pcm[i] & 0xFF));
        out.push_back(std::uint8_t(std::uint16_t(pcm[i]) >> 8));
    }
    return out;
}

void append16(Bytes& out, std::uint16_t value)
{
    out.push_back(std::uint8_t(value & 0xFF));
    out.push_back(std::uint8_t(value >> 8));
}

void append(Bytes& out, const reference::Packet& packet)
{
    out.insert(out.end(), packet.begin(), packet.end());
}

// MP3 stream blocks as a movie holds them: each brings the MP3 frames its
// movie frame needs, with the frame's sample count and the seek samples
// from the first of those MP3 frames to the movie frame's first sample.
std::vector<Bytes> mp3StreamBlocks(const std::vector<reference::Packet>& mp3, int delay, std::size_t blocks)
{
    std::vector<Bytes> out;
    std::size_t next = 0;
    for (std::size_t k = 0; k < blocks; ++k) {
        Bytes block;
        append16(block, std::uint16_t(kSamplesPerFrame));
        append16(block, std::uint16_t(std::int64_t(k * kSamplesPerFrame) + delay - std::int64_t(next * kMp3FrameSamples)));
        const std::size_t needed = ((k + 1) * kSamplesPerFrame + std::size_t(delay) + kMp3FrameSamples - 1) / kMp3FrameSamples;
        for (; next < needed && next < mp3.size(); ++next) append(block, mp3[next]);
        out.push_back(block);
    }
    return out;
}

struct Encoded {
    Bytes eventBody;
    std::uint32_t eventSamples = 0;
    std::vector<Bytes> streamBlocks;
    std::int16_t latencySeek = 0;
};

Encoded encode(audio::SoundCodec codec, const std::vector<std::int16_t>& stream, const std::vector<std::int16_t>& event)
{
    Encoded e;
    const std::size_t eventFrames = event.size() / 2;
    e.eventSamples = std::uint32_t(eventFrames);
    switch (codec) {
    case audio::SoundCodec::PcmLittleEndian:
        e.eventBody = bytesOf(event, 0, eventFrames);
        for (int k = 0; k < kStreamFrames; ++k)
            e.streamBlocks.push_back(bytesOf(stream, std::size_t(k) * kSamplesPerFrame, kSamplesPerFrame));
        break;
    case audio::SoundCodec::Adpcm: {
        // One packet is a whole ADPCM sound; a stream block is one packet.
        const auto eventPackets = reference::encode("adpcm_swf", kRate, 2, event);
        if (eventPackets.size() != 1) throw std::runtime_error("ADPCM event sound of more than one packet");
        e.eventBody = eventPackets[0];
        for (const auto& packet : reference::encode("adpcm_swf", kRate, 2, stream)) e.streamBlocks.push_back(packet);
        e.streamBlocks.resize(std::min<std::size_t>(e.streamBlocks.size(), kStreamFrames));
        break;
    }
    case audio::SoundCodec::Mp3: {
        int delay = 0;
        const auto eventFrames = reference::encode("libmp3lame", kRate, 2, event, &delay);
        append16(e.eventBody, std::uint16_t(delay));
        for (const auto& frame : eventFrames) append(e.eventBody, frame);
        const auto streamFrames = reference::encode("libmp3lame", kRate, 2, stream, &delay);
        e.streamBlocks = mp3StreamBlocks(streamFrames, delay, kStreamFrames);
        e.latencySeek = std::int16_t(delay);
        break;
    }
    default:
        throw std::runtime_error("codec not covered");
    }
    return e;
}

// Where `expected` begins in `recording`, searching from `from` on: the
// offset of the best match of its first part near the first loud sample; -1
// when nothing loud follows.
long findSignal(const std::vector<std::int16_t>& recording, const std::vector<std::int16_t>& expected, std::size_t from)
{
    constexpr int kLoud = 1000;
    std::size_t loud = from + (from & 1);
    while (loud < recording.size() && std::abs(recording[loud]) < kLoud) ++loud;
    if (loud >= recording.size()) return -1;
    loud &= ~std::size_t(1);
    const std::size_t window = std::min<std::size_t>(8192, expected.size());
    const std::vector<std::int16_t> head(expected.begin(), expected.begin() + long(window));
    long best = -1;
    double bestScore = -2;
    const std::size_t first = loud > 2 * 2048 + from ? loud - 2 * 2048 : from + (from & 1);
    for (std::size_t at = first; at <= loud + 64 && at + window <= recording.size(); at += 2) {
        const std::vector<std::int16_t> part(recording.begin() + long(at), recording.begin() + long(at + window));
        const double score = reference::correlation(part, head);
        if (score > bestScore) {
            bestScore = score;
            best = long(at);
        }
    }
    return best;
}

std::vector<std::int16_t> slice(const std::vector<std::int16_t>& values, long at, std::size_t count)
{
    if (at < 0 || std::size_t(at) + count > values.size()) return {};
    return {values.begin() + at, values.begin() + at + long(count)};
}

}  // namespace

SoundMovie makeSoundMovie(audio::SoundCodec codec)
{
    const std::size_t streamLength = codec == audio::SoundCodec::Adpcm ? kStreamFrames * kAdpcmPacketFrames
                                                                      : kStreamFrames * kSamplesPerFrame + 2 * kMp3FrameSamples;
    const auto streamSignal = offsetBy(reference::sine(523.25, kRate, 2, streamLength));
    const auto eventSignal = offsetBy(reference::sweep(kRate, 2, codec == audio::SoundCodec::Adpcm ? kAdpcmPacketFrames : 8820));
    const Encoded encoded = encode(codec, streamSignal, eventSignal);

    const swf::SoundFormatInfo format{swf::SoundFormat(codec), 3, true, true};
    swf::DefineSound sound;
    sound.id = 1;
    sound.format = format;
    sound.sampleCount = encoded.eventSamples;
    sound.data = encoded.eventBody;
    swf::SoundStreamHead head;
    head.version = 2;
    head.playback = head.stream = format;
    head.samplesPerFrame = std::uint16_t(kSamplesPerFrame);
    head.latencySeek = encoded.latencySeek;

    std::vector<swf::Tag> tags{sound, head};
    for (int f = 0; f < kSoundMovieFrames; ++f) {
        if (std::size_t(f) < encoded.streamBlocks.size()) tags.push_back(swf::SoundStreamBlock{encoded.streamBlocks[std::size_t(f)]});
        if (f == kEventFrame) tags.push_back(swf::StartSound{1, {}});
        tags.push_back(swf::ShowFrame{});
    }
    swf::Header header = testmovies::header(40, 30, kSoundMovieFrames);
    header.frameRate = kSoundMovieFps << 8;

    SoundMovie movie;
    movie.file = testmovies::movie(tags, header);
    const audio::SoundFormat decoded = soundFormatOf(format);
    movie.event = audio::decodeEventSound(decoded, encoded.eventBody, encoded.eventSamples).sound->samples;
    audio::StreamDecoder streamDecoder(streamHeadOf(head));
    for (const Bytes& block : encoded.streamBlocks) streamDecoder.decodeBlock(block, movie.stream);
    return movie;
}

void expectHeardAsDecoded(const SoundMovie& movie, const std::vector<std::int16_t>& heard, bool exact, HeardAt* at)
{
    // Eight frames of the stream have surely played before its timeline left
    // it; the device has taken the whole event sound.
    const std::size_t streamValues = 2 * 8 * kSamplesPerFrame;
    ASSERT_GE(movie.stream.size(), streamValues);
    const long streamAt = findSignal(heard, movie.stream, 0);
    ASSERT_GE(streamAt, 0) << "the stream was not heard";
    const auto streamHeard = slice(heard, streamAt, streamValues);
    const std::vector<std::int16_t> streamExpected(movie.stream.begin(), movie.stream.begin() + long(streamValues));

    const std::size_t afterStream = std::size_t(streamAt) + 2 * kStreamFrames * kSamplesPerFrame + 2 * 2048;
    const long eventAt = findSignal(heard, movie.event, afterStream);
    ASSERT_GE(eventAt, 0) << "the event sound was not heard";
    if (at) *at = {streamAt, eventAt};
    const auto eventHeard = slice(heard, eventAt, movie.event.size());
    ASSERT_EQ(eventHeard.size(), movie.event.size());
    const double apartMs = double(eventAt - streamAt) / 2 / 44.1;
    EXPECT_NEAR(apartMs, kEventFrame * 1000.0 / kSoundMovieFps, 1000.0 / kSoundMovieFps);

    if (exact) {
        EXPECT_EQ(streamHeard, streamExpected);
        EXPECT_EQ(eventHeard, movie.event);
    } else {
        EXPECT_GT(reference::correlation(streamHeard, streamExpected), 0.99);
        EXPECT_GT(reference::correlation(eventHeard, movie.event), 0.99);
    }
    // Between the stream's end and the event the timeline ran no sound.
    const auto gap = slice(heard, long(afterStream), 2 * 4000);
    EXPECT_EQ(gap, std::vector<std::int16_t>(gap.size(), 0));
}

}  // namespace flash::testing
