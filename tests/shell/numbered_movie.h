// A movie whose every frame carries its own number in the picture, with a
// one-frame flash and a one-frame beep together every so often: what a
// conversion must keep is then readable from its output alone (see
// numbered_output.h). Written with the SWF writer.
//
// 320x240, black. The frame number is drawn in binary as white 16x16
// squares on the 16-pixel grid the video codecs work in (bits 0-6 in the
// row at y 16, bits 7-13 at y 48, one square every 32 pixels from x 16),
// so it survives lossy compression. On a flash frame the lower half (from
// y 112) is white, and the stream sound (uncompressed 16-bit mono PCM at
// 22050 Hz, one block a frame) carries a 1 kHz tone for exactly that frame;
// it is silent everywhere else.
#pragma once

#include "tests/flash/test_movies.h"

#include <cmath>
#include <algorithm>
#include <cstdint>
#include <vector>

namespace kinolux::testing {

inline constexpr int kNumberedWidth = 320;
inline constexpr int kNumberedHeight = 240;
inline constexpr int kNumberedFps = 25;
inline constexpr int kNumberBits = 14;
inline constexpr int kNumberSquare = 16;
inline constexpr int kFlashTop = 112;
inline constexpr int kNumberedSoundRate = 22050;

// The top-left corner of the square of bit `bit`.
inline int NumberSquareX(int bit) { return kNumberSquare + 2 * kNumberSquare * (bit % 7); }
inline int NumberSquareY(int bit) { return kNumberSquare + 2 * kNumberSquare * (bit / 7); }

// Frames `firstFlash`, firstFlash + flashEvery, ... flash and beep.
inline bool IsFlashFrame(int frame, int firstFlash, int flashEvery) {
    return frame >= firstFlash && (frame - firstFlash) % flashEvery == 0;
}

enum class Beep { Stream, Event };

// `stopFrame`: that frame's script stops the movie's own timeline.
inline std::vector<std::uint8_t> NumberedFlashMovie(int frames, int firstFlash, int flashEvery, Beep beep = Beep::Stream,
                                                    int stopFrame = -1) {
    constexpr swf::CharacterId kBlack = 1, kSquare = 2, kFlash = 3, kTone = 4;
    constexpr swf::Depth kBackgroundDepth = 1, kFlashDepth = 2, kFirstBitDepth = 10;
    constexpr int kBlockSamples = kNumberedSoundRate / kNumberedFps;

    const swf::SoundFormatInfo format{swf::SoundFormat::UncompressedLittleEndian, 2, true, false};
    std::vector<std::uint8_t> tone;
    for (int i = 0; i < kBlockSamples; ++i) {
        const auto value = std::int16_t(std::lround(16000 * std::sin(2 * M_PI * 1000.0 * i / kNumberedSoundRate)));
        tone.push_back(std::uint8_t(value & 0xFF));
        tone.push_back(std::uint8_t(std::uint16_t(value) >> 8));
    }
    // The whole stream, kept alive until the movie is written: its blocks
    // point into it.
    std::vector<std::uint8_t> pcm(std::size_t(frames) * tone.size(), 0);
    for (int f = 0; f < frames && beep == Beep::Stream; ++f)
        if (IsFlashFrame(f, firstFlash, flashEvery)) std::copy(tone.begin(), tone.end(), pcm.begin() + long(f) * long(tone.size()));
    swf::SoundStreamHead head;
    head.version = 2;
    head.playback = head.stream = format;
    head.samplesPerFrame = std::uint16_t(kBlockSamples);
    swf::DefineSound sound;
    sound.id = kTone;
    sound.format = format;
    sound.sampleCount = std::uint32_t(kBlockSamples);
    sound.data = tone;

    std::vector<swf::Tag> tags{
        testmovies::rect(kBlack, {0, 0, 0, 255}, 0, 0, kNumberedWidth, kNumberedHeight),
        testmovies::rect(kSquare, {255, 255, 255, 255}, 0, 0, kNumberSquare, kNumberSquare),
        testmovies::rect(kFlash, {255, 255, 255, 255}, 0, 0, kNumberedWidth, kNumberedHeight - kFlashTop),
        testmovies::place(kBackgroundDepth, kBlack),
    };
    tags.insert(tags.begin(), head);
    if (beep == Beep::Event) tags.insert(tags.begin(), sound);
    for (int f = 0; f < frames; ++f) {
        for (int bit = 0; bit < kNumberBits; ++bit) {
            const bool now = (f >> bit) & 1;
            const bool before = f > 0 && (((f - 1) >> bit) & 1);
            const auto depth = swf::Depth(kFirstBitDepth + bit);
            if (now && !before)
                tags.push_back(testmovies::place(depth, kSquare, testmovies::at(NumberSquareX(bit), NumberSquareY(bit))));
            else if (!now && before)
                tags.push_back(testmovies::remove(depth));
        }
        if (IsFlashFrame(f, firstFlash, flashEvery)) {
            tags.push_back(testmovies::place(kFlashDepth, kFlash, testmovies::at(0, kFlashTop)));
            if (beep == Beep::Event) tags.push_back(swf::StartSound{kTone, {}});
        }
        else if (f > 0 && IsFlashFrame(f - 1, firstFlash, flashEvery))
            tags.push_back(testmovies::remove(kFlashDepth));
        tags.push_back(swf::SoundStreamBlock{swf::Bytes(pcm).subspan(std::size_t(f) * tone.size(), tone.size())});
        static constexpr std::uint8_t kStop[] = {0x07, 0x00};
        if (f == stopFrame) tags.push_back(swf::DoAction{swf::Bytes(kStop)});
        tags.push_back(swf::ShowFrame{});
    }
    swf::Header header = testmovies::header(kNumberedWidth, kNumberedHeight, frames);
    header.frameRate = std::uint16_t(kNumberedFps << 8);
    return testmovies::movie(tags, header);
}

}  // namespace kinolux::testing
