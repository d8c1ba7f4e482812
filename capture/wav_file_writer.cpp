#include "capture/wav_file_writer.h"

#include "capture/little_endian.h"
#include "capture/wav_format.h"

#include <algorithm>

namespace kinolux {

namespace {
// The RIFF size field holds the data size plus the 36 header bytes after it.
constexpr uint64_t kLargestDataBytes = 0xFFFFFFFFull - 36;
constexpr uint32_t kSilenceValues = 4096;
constexpr int16_t kSilence[kSilenceValues] = {};
}  // namespace

bool WavFileWriter::Open(const std::string& path) {
    Abandon();
    file_ = PosixFile::CreateReplacing(path);
    dataBytes_ = 0;
    failed_ = false;
    const auto header = WavHeaderWithoutSizes();
    if (file_.IsOpen() && !file_.Append(header.data(), header.size())) file_.Close();
    return file_.IsOpen();
}

void WavFileWriter::Abandon() { file_.Close(); }

bool WavFileWriter::Fits(uint32_t count) const {
    return file_.IsOpen() && !failed_ && dataBytes_ + 2ull * count <= kLargestDataBytes;
}

bool WavFileWriter::Record(bool written, uint32_t count) {
    if (!written) {
        failed_ = true;
        return false;
    }
    dataBytes_ += 2 * count;
    return true;
}

bool WavFileWriter::Write(const int16_t* values, uint32_t count) {
    if (!Fits(count)) return false;
    return Record(file_.Append(values, 2ull * count), count);
}

bool WavFileWriter::WriteSilence(uint32_t count) {
    if (!Fits(count)) return false;
    bool written = true;
    for (uint32_t left = count; written && left > 0;) {
        const uint32_t part = std::min(left, kSilenceValues);
        written = file_.Append(kSilence, 2ull * part);
        left -= part;
    }
    return Record(written, count);
}

bool WavFileWriter::Close() {
    if (!file_.IsOpen()) return false;
    uint8_t dataSize[4], riffSize[4];
    PutLe32(dataSize, dataBytes_);
    PutLe32(riffSize, dataBytes_ + 36);
    const bool complete = !failed_ && file_.WriteAt(kWavDataSizeOffset, dataSize, 4) &&
                          file_.WriteAt(kWavRiffSizeOffset, riffSize, 4);
    file_.Close();
    dataBytes_ = 0;
    return complete;
}

}  // namespace kinolux
