// Writes the encoders' packets into the container.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "castor/encoder.h"
#include "castor/output_formats.h"

namespace castor {

class Muxer {
public:
    // `path` is where the bytes go (a working name, see output_file.h);
    // `outputPath` the name the user gave, which some formats read.
    Muxer(const Container& container, const std::string& path, const std::string& outputPath);
    ~Muxer();
    Muxer(const Muxer&) = delete;
    Muxer& operator=(const Muxer&) = delete;

    // Adds a stream for an opened encoder; returns its index.
    int AddStream(const Encoder& encoder, uint32_t codecTag);
    // Opens the file and writes the header, with the vector's muxer options.
    void Start(const std::vector<std::pair<std::string, std::string>>& libavOptions);
    // Writes one packet stamped in the encoder's time base.
    void Write(int stream, AVPacket& packet, AVRational timeBase);
    // Writes the trailer and closes the file.
    void Finish();

    int64_t BytesWritten() const;
    int64_t PacketsWritten() const { return packets_; }

private:
    std::string path_;
    AVFormatContext* context_ = nullptr;
    int64_t packets_ = 0;
};

}  // namespace castor
