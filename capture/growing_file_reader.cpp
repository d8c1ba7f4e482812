#include "capture/growing_file_reader.h"

namespace kinolux {

bool GrowingFileReader::Open(const std::string& path) {
    file_ = PosixFile::OpenForReading(path);
    offset_ = firstByte_;
    return file_.IsOpen();
}

size_t GrowingFileReader::ReadAhead(void* data, size_t size, const WaitForMoreData& waitForMore) const {
    auto* bytes = static_cast<char*>(data);
    size_t done = 0;
    while (done < size) {
        const long got = file_.ReadAt(offset_ + done, bytes + done, size - done);
        if (got < 0) break;
        done += static_cast<size_t>(got);
        if (got == 0 && (!waitForMore || !waitForMore())) break;
    }
    return done;
}

}  // namespace kinolux
