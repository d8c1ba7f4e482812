// Where the encoding writes, so that a failure never costs the user a file
// and never leaves a file that looks complete. A single output file is
// written under a hidden working name in the same folder and renamed into
// place only once it is finished; an existing file is refused unless -y is
// given, and even then replaced only by a finished file. Numbered images
// are each written whole (image2's atomic writing); the images of a failed
// run are removed.
#pragma once

#include <cstdint>
#include <string>

#include "castor/output_formats.h"

namespace castor {

class OutputFile {
public:
    // Throws Failure when the output exists and may not be replaced, or
    // cannot be created.
    OutputFile(const std::string& path, const Container& container, bool overwrite, int videoFrameLimit);
    // Removes what a run that did not Commit wrote.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    const std::string& WorkingPath() const { return workingPath_; }
    // How many numbered images a failed run would have to remove.
    void SetImagesWritten(int64_t count) { imagesWritten_ = count; }
    // Puts the finished file in its place. Throws Failure when that fails
    // (and the working file is then removed).
    void Commit();

private:
    std::string path_;
    std::string workingPath_;
    bool overwrite_;
    bool imageSequence_;
    bool temporary_ = false;  // workingPath_ is a working name of ours
    bool committed_ = false;
    int64_t imagesWritten_ = 0;
};

}  // namespace castor
