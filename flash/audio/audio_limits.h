// Caps on what hostile sound data can make the engine hold.
#pragma once

#include "flash/audio/sound_format.h"

#include <cstddef>

namespace kinolux::audio::limits {

// Decoded event sounds longer than this are cut (about 210 MB of PCM).
constexpr std::size_t kMaxEventSoundFrames = std::size_t(kMixRate) * 20 * 60;
// One stream block never stands for more than this much sound.
constexpr std::size_t kMaxStreamBlockFrames = std::size_t(kMixRate) * 10;
// Stream sound decoded ahead of the mixer beyond this is dropped, oldest
// first, so a stream that nobody plays cannot grow without end.
constexpr std::size_t kMaxStreamBufferFrames = std::size_t(kMixRate) * 10;
// Voices mixed at once; more starts are refused.
constexpr std::size_t kMaxVoices = 64;

}  // namespace kinolux::audio::limits
