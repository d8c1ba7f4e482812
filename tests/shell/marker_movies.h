// Small movies for whole conversions, written with the SWF writer: one whose
// picture turns from black to white on the very frame a sound starts, and
// one that draws only the left half of its stage.
#pragma once

#include "tests/flash/test_movies.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kinolux::testing {

inline constexpr int kMarkerFps = 25;
inline constexpr int kMarkerFrame = 25;
inline constexpr int kMarkerFrames = 50;

// 64x48; black up to kMarkerFrame, white from it on, where a loud 0.4 s
// square wave (44.1 kHz 16-bit stereo PCM) starts; silence before it.
// `waitsForAClick`: it stands on its first frame until a click anywhere on
// its stage (an invisible button) plays it.
inline std::vector<std::uint8_t> MarkerSoundMovie(bool waitsForAClick = false) {
    constexpr std::uint32_t kSamples = 17640;
    std::vector<std::uint8_t> pcm;
    for (std::uint32_t i = 0; i < kSamples; ++i) {
        const std::int16_t value = (i / 50) % 2 ? 12000 : -12000;
        for (int channel = 0; channel < 2; ++channel) {
            pcm.push_back(std::uint8_t(value & 0xFF));
            pcm.push_back(std::uint8_t(std::uint16_t(value) >> 8));
        }
    }
    swf::DefineSound sound;
    sound.id = 10;
    sound.format = swf::SoundFormatInfo{swf::SoundFormat::UncompressedLittleEndian, 3, true, true};
    sound.sampleCount = kSamples;
    sound.data = pcm;
    std::vector<swf::Tag> tags{sound, testmovies::rect(1, {0, 0, 0, 255}, 0, 0, 64, 48),
                               testmovies::rect(2, {255, 255, 255, 255}, 0, 0, 64, 48), testmovies::place(1, 1)};
    if (waitsForAClick) {
        static constexpr std::uint8_t kPlay[] = {0x06, 0x00};
        static constexpr std::uint8_t kStop[] = {0x07, 0x00};
        swf::ButtonRecord hitArea;
        hitArea.states = swf::ButtonState::HitTest;
        hitArea.characterId = 1;
        hitArea.depth = 1;
        swf::DefineButton button;
        button.id = 3;
        button.records = {hitArea};
        button.actions = {swf::ButtonAction{swf::ButtonCondition::OverUpToOverDown, 0, swf::Bytes(kPlay)}};
        tags.push_back(button);
        tags.push_back(testmovies::place(2, 3));
        tags.push_back(swf::DoAction{swf::Bytes(kStop)});
    }
    for (int f = 0; f < kMarkerFrames; ++f) {
        if (f == kMarkerFrame) {
            swf::PlaceObject white = testmovies::place(1, 2);
            white.action = swf::PlaceAction::Replace;
            tags.push_back(white);
            tags.push_back(swf::StartSound{10, {}});
        }
        tags.push_back(swf::ShowFrame{});
    }
    swf::Header header = testmovies::header(64, 48, kMarkerFrames);
    header.frameRate = std::uint16_t(kMarkerFps << 8);
    return testmovies::movie(tags, header);
}

// 64x48, `frames` frames: a red rectangle over the left half, nothing on
// the right.
inline std::vector<std::uint8_t> HalfDrawnMovie(int frames) {
    std::vector<swf::Tag> tags{testmovies::rect(1, {255, 0, 0, 255}, 0, 0, 32, 48), testmovies::place(1, 1)};
    for (int f = 0; f < frames; ++f) tags.push_back(swf::ShowFrame{});
    return testmovies::movie(tags, testmovies::header(64, 48, frames));
}

}  // namespace kinolux::testing
