#include "engine/still_image_sequence.h"

#include "engine/two_background_alpha.h"
#include "platform/paths.h"

#include <cstdio>
#include <unistd.h>

namespace kinolux {

namespace {

uint32_t FormatOfExtension(const std::string& extension) {
    if (extension == ".tga") return CXIMAGE_FORMAT_TGA;
    if (extension == ".tif") return CXIMAGE_FORMAT_TIF;
    if (extension == ".bmp") return CXIMAGE_FORMAT_BMP;
    if (extension == ".png") return CXIMAGE_FORMAT_PNG;
    return CXIMAGE_FORMAT_UNKNOWN;
}

bool GrabInto(FrameSource& window, int width, int height, CxImage& image) {
    std::unique_ptr<QImage> bitmap = window.GrabFrame(0, 0, width, height);
    return bitmap && image.CreateFromHBITMAP(bitmap.get()) && image.IsValid();
}

}  // namespace

std::string StillImageExtension(const std::string& targetType) {
    if (targetType == "tga") return ".tga";
    if (targetType == "tif") return ".tif";
    if (targetType == "bmp") return ".bmp";
    if (targetType == "png") return ".png";
    return "";
}

std::string StillImagePath(const std::string& folder, int64_t number, const std::string& extension) {
    char name[32];
    std::snprintf(name, sizeof name, "/ren%04lld", static_cast<long long>(number));
    return folder + name + extension;
}

StillImageSequence::StillImageSequence(std::string outputPath, std::string targetType)
    : folder_(WithoutExtension(outputPath)),
      extension_(StillImageExtension(targetType)),
      format_(FormatOfExtension(extension_)) {}

bool StillImageSequence::Save(CxImage& image, int64_t number) {
    if (number == 1 && !FolderExists(folder_)) {
        if (!MakeFoldersUpToLastSlash(folder_ + "/")) {
            error_ = "The folder " + folder_ + " could not be created.";
            return false;
        }
        madeFolder_ = true;
    }
    if (format_ == CXIMAGE_FORMAT_UNKNOWN) return true;
    const std::string path = StillImagePath(folder_, number, extension_);
    if (PathExists(path)) {
        error_ = path + " exists already and is left as it is.";
        return false;
    }
    if (!image.Save(path, format_)) {
        error_ = path + " could not be written: " + image.GetLastError();
        return false;
    }
    written_.push_back(path);
    return true;
}

void StillImageSequence::Discard() {
    for (const std::string& path : written_) ::unlink(path.c_str());
    written_.clear();
    if (madeFolder_) ::rmdir(folder_.c_str());
    madeFolder_ = false;
}

bool GrabStillImage(FrameSource& window, int width, int height, bool alpha, CxImage& image) {
    if (!alpha) return GrabInto(window, width, height, image);
    CxImage onBlack;
    CxImage onWhite;
    window.SetBackgroundColorRef(0);
    const bool black = GrabInto(window, width, height, onBlack);
    window.SetBackgroundColorRef(0xFFFFFF);
    const bool white = GrabInto(window, width, height, onWhite);
    return black && white && MergeTwoBackgrounds(onBlack, onWhite, DifferingPixelColour::FromWhite, image);
}

}  // namespace kinolux
