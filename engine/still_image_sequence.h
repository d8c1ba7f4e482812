// The numbered pictures of a still-image profile: "ren0001" upward in a
// folder named like the output without its extension. The sequence knows
// what it created, so a run that is cancelled or fails removes its pictures
// (and the folder, when it made it) instead of leaving a sequence that
// looks complete.
#pragma once

#include "engine/cx_image.h"
#include "engine/frame_source.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kinolux {

// ".tga", ".tif", ".bmp" or ".png" for those TargetTypes; "" for any other.
std::string StillImageExtension(const std::string& targetType);

// The folder + "/ren%04d" + the extension.
std::string StillImagePath(const std::string& folder, int64_t number, const std::string& extension);

class StillImageSequence {
public:
    StillImageSequence(std::string outputPath, std::string targetType);

    // Writes picture number `number` (from 1; the folder is made for the
    // first). False, with Error() saying why, when nothing could be written;
    // true without writing for a type that writes nothing.
    bool Save(CxImage& image, int64_t number);
    // Removes every picture written and the folder if this run made it.
    void Discard();

    const std::string& Folder() const { return folder_; }
    const std::string& Error() const { return error_; }
    int64_t Written() const { return static_cast<int64_t>(written_.size()); }

private:
    std::string folder_;
    std::string extension_;
    uint32_t format_ = CXIMAGE_FORMAT_UNKNOWN;
    bool madeFolder_ = false;
    std::vector<std::string> written_;
    std::string error_;
};

// One still image of the frame source's current frame at `width` x
// `height`. With alpha: grabbed on black and on white and merged; the
// background is left white. False when a grab failed.
bool GrabStillImage(FrameSource& window, int width, int height, bool alpha, CxImage& image);

}  // namespace kinolux
