// An MP3 file a script loads, turned into a sound the engine plays as it
// plays a library sound; and how long a sound lasts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "flash/core/script_sound.h"

namespace flash {

// The MP3 sound in a file a script asked for (`bytes`, nullopt when it is
// missing, outside the movie's folder or on another machine), as a
// DefineSound would hold it: the frames at the first frame's rate.
// nullopt when there is none; `error` then says why a file that is there
// is not played (empty for one that is not there).
std::optional<LoadedSound> soundFromFile(const std::optional<std::vector<std::uint8_t>>& bytes,
                                         const std::string& url, std::string& error);

// In milliseconds.
double soundDurationMs(const swf::SoundFormatInfo& format, std::uint32_t sampleCount);

}  // namespace flash
