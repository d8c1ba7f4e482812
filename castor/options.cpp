#include "castor/options.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "castor/codec_names.h"
#include "castor/option_values.h"
#include "castor/target_presets.h"
#include "castor/value_limits.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
}

namespace castor {
namespace {

std::string CheckInput(const std::string& value) {
    return value.empty() ? "the input name is empty" : std::string();
}

std::string CheckCodec(const std::string& value, MediaKind kind) {
    if (IsAutoCodec(value)) {
        return {};
    }
    CodecChoice choice;
    std::string message;
    return FindCodec(value, kind, choice, message) ? std::string() : message;
}

std::string CheckVideoCodec(const std::string& value) { return CheckCodec(value, MediaKind::Video); }
std::string CheckAudioCodec(const std::string& value) { return CheckCodec(value, MediaKind::Audio); }

std::string CheckFormat(const std::string& value) {
    return av_guess_format(value.c_str(), nullptr, nullptr) != nullptr
               ? std::string()
               : "Unknown output format '" + value + "'";
}

std::string CheckPixelFormat(const std::string& value) {
    return av_get_pix_fmt(value.c_str()) != AV_PIX_FMT_NONE
               ? std::string()
               : "Unknown pixel format '" + value + "'";
}

std::string CheckTag(const std::string& value) {
    return value.size() == 4 ? std::string() : "a codec tag has four characters (XVID, DIVX)";
}

// Row makers: each fixes the value kind that its field's type can hold.
OptionDef Flag(const char* name, OptionGroup group, bool Options::*field, const char* help) {
    return {name, ValueKind::Flag, group, field, 0, 0, nullptr, help, nullptr};
}
OptionDef Integer(const char* name, OptionGroup group, int Options::*field, double min, double max,
                  const char* help, const char* argument) {
    return {name, ValueKind::Integer, group, field, min, max, nullptr, help, argument};
}
OptionDef Real(const char* name, ValueKind kind, OptionGroup group, double Options::*field,
               double min, double max, const char* help, const char* argument) {
    return {name, kind, group, field, min, max, nullptr, help, argument};
}
OptionDef Text(const char* name, OptionGroup group, std::string Options::*field, TextCheck check,
               const char* help, const char* argument) {
    return {name, ValueKind::Text, group, field, 0, 0, check, help, argument};
}

const OptionDef kOptions[] = {
    Text("i", kGeneral, &Options::input, CheckInput,
         "input file, or frame_input.kinolux to read frames through the frame callback", "input"),
    Text("f", kGeneral, &Options::format, CheckFormat, "force the output format (a muxer name)", "format"),
    Flag("y", kGeneral, &Options::overwrite, "replace an existing output file"),
    Text("target", kGeneral, &Options::target, CheckTargetName,
         "disc format: vcd, svcd or dvd, with an optional pal-, ntsc- or film- prefix", "type"),
    Real("ss", ValueKind::Seconds, kGeneral, &Options::startSeconds, 0, kMaxSeconds,
         "start at this position of the input", "time"),
    Real("t", ValueKind::Seconds, kGeneral, &Options::durationSeconds, 0.001, kMaxSeconds,
         "stop when the output is this long", "duration"),
    Integer("threads", kGeneral, &Options::threads, 0, 64, "encoder threads (0: as many as useful)",
            "count"),

    Flag("vn", kVideo, &Options::noVideo, "no video"),
    Text("vcodec", kVideo, &Options::videoCodec, CheckVideoCodec,
         "video codec: auto, h264, mpeg4, xvid, flv, wmv2, mpeg2video, ... or a libav encoder",
         "codec"),
    Text("c:v", kVideo, &Options::videoCodec, CheckVideoCodec, "the same as -vcodec", "codec"),
    Real("b", ValueKind::Kilobits, kVideo, &Options::videoBitRate, 0, 1000000,
         "video bit rate in kbit/s (0: the encoder's default)", "kbit/s"),
    Real("r", ValueKind::Rate, kVideo, &Options::frameRate, 0.1, 1000,
         "output frame rate (default: the input's)", "fps"),
    {"s", ValueKind::Size, kVideo, &Options::size, 1, kMaxEdge, nullptr,
     "picture size before padding: sqcif, qcif, cif, 4cif or WxH", "size"},
    Real("aspect", ValueKind::Aspect, kVideo, &Options::aspect, 0.01, 100,
         "display aspect ratio of the whole frame: 4:3, 16:9", "ratio"),
    Integer("croptop", kVideo, &Options::cropTop, 0, kMaxEdge, "rows to cut from the top", "pixels"),
    Integer("cropbottom", kVideo, &Options::cropBottom, 0, kMaxEdge, "rows to cut from the bottom",
            "pixels"),
    Integer("cropleft", kVideo, &Options::cropLeft, 0, kMaxEdge, "columns to cut from the left",
            "pixels"),
    Integer("cropright", kVideo, &Options::cropRight, 0, kMaxEdge, "columns to cut from the right",
            "pixels"),
    Integer("padtop", kVideo, &Options::padTop, 0, kMaxEdge, "rows of border to add at the top",
            "pixels"),
    Integer("padbottom", kVideo, &Options::padBottom, 0, kMaxEdge,
            "rows of border to add at the bottom", "pixels"),
    Integer("padleft", kVideo, &Options::padLeft, 0, kMaxEdge,
            "columns of border to add at the left", "pixels"),
    Integer("padright", kVideo, &Options::padRight, 0, kMaxEdge,
            "columns of border to add at the right", "pixels"),
    {"padcolor", ValueKind::Color, kVideo, &Options::padColor, 0, 0, nullptr,
     "border colour", "0xRRGGBB"},
    Flag("hq", kVideo, &Options::highQuality, "higher-quality (slower) encoder settings"),
    Integer("vframes", kVideo, &Options::videoFrameLimit, 1, INT_MAX,
            "stop after this many video frames", "count"),

    Flag("an", kAudio, &Options::noAudio, "no audio"),
    Text("acodec", kAudio, &Options::audioCodec, CheckAudioCodec,
         "audio codec: auto, aac, mp3, mp2, ac3, vorbis, amr_nb, amr_wb, wmav2, pcm_s16le, ...",
         "codec"),
    Text("c:a", kAudio, &Options::audioCodec, CheckAudioCodec, "the same as -acodec", "codec"),
    Integer("ar", kAudio, &Options::audioRate, kMinSampleRate, kMaxSampleRate, "audio sample rate", "Hz"),
    Integer("ac", kAudio, &Options::audioChannels, 1, 8, "audio channels", "count"),
    Real("ab", ValueKind::Kilobits, kAudio, &Options::audioBitRate, 0, 10000,
         "audio bit rate in kbit/s (0: the encoder's default)", "kbit/s"),
    Integer("vol", kAudio, &Options::volume, 0, 2560, "audio volume (256 leaves it unchanged)",
            "level"),
    Integer("async", kAudio, &Options::audioSync, 0, 1000000,
            "0: join the sound end to end; else place it by its times, gaps silent (default 1)", "n"),

    Integer("g", kExpert, &Options::gopSize, 0, 100000, "pictures from one key frame to the next",
            "count"),
    Integer("bf", kExpert, &Options::bFrames, 0, 16, "B-frames between reference frames", "count"),
    Real("qscale", ValueKind::Number, kExpert, &Options::qscale, 0.01, 255,
         "fixed video quality instead of a bit rate (1 best, 31 worst)", "q"),
    Real("maxrate", ValueKind::Bits, kExpert, &Options::maxRate, 0, 1e10,
         "highest video bit rate in bit/s (800k)", "bits"),
    Real("minrate", ValueKind::Bits, kExpert, &Options::minRate, 0, 1e10,
         "lowest video bit rate in bit/s", "bits"),
    Real("bufsize", ValueKind::Bits, kExpert, &Options::bufferSize, 0, 1e10,
         "rate-control buffer size in bits (1835k)", "bits"),
    Text("vtag", kExpert, &Options::videoTag, CheckTag, "video codec tag (XVID, DIVX, DX50)", "fourcc"),
    Text("atag", kExpert, &Options::audioTag, CheckTag, "audio codec tag", "fourcc"),
    Text("pix_fmt", kExpert, &Options::pixelFormat, CheckPixelFormat,
         "pixel format for the encoder (yuv420p, ...)", "format"),
    Text("profile", kExpert, &Options::profile, nullptr,
         "encoder profile (baseline, main, high for h264)", "name"),
    Text("level", kExpert, &Options::level, nullptr, "encoder level (3.0, 3.1 for h264)", "level"),
};

// An encoding option of some libav encoder or muxer ("-coder", "-trellis",
// "-movflags"), the way ffmpeg accepts every AVOption as a switch.
bool IsLibavOption(const char* name) {
    const AVClass* classes[] = {avcodec_get_class(), avformat_get_class()};
    for (const AVClass* cls : classes) {
        if (av_opt_find(&cls, name, nullptr, AV_OPT_FLAG_ENCODING_PARAM,
                        AV_OPT_SEARCH_CHILDREN | AV_OPT_SEARCH_FAKE_OBJ) != nullptr) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::span<const OptionDef> OptionTable() { return kOptions; }

const OptionDef* FindOption(const std::string& name) {
    for (const OptionDef& option : kOptions) {
        if (name == option.name) {
            return &option;
        }
    }
    return nullptr;
}

std::string ParseOptions(int argc, const char* const* argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i] != nullptr ? argv[i] : "";
        if (argument.size() < 2 || argument[0] != '-') {
            // Empty arguments carry nothing (a profile text with a leading
            // blank produces one); anything else names the output.
            if (argument.empty()) {
                continue;
            }
            if (!options.output.empty()) {
                return "Only one output is supported: '" + options.output + "' and '" + argument +
                       "' were both given";
            }
            options.output = argument;
            continue;
        }
        const std::string name = argument.substr(1);
        const OptionDef* option = FindOption(name);
        const bool libavOption = option == nullptr && IsLibavOption(name.c_str());
        if (option == nullptr && !libavOption) {
            return "Unrecognized option '" + argument + "'";
        }
        if (option != nullptr && option->kind == ValueKind::Flag) {
            ParseOptionValue(*option, std::string(), options);
            continue;
        }
        if (i + 1 >= argc || argv[i + 1] == nullptr) {
            return "Missing argument for option '" + argument + "'";
        }
        const std::string value = argv[++i];
        if (libavOption) {
            options.libavOptions.emplace_back(name, value);
            continue;
        }
        if (name == "i" && !options.input.empty()) {
            return "Only one input is supported: '" + options.input + "' and '" + value +
                   "' were both given";
        }
        const std::string refusal = ParseOptionValue(*option, value, options);
        if (!refusal.empty()) {
            return "Invalid value '" + value + "' for option '" + argument + "': " + refusal;
        }
    }
    if (options.input.empty()) {
        return "No input given (-i)";
    }
    if (options.output.empty()) {
        return "No output file given";
    }
    return {};
}

std::string OptionHelpText() {
    static const char* const kGroupTitles[] = {"Main options:", "Video options:", "Audio options:",
                                               "Expert options:"};
    std::string text;
    for (int group = kGeneral; group <= kExpert; ++group) {
        text += kGroupTitles[group];
        text += '\n';
        for (const OptionDef& option : kOptions) {
            if (option.group != group) {
                continue;
            }
            std::string usage = std::string("-") + option.name;
            if (option.argument != nullptr) {
                usage += std::string(" ") + option.argument;
            }
            usage.resize(std::max<size_t>(usage.size() + 1, 24), ' ');
            text += "  " + usage + option.help + '\n';
        }
        text += '\n';
    }
    text += "Any other -name value is handed to the chosen encoders and muxer as their option\n"
            "'name' (for example -coder 1, -trellis 1, -movflags faststart).\n";
    return text;
}

}  // namespace castor
