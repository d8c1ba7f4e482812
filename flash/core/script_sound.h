// A library sound a script plays (ActionScript 3's Sound.play): what the
// script asks of it, and what the sound engine tells back while it plays.
// The player queues the channel once; the script and the sound engine then
// share it, both on the player's thread.
#pragma once

#include <memory>
#include <vector>

#include "flash/swf/types.h"

namespace flash {

// Where each input channel goes, as fractions (1: unchanged).
struct ScriptSoundLevels {
    double leftToLeft = 1, leftToRight = 0, rightToLeft = 0, rightToRight = 1;
    bool operator==(const ScriptSoundLevels&) const = default;
};

// An MP3 file a script loaded, as a DefineSound would hold it.
struct LoadedSound {
    swf::SoundFormatInfo format;
    std::uint32_t sampleCount = 0;
    std::vector<std::uint8_t> data;  // two seek bytes, then the MP3 frames
};

struct ScriptSoundChannel {
    swf::CharacterId sound = 0;  // a DefineSound of the player's library,
    std::shared_ptr<const LoadedSound> loaded;  // or a file
    double startMs = 0;          // where in the sound it starts
    int loops = 1;
    ScriptSoundLevels levels;
    bool stopRequested = false;
    // Told back by the sound engine: how far into the sound it plays, and
    // that it has played to its end (not set when a script stopped it).
    double positionMs = 0;
    bool ended = false;
};

}  // namespace flash
