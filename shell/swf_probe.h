// Probing a movie's header: stage size, frame rate and frame count. A
// compressed movie is first copied uncompressed to "~temp1.swf" in the
// default output folder, and the copy is probed; it stays there and the
// next compressed movie's copy replaces it. Preview and conversion always
// use the movie itself, never the copy.
#pragma once

#include <cstdint>
#include <string>

namespace kinolux {

// The six words the probe library's record starts with, in its order.
struct SwfProbeResult {
    int32_t version = 0;     // read by nobody
    int32_t fileLength = 0;  // read by nobody
    int32_t width = 0;
    int32_t height = 0;
    int32_t frameRate = 0;   // whole frames per second
    int32_t totalFrames = 0;

    bool operator==(const SwfProbeResult&) const = default;
};
static_assert(sizeof(SwfProbeResult) == 24, "the probe result is six 32-bit words");

inline constexpr const char* kUncompressedCopyName = "~temp1.swf";

class SwfProbe {
public:
    // Always 1; afterwards Result() holds what the library reported. A
    // movie that cannot be decompressed is reported (see the console flag)
    // and probed as it is, so its task gets whatever its own header gives.
    int Probe(const std::string& sourcePath);

    // 1: a decompression failure is written to standard output; 0: shown in
    // a message box.
    void SetConsoleFlag(int32_t value) { consoleFlag_ = value; }

    const SwfProbeResult* Result() const { return &result_; }

private:
    int32_t consoleFlag_ = 0;
    SwfProbeResult result_;
};

// The default output folder followed by the copy's name.
std::string UncompressedCopyPath();

}  // namespace kinolux
