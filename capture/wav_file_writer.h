// Writes captured sound into a WAV file as it comes, so that another process
// can read the PCM while the file grows, and completes the header only when
// the capture ends properly.
#pragma once

#include "capture/posix_file.h"

#include <cstdint>
#include <string>

namespace kinolux {

class WavFileWriter {
public:
    // Removes any file at `path` and starts a new one whose header sizes are
    // 0. This is safe because the only paths ever given are the temporary
    // ones the program chose for itself ("~temp.wav" in its output folder),
    // never a file the user named. False when it cannot be created.
    bool Open(const std::string& path);
    // Closes without completing the header: its zero sizes tell every reader
    // that the file is not a complete recording.
    void Abandon();
    // `count` 16-bit values. False when no file is open, when the write fails
    // (the file then stays incomplete), or when the file would outgrow the
    // 32-bit sizes of the WAV header (the values are then left out).
    bool Write(const int16_t* values, uint32_t count);
    bool WriteSilence(uint32_t count);
    // Completes the header and closes. False when no file was open or a
    // write had failed: such a file keeps its zero sizes.
    bool Close();

    bool IsOpen() const { return file_.IsOpen(); }
    // PCM bytes written since Open.
    uint32_t DataBytes() const { return dataBytes_; }

private:
    bool Fits(uint32_t count) const;
    bool Record(bool written, uint32_t count);

    PosixFile file_;
    uint32_t dataBytes_ = 0;
    bool failed_ = false;
};

}  // namespace kinolux
