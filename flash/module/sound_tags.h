// The sound tags as the file reader gives them, turned into what the sound
// engine takes.
#pragma once

#include "flash/audio/sound_format.h"
#include "flash/audio/sound_info.h"
#include "flash/audio/stream_decoder.h"
#include "flash/core/timeline.h"
#include "flash/swf/types.h"

namespace flash {

kinolux::audio::SoundFormat soundFormatOf(const swf::SoundFormatInfo& format);
kinolux::audio::SoundInfo soundInfoOf(const swf::SoundInfo& info);
kinolux::audio::StreamHead streamHeadOf(const swf::SoundStreamHead& head);

// The SoundStreamHead of a timeline, wherever its frames hold it; null when
// it has none.
const swf::SoundStreamHead* findStreamHead(const Timeline& timeline);
// The SoundStreamBlock of a timeline's frame (0-based); null when it has none.
const swf::SoundStreamBlock* findStreamBlock(const Timeline& timeline, int frame);

}  // namespace flash
