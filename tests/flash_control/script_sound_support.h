// What the tests of sounds that scripts play share: a loud tone as a
// library sound and as an MP3 file, and a movie played for a second and a
// half through the faked wave-out device, its loud samples counted.
#pragma once

#include "flash/swf/types.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace flash {
class Player;
}

namespace flash::testing {

inline constexpr int kScriptSoundFps = 25;
inline constexpr std::uint32_t kToneFrames = 44100 * 2 / 5;  // 0.4 s: ten movie frames

// An offset sine, loud in every sample, as 16-bit stereo PCM, with id 1.
swf::DefineSound toneSound();
// The tone as an MP3 file, as an encoder writes one.
std::vector<std::uint8_t> toneMp3();

struct Heard {
    std::vector<std::string> traces;
    std::vector<std::string> errors;
    std::size_t loudLeft = 0, loudRight = 0;  // samples of each side
};

// Plays the movie (read from `path` when given) at kScriptSoundFps for a
// second and a half, its sound going to the device as the control's would,
// and counts the loud samples the device took. `input` acts on the player
// before each frame (numbered from 0).
Heard playMovie(const std::vector<std::uint8_t>& file, const std::string& path = {},
                const std::function<void(Player&, int frame)>& input = {});

}  // namespace flash::testing
