// Codec names as the argument vector carries them: the names of the
// options sheet's two lists ("xvid", "mp3", "h264", "amr_nb", ...) mapped
// to the encoders Debian's libavcodec has, or castor's own AMR encoders,
// and any other libav encoder name as it stands ("libx264").
#pragma once

#include <cstdint>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace castor {

enum class MediaKind { Audio, Video };

struct CodecChoice {
    std::string name;                    // as the vector named it
    AVCodecID id = AV_CODEC_ID_NONE;
    const AVCodec* encoder = nullptr;    // null for castor's own AMR encoders
    uint32_t aviTag = 0;                 // the fourcc the name implies in AVI ("XVID")
};

// A four-character codec tag ("XVID") as the number containers store.
uint32_t FourCC(const std::string& tag);

// "", "auto" (in any case) leave the choice to the container.
bool IsAutoCodec(const std::string& name);

// Resolves a codec name for one kind of stream. On failure returns false and
// sets message, e.g. "Unknown encoder 'xyz'".
bool FindCodec(const std::string& name, MediaKind kind, CodecChoice& choice, std::string& message);

}  // namespace castor
