// The containers castor writes and, for each, what a device of that kind
// plays when the vector names no codec: the default codecs and the sound
// the container's players expect.
#pragma once

#include <string>

extern "C" {
#include <libavformat/avformat.h>
}

namespace castor {

struct ContainerDefaults {
    const char* extension;   // lower case, without the dot
    const char* muxer;       // libavformat's name
    const char* videoCodec;  // a codec name of the lists; null: sound only unless asked
    const char* audioCodec;  // null: pictures only unless asked
    int sampleRate;          // 0: keep the input's
    int channels;            // 0: keep the input's
    const int* allowedRates; // zero-terminated, or null when the codec decides
};

// What the output will be: the muxer, and the catalogue entry when the
// output is one of the catalogue's containers.
struct Container {
    const AVOutputFormat* format = nullptr;
    const ContainerDefaults* defaults = nullptr;  // null: libav's defaults apply
    bool imageSequence = false;                   // numbered image files (image2)
};

// The container from -f when given, else from the output's extension. On
// failure returns false with message set.
bool FindContainer(const std::string& formatName, const std::string& outputPath,
                   Container& container, std::string& message);

// The extension of a path, lower case, without the dot ("" when none).
std::string LowerExtension(const std::string& path);

}  // namespace castor
