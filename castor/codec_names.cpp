#include "castor/codec_names.h"

#include <strings.h>

extern "C" {
#include <libavutil/macros.h>
}

namespace castor {
namespace {

// The list names whose libav encoder has another name. AMR has no encoder
// in Debian's libavcodec: castor encodes it itself (amr_encoder.h).
struct CodecAlias {
    const char* name;
    const char* encoder;  // null: castor's own encoder
    AVCodecID ownId;
    const char* aviTag;
};

constexpr CodecAlias kAliases[] = {
    {"xvid", "libxvid", AV_CODEC_ID_NONE, "XVID"},
    {"mp3", "libmp3lame", AV_CODEC_ID_NONE, nullptr},
    {"h264", "libx264", AV_CODEC_ID_NONE, nullptr},
    {"vorbis", "libvorbis", AV_CODEC_ID_NONE, nullptr},
    {"theora", "libtheora", AV_CODEC_ID_NONE, nullptr},
    {"gsm", "libgsm", AV_CODEC_ID_NONE, nullptr},
    {"adpcm_g726", "g726", AV_CODEC_ID_NONE, nullptr},
    {"amr_nb", nullptr, AV_CODEC_ID_AMR_NB, nullptr},
    {"amr_wb", nullptr, AV_CODEC_ID_AMR_WB, nullptr},
};

}  // namespace

uint32_t FourCC(const std::string& tag) {
    return tag.size() != 4 ? 0 : MKTAG(tag[0], tag[1], tag[2], tag[3]);
}

bool IsAutoCodec(const std::string& name) {
    return name.empty() || strcasecmp(name.c_str(), "auto") == 0;
}

bool FindCodec(const std::string& name, MediaKind kind, CodecChoice& choice, std::string& message) {
    const AVMediaType wanted = kind == MediaKind::Audio ? AVMEDIA_TYPE_AUDIO : AVMEDIA_TYPE_VIDEO;
    const char* kindText = kind == MediaKind::Audio ? "audio" : "video";
    choice = CodecChoice{};
    choice.name = name;
    const char* encoderName = name.c_str();
    for (const CodecAlias& alias : kAliases) {
        if (name == alias.name) {
            choice.aviTag = alias.aviTag != nullptr ? FourCC(alias.aviTag) : 0;
            if (alias.encoder == nullptr) {
                choice.id = alias.ownId;
                if (wanted != AVMEDIA_TYPE_AUDIO) {
                    message = "Encoder '" + name + "' is not a " + kindText + " encoder";
                    return false;
                }
                return true;
            }
            encoderName = alias.encoder;
        }
    }
    choice.encoder = avcodec_find_encoder_by_name(encoderName);
    if (choice.encoder == nullptr) {
        if (avcodec_find_decoder_by_name(encoderName) != nullptr) {
            message = "No encoder for '" + name + "' is available (it can only be decoded)";
        } else {
            message = "Unknown encoder '" + name + "'";
        }
        return false;
    }
    if (choice.encoder->type != wanted) {
        message = "Encoder '" + name + "' is not a " + std::string(kindText) + " encoder";
        return false;
    }
    choice.id = choice.encoder->id;
    return true;
}

}  // namespace castor
