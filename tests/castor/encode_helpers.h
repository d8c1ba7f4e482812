// Shared by castor's end-to-end tests: a scratch folder, an encoding of
// the test pattern through ffmain, and ffprobe's view of what was written.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tools/testpattern/pattern_generator.h"

namespace castor_test {

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::string Path(const std::string& name) const { return (root_ / name).string(); }
    std::vector<std::string> Names() const;  // what the folder holds, sorted

private:
    std::filesystem::path root_;
};

struct EncodeResult {
    int status = -1;                  // ffmain's result
    std::vector<std::string> errors;  // texts reported with a value in (-2, 0)
    std::vector<double> positions;    // positions reported
};

// Runs ffmain with "ffmain" followed by the arguments. The progress
// callback answers -1 (stop) once a position reaches stopAt seconds.
EncodeResult Encode(const std::vector<std::string>& arguments, double stopAt = -1);

// The same with the test pattern as the frame input:
// "ffmain -i frame_input.kinolux ARGUMENTS...".
EncodeResult EncodePattern(const testpattern::PatternSpec& spec, const std::vector<std::string>& arguments,
                           double stopAt = -1);

// ffprobe's fields for a file, flattened: "format.duration",
// "video.codec_name", "audio.sample_rate", "video.display_aspect_ratio",
// "streams" (the count), ...; empty when ffprobe cannot read it.
std::map<std::string, std::string> Probe(const std::string& path);

// How long a file plays, from its first packet's time to its last
// packet's end, in seconds; -1 when it has no timed packets.
double Length(const std::string& path);

// Standard output of a shell command.
std::string Shell(const std::string& command);

// The number of video frames in a file, counted by decoding it.
int VideoFrameCount(const std::string& path);

// When the marked (white) picture and the tone first appear in a file with
// both streams: the first video frame whose mean brightness is above 200
// and the first stretch of sound louder than -40 dBFS, in seconds on the
// file's own timeline; -1 when there is none.
struct MarkTimes {
    double picture = -1;
    double sound = -1;
};
MarkTimes FindMarks(const std::string& path);
// The loudness of the whole sound track (RMS in dBFS).
double SoundLevel(const std::string& path);

}  // namespace castor_test
