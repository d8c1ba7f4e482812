// The switches of castor's argument vector, in the shape of a command-line
// transcoder: one table (OptionTable) names every switch, says what kind of
// value it takes and where the value goes, and carries its help text; the
// parser, the validation and the castor tool's --help listing all read it.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace castor {

struct FrameSize {
    int width = 0;
    int height = 0;
};

// Everything one argument vector asks for. Rates and sizes of 0 (and -1
// where 0 is a meaningful value) mean "not given": the container, the
// codec or the input decides.
struct Options {
    std::string input;   // -i: a file, or the frame-input name
    std::string output;  // the plain argument
    std::string format;  // -f: a libavformat muxer name
    bool overwrite = false;
    std::string target;  // -target, e.g. "pal-dvd"
    double startSeconds = 0;
    double durationSeconds = 0;
    int videoFrameLimit = 0;
    int threads = 0;

    bool noAudio = false;
    std::string audioCodec;  // empty or "auto": the container's choice
    int audioRate = 0;
    int audioChannels = 0;
    double audioBitRate = 0;  // bits per second
    int volume = 256;         // 256 leaves the level unchanged
    std::string audioTag;
    int audioSync = 1;        // 0: sound blocks are joined end to end, their times ignored

    bool noVideo = false;
    std::string videoCodec;
    double videoBitRate = 0;  // bits per second
    double frameRate = 0;
    bool highQuality = false;
    FrameSize size;     // -s: the picture before padding
    double aspect = 0;  // display width / height of the padded frame
    int cropTop = 0, cropBottom = 0, cropLeft = 0, cropRight = 0;
    int padTop = 0, padBottom = 0, padLeft = 0, padRight = 0;
    uint32_t padColor = 0;  // 0xRRGGBB
    std::string pixelFormat;
    int gopSize = -1;
    int bFrames = -1;
    double qscale = 0;
    double maxRate = 0, minRate = 0, bufferSize = 0;  // bits per second, bits
    std::string videoTag;
    std::string profile;
    std::string level;

    // Switches outside the table that name an option of some libav encoder
    // or muxer ("-coder 1", "-trellis 2", "-movflags faststart"): handed to
    // whichever of the chosen encoders and muxer has that option.
    std::vector<std::pair<std::string, std::string>> libavOptions;
};

enum class ValueKind {
    Flag,      // no value: sets a bool
    Integer,   // decimal integer within [min, max]
    Number,    // decimal number within [min, max]
    Text,      // any text; a checker may refuse it
    Kilobits,  // a rate in kbit/s ("800", or "800k" with a unit), stored in bit/s
    Bits,      // a count of bits with an optional k/M/G unit ("1835k")
    Seconds,   // "12.5" or "hh:mm:ss.ff"
    Rate,      // "25", "29.97", "30000/1001", "ntsc"
    Size,      // "qcif", "cif", ..., "320x240"
    Aspect,    // "4:3", "16:9", "1.7778"
    Color,     // "0xRRGGBB" (the 0x may be left out)
};

using OptionField = std::variant<bool Options::*, int Options::*, double Options::*,
                                 std::string Options::*, uint32_t Options::*,
                                 FrameSize Options::*>;

// Refuses a text value with a message, or returns an empty string.
using TextCheck = std::string (*)(const std::string& value);

enum OptionGroup { kGeneral, kVideo, kAudio, kExpert };

struct OptionDef {
    const char* name;  // without the leading '-'
    ValueKind kind;
    OptionGroup group;
    OptionField field;
    double min;
    double max;
    TextCheck check;
    const char* help;
    const char* argument;  // the value's name in the help listing
};

std::span<const OptionDef> OptionTable();
const OptionDef* FindOption(const std::string& name);

// Parses argv[1..argc-1] (argv[0] is the program's own name) into options.
// Returns an empty string, or the message for the first bad argument. A
// vector must name an input (-i) and exactly one output.
std::string ParseOptions(int argc, const char* const* argv, Options& options);

// The help listing: one line per switch, grouped, from the table.
std::string OptionHelpText();

}  // namespace castor
